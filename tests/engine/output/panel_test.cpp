// The emulated front panel: greeting, texts, scrolling, patch names, dot pages, lyric.

#include "tests/engine/output/output_fixture.h"

namespace volta::engine::test {
namespace {

std::vector<std::uint8_t> display(std::uint32_t address, const std::vector<std::uint8_t>& data) {
  return dataSet(0x45, address, data);
}

std::vector<std::uint8_t> text(const std::string& s) {
  return {s.begin(), s.end()};
}

class PanelTest : public OutputTest {
 protected:
  void SetUp() override { open({kTrace}); }
  void clockFor(int ms, int step = 40) {
    for (int t = 0; t < ms; t += step)
      output_->panelClock(step);
  }
  int litDots(int row) {
    int lit = 0;
    for (int c = 0; c < 16; ++c)
      lit += panel().dots[row * 16 + c] != 0;
    return lit;
  }
};

using GreetingTest = OutputTest;

TEST_F(GreetingTest, OpeningSendsTheWelcomeToPortA) {
  open({kTrace});
  const Lines lines = traceLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0],
            "A F0 41 10 45 12 10 00 00 57 65 6C 63 6F 6D 65 20 74 6F 20 56 4F 4C 54 41 20 50 6C 61 79 65 72 6E F7");
  EXPECT_EQ(panelText(), "- VOLTA Canvas -");  // sent to the module, not shown
}

TEST_F(PanelTest, ShortTextIsCentredThenTheSavedTextReturns) {
  exclusive(display(0x100000, text("HELLO")));
  EXPECT_EQ(sent().size(), 1u);  // and it goes to the module too
  EXPECT_EQ(panelText(), "     HELLO      ");
  clockFor(2960);
  EXPECT_EQ(panelText(), "     HELLO      ");
  clockFor(40);
  EXPECT_EQ(panelText(), "- VOLTA Canvas -");
}

TEST_F(PanelTest, LongTextScrollsOneCharacterPer300ms) {
  exclusive(display(0x100000, text("ABCDEFGHIJKLMNOPQ\x01ST")));  // 20 characters, one a control code
  EXPECT_EQ(panelText(), "- VOLTA Canvas -");
  output_->panelClock(299);
  EXPECT_EQ(panelText(), "- VOLTA Canvas -");
  output_->panelClock(1);
  EXPECT_EQ(panelText(), " VOLTA Canvas -<");
  output_->panelClock(300);
  EXPECT_EQ(panelText(), "VOLTA Canvas -<A");
  for (int i = 0; i < 19; ++i)
    output_->panelClock(300);
  EXPECT_EQ(panelText(), "EFGHIJKLMNOPQ ST");
  for (int i = 0; i < 16; ++i)
    output_->panelClock(300);
  EXPECT_EQ(panelText(), "<- VOLTA Canvas ");
  output_->panelClock(300);
  EXPECT_EQ(panelText(), "- VOLTA Canvas -");
  output_->panelClock(300);  // end of the buffer: idle, the text stands
  output_->panelClock(300);
  EXPECT_EQ(panelText(), "- VOLTA Canvas -");
}

TEST_F(PanelTest, PatchNameBecomesTheStandingText) {
  exclusive({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x00, 'P', 'i', 0x05, 0x00, 0xF7});
  EXPECT_EQ(panelText(), "Pi OLTA Canvas -");
  exclusive(display(0x100000, text("X")));
  exclusive({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x03, 'Z', 0x00, 0xF7});
  EXPECT_EQ(panelText(), "       X        ");  // the message keeps the line meanwhile
  clockFor(3000);
  EXPECT_EQ(panelText(), "Pi ZLTA Canvas -");
}

TEST_F(PanelTest, DotPagesAreWrittenShownAndTimedOut) {
  EXPECT_EQ(litDots(15), 16);
  EXPECT_EQ(litDots(7), 16);  // meter mode 0 draws the meter's base line
  EXPECT_EQ(panel().dotShown, 0);
  // Page 2 (block 2): row 0 columns 0-4 from 0x15, row 1 only column 15 from 0x1F.
  exclusive(display(0x100200, {0x15}));
  exclusive(display(0x100231, {0x1F}));
  EXPECT_EQ(panel().dotShown, 0);
  exclusive(display(0x102000, {2}));
  EXPECT_EQ(panel().dotShown, 1);
  const std::uint8_t row0[5] = {1, 0, 1, 0, 1};
  EXPECT_TRUE(std::equal(row0, row0 + 5, panel().dots));
  EXPECT_EQ(litDots(0), 3);
  EXPECT_EQ(litDots(1), 1);
  EXPECT_EQ(panel().dots[16 + 15], 1);
  EXPECT_EQ(litDots(15), 0);
  clockFor(2840);
  EXPECT_EQ(panel().dotShown, 1);
  clockFor(40);
  EXPECT_EQ(panel().dotShown, 0);
  // A display time from the song counts in 0.48 s steps.
  exclusive(display(0x102000, {2, 1}));
  clockFor(440);
  EXPECT_EQ(panel().dotShown, 1);
  clockFor(40);
  EXPECT_EQ(panel().dotShown, 0);
  exclusive(display(0x102000, {10}));  // no such page
  EXPECT_EQ(panel().dotShown, 0);
}

TEST_F(PanelTest, PageZeroIsShownAtOnceAndSecondHalfFillsTheOddPage) {
  exclusive(display(0x100100, {0x10}));
  EXPECT_EQ(panel().dotShown, 1);
  EXPECT_EQ(panel().dots[0], 1);
  exclusive(display(0x100140, {0x1F}));  // page 1
  exclusive(display(0x102000, {1}));
  EXPECT_EQ(litDots(0), 5);
  EXPECT_EQ(litDots(15), 0);
}

TEST_F(PanelTest, MeterModeDecidesTheMiddleRowAtReset) {
  word(protocol::kMeterMode, 1);
  output_->reset();
  EXPECT_EQ(litDots(7), 0);
  EXPECT_EQ(litDots(15), 16);
}

TEST_F(PanelTest, LyricIsCutTo79Characters) {
  output_->setLyric("la");
  EXPECT_STREQ(status().lyric, "la");
  const std::string longText(100, 'x');
  output_->setLyric(longText.c_str());
  EXPECT_EQ(std::string(status().lyric), longText.substr(0, 79));
  EXPECT_EQ(+status().lyricCounter, 2);
  output_->reset();
  EXPECT_EQ(+status().lyricCounter, 0);
  EXPECT_EQ(status().lyric[0], 0);
}

}  // namespace
}  // namespace volta::engine::test
