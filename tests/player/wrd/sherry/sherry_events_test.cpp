// Every body event: objects, palettes, display rectangles, text, lines, boxes and copies.

#include <gtest/gtest.h>

#include "tests/player/wrd/sherry/sherry_fixture.h"

namespace volta::wrd::sherry::test {
namespace {

// Every entry i of `palette` set to (i, 255 - i, i / 2).
Params rampColours(int palette) {
  Params p = Params().u16(palette);
  for (int i = 0; i < 256; ++i)
    p.u8(i).u8(i).u8(255 - i).u8(i / 2);
  return p;
}

// Every entry of `palette` set to one colour.
Params flatColours(int palette, int red, int green, int blue) {
  Params p = Params().u16(palette);
  for (int i = 0; i < 256; ++i)
    p.u8(i).u8(red).u8(green).u8(blue);
  return p;
}

Params text(int screen, int mask, int colour, int x, int y, const std::string& value) {
  return Params().u16(screen).u8(mask).u8(colour).u16(x).u16(y).text(value);
}

TEST_F(SherryTest, PalettesAreMadeAndDeletedById) {
  SherryWriter writer;
  writer.event(0x21, ids({1, 2, 300})).event(0x22, ids({2})).hold();
  ASSERT_TRUE(load(writer));
  EXPECT_EQ(processor.palettes().count(), 2u);
  EXPECT_EQ(palette(300)[255], SColour{});

  SherryWriter twice;
  twice.event(0x21, ids({1}));
  const std::size_t at = nextEventOffset(twice);
  twice.event(0x21, ids({4, 1})).hold();
  EXPECT_EQ(errorAfter(twice), hex8(at) + ": Already palette alocated #1.");

  SherryWriter gone;
  gone.event(0x21, ids({1})).event(0x22, ids({1}));
  const std::size_t goneAt = nextEventOffset(gone);
  gone.event(0x22, ids({1})).hold();
  EXPECT_EQ(errorAfter(gone), hex8(goneAt) + ": This palette is not alocated or already deleted #1.");
}

TEST_F(SherryTest, ScreensAreMadeFilledAndDeletedById) {
  SherryWriter writer;
  writer.event(0x25, newScreen(5, 3, 2, 7).raw(newScreen(6, 1, 1, 0).bytes)).event(0x26, ids({6})).hold();
  ASSERT_TRUE(load(writer));
  EXPECT_EQ(screen(5).width, 3);
  EXPECT_EQ(screen(5).height, 2);
  EXPECT_EQ(screen(5).pixels, Bytes(6, 7));
  EXPECT_EQ(processor.screens().find(6), nullptr);

  SherryWriter twice;
  twice.event(0x25, newScreen(5, 1, 1, 0));
  const std::size_t at = nextEventOffset(twice);
  twice.event(0x25, newScreen(5, 1, 1, 0)).hold();
  EXPECT_EQ(errorAfter(twice), hex8(at) + ": Already virtual screen alocated #5.");

  SherryWriter gone;
  const std::size_t goneAt = nextEventOffset(gone);
  gone.event(0x26, ids({9})).hold();
  EXPECT_EQ(errorAfter(gone), hex8(goneAt) + ": This screen is not alocated or already deleted #9.");
}

TEST_F(SherryTest, ScreensBeyondTheMemoryBudgetAreRefused) {
  processor.setScreenBudget(1000);
  SherryWriter writer;
  writer.event(0x25, newScreen(1, 20, 20, 0)).event(0x25, newScreen(2, 20, 20, 0));
  const std::size_t at = nextEventOffset(writer);
  writer.event(0x25, newScreen(3, 20, 20, 0)).hold();
  EXPECT_EQ(errorAfter(writer), hex8(at) + ": Cannot allocate virtual screen #3.");

  SherryWriter reused;  // deleting gives the memory back
  reused.event(0x25, newScreen(1, 30, 30, 0)).event(0x26, ids({1})).event(0x25, newScreen(2, 30, 30, 0)).hold();
  EXPECT_TRUE(load(reused));
}

TEST_F(SherryTest, PaletteEntriesAreSetAndCopied) {
  SherryWriter writer;
  writer.event(0x21, ids({1, 2, 3}));
  writer.event(0x41, setColour(1, 5, 10, 20, 30).raw(Params().u8(255).u8(1).u8(2).u8(3).bytes));
  writer.event(0x41, rampColours(2));
  writer.event(0x43, Params().u16(2).u16(1));
  Bytes bits(32, 0);
  bits[0] = 0x21;   // entries 0 and 5
  bits[31] = 0x80;  // entry 255
  writer.event(0x44, Params().u16(2).u16(3).raw(bits)).hold();
  ASSERT_TRUE(load(writer));
  EXPECT_EQ(palette(1), palette(2));
  EXPECT_EQ(palette(2)[5], (SColour{5, 250, 2}));
  EXPECT_EQ(palette(3)[5], (SColour{5, 250, 2}));
  EXPECT_EQ(palette(3)[255], (SColour{255, 0, 127}));
  EXPECT_EQ(palette(3)[0], (SColour{0, 255, 0}));
  EXPECT_EQ(palette(3)[1], SColour{});

  SherryWriter missing;
  missing.event(0x21, ids({1}));
  const std::size_t at = nextEventOffset(missing);
  missing.event(0x43, Params().u16(1).u16(4)).hold();
  EXPECT_EQ(errorAfter(missing), hex8(at) + ": Palette is not alocated #4.");
}

class SherryBlendTest : public SherryTest {
 protected:
  // Source 1 a ramp, source 2 flat (200, 100, 50), destination flat (1, 1, 1); masks 0x0F
  // (shift 0) and 0x30 (shift 4).
  SPalette blend(int percent) {
    SherryWriter writer;
    writer.event(0x21, ids({1, 2, 3})).event(0x41, rampColours(1)).event(0x41, flatColours(2, 200, 100, 50));
    writer.event(0x41, flatColours(3, 1, 1, 1));
    writer.event(0x42, Params().u16(1).u16(2).u16(3).u8(0).u8(4).u8(0).u8(4).u8(2).u8(4).u8(percent)).hold();
    EXPECT_TRUE(load(writer));
    return palette(3);
  }
};

TEST_F(SherryBlendTest, ZeroPercentCopiesTheFirstSourceThroughItsMask) {
  const SPalette result = blend(0);
  EXPECT_EQ(result[0x35], (SColour{5, 250, 2}));  // source 1 entry 0x35 AND 0x0F
  EXPECT_EQ(result[0x10], (SColour{0, 255, 0}));
  EXPECT_EQ(result[0x40], (SColour{1, 1, 1}));  // outside both masks: unchanged
  EXPECT_EQ(result[0], (SColour{1, 1, 1}));
}

TEST_F(SherryBlendTest, HundredPercentCopiesTheSecondSource) {
  const SPalette result = blend(100);
  EXPECT_EQ(result[0x35], (SColour{200, 100, 50}));
  EXPECT_EQ(result[0x80], (SColour{1, 1, 1}));
}

TEST_F(SherryBlendTest, PartsAreRoundedDownSeparately) {
  const SPalette result = blend(33);
  // 5 * 67 / 100 = 3, 200 * 33 / 100 = 66; 250 * 67 / 100 = 167, 100 * 33 / 100 = 33.
  EXPECT_EQ(result[0x05], (SColour{69, 200, 17}));
}

TEST_F(SherryTest, BlendIntoOneOfItsSourcesUsesTheOldColours) {
  SherryWriter writer;
  writer.event(0x21, ids({1, 2})).event(0x41, rampColours(1)).event(0x41, flatColours(2, 0, 0, 0));
  // Destination = source 1 at 50 %, mask 0xFF shifted by 1: entry i blends old entry i AND 0x7F.
  writer.event(0x42, Params().u16(1).u16(2).u16(1).u8(1).u8(8).u8(0).u8(0).u8(0).u8(0).u8(50)).hold();
  ASSERT_TRUE(load(writer));
  EXPECT_EQ(palette(1)[4].red, 2);
  EXPECT_EQ(palette(1)[0x84].red, 2);  // from the old entry 4, not the halved new one
  EXPECT_EQ(palette(1)[0x80].red, 0);
}

TEST_F(SherryTest, ShownPaletteBecomesTheDisplayedColoursAtTheFlush) {
  SherryWriter writer;
  writer.event(0x21, ids({1})).event(0x41, setColour(1, 7, 0x12, 0x34, 0x56)).event(0x31, ids({1}));
  writer.event(0x41, setColour(1, 8, 1, 2, 3)).wait(1).hold();
  ASSERT_TRUE(load(writer));
  EXPECT_EQ(display.colours()[7], 0xFF123456u);
  EXPECT_EQ(display.colours()[8], 0xFF010203u);  // the colours as they are at the flush

  SherryWriter missing;
  const std::size_t at = nextEventOffset(missing);
  missing.event(0x31, ids({2})).hold();
  EXPECT_EQ(errorAfter(missing), hex8(at) + ": Palette is not alocated #2.");
}

TEST_F(SherryTest, WholeScreenIsShownFromAPoint) {
  SherryWriter writer = withScreen(650, 490, 4);
  writer.event(0x52, box(1, 0, 10, 5, 10, 5, 9)).event(0x52, box(1, 0, 649, 484, 649, 484, 8));
  writer.event(0x35, Params().u16(1).u16(10).u16(5)).wait(1).hold();
  ASSERT_TRUE(load(writer));
  EXPECT_EQ(display.surface().pixel(0, 0), 9);
  EXPECT_EQ(display.surface().pixel(639, 479), 8);
  EXPECT_EQ(display.surface().pixel(1, 1), 4);

  SherryWriter small = withScreen(640, 480);
  const std::size_t at = nextEventOffset(small);
  small.event(0x35, Params().u16(1).u16(1).u16(0)).hold();
  EXPECT_EQ(errorAfter(small), hex8(at) + ": Invalid rectangle (1,0)-(640,479) Invalid Rectangle(1,0)-(640,479)");
}

TEST_F(SherryTest, RectanglesAreShownWhereTheySay) {
  SherryWriter writer = withScreen(32, 32, 3);
  writer.event(0x52, box(1, 0, 4, 4, 5, 5, 6)).event(0x36, showRect(1, 4, 4, 630, 470, 2, 2)).wait(1).hold();
  ASSERT_TRUE(load(writer));
  EXPECT_EQ(display.surface().pixel(630, 470), 6);
  EXPECT_EQ(display.surface().pixel(631, 471), 6);
  EXPECT_EQ(display.surface().pixel(629, 470), 0);

  RecordingScreen recorder;
  SProcessWRD recorded(recorder);
  SherryWriter empty = withScreen(32, 32);
  empty.event(0x36, showRect(1, 40, 40, 700, 0, 0, 5)).wait(1).end();
  ASSERT_TRUE(recorded.openBuffer(empty.bytes(), directory));
  ASSERT_TRUE(recorded.reset());
  // An empty rectangle shows nothing: only the refreshes of the delta and of the end.
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{"refresh", "refresh"}));

  SherryWriter beyond = withScreen(32, 32);
  const std::size_t at = nextEventOffset(beyond);
  beyond.event(0x36, showRect(1, 0, 0, 630, 0, 11, 1)).hold();
  EXPECT_EQ(errorAfter(beyond), hex8(at) + ": Invalid point (640,0) Invalid Point(640,0)");

  SherryWriter outside = withScreen(32, 32);
  const std::size_t outsideAt = nextEventOffset(outside);
  outside.event(0x36, showRect(1, 30, 0, 0, 0, 3, 1)).hold();
  EXPECT_EQ(errorAfter(outside), hex8(outsideAt) + ": Invalid rectangle (30,0)-(32,0) Invalid Rectangle(30,0)-(32,0)");

  SherryWriter noScreen;
  const std::size_t noScreenAt = nextEventOffset(noScreen);
  noScreen.event(0x36, showRect(4, 0, 0, 0, 0, 1, 1)).hold();
  EXPECT_EQ(errorAfter(noScreen), hex8(noScreenAt) + ": Screen is not alocated #4.");
}

TEST_F(SherryTest, ScreenReplacedBeforeTheFlushIsCheckedAgain) {
  SherryWriter writer = withScreen(32, 32);
  writer.event(0x36, showRect(1, 0, 0, 0, 0, 32, 32)).event(0x26, ids({1})).event(0x25, newScreen(1, 8, 8, 0));
  writer.wait(1).hold();
  EXPECT_FALSE(load(writer));
  EXPECT_NE(processor.lastError().find("Invalid rectangle (0,0)-(31,31)"), std::string::npos);
}

TEST_F(SherryTest, TextIsDrawnWithGlyphsMaskAndFillColour) {
  SherryWriter writer = withScreen(40, 20, 2);
  writer.event(0x52, box(1, 0, 0, 0, 39, 19, 0xF0));
  writer.event(0x51, text(1, 0x0F, 0x35, 1, 2, "A\x82\xa0")).hold();
  ASSERT_TRUE(load(writer));
  const SVirtualScreen& s = screen(1);
  EXPECT_EQ(s.at(1, 2), 0xF5);  // 'A' top row: colour through the mask
  EXPECT_EQ(s.at(8, 2), 0xF5);
  EXPECT_EQ(s.at(1, 3), 0xF2);   // clear glyph pixel: the fill colour
  EXPECT_EQ(s.at(9, 10), 0xF5);  // U+3042: its left column, 16 wide
  EXPECT_EQ(s.at(10, 10), 0xF2);
  EXPECT_EQ(s.at(24, 17), 0xF2);
  EXPECT_EQ(s.at(25, 2), 0xF0);  // after the text: untouched
  EXPECT_EQ(s.at(0, 2), 0xF0);
}

TEST_F(SherryTest, TextMustFitItsScreen) {
  SherryWriter fits = withScreen(24, 16);
  fits.event(0x51, text(1, 0xFF, 1, 8, 0, "AA")).hold();
  EXPECT_TRUE(load(fits));  // the last column is 23

  SherryWriter wide = withScreen(24, 16);
  const std::size_t at = nextEventOffset(wide);
  wide.event(0x51, text(1, 0xFF, 1, 9, 0, "AA")).hold();
  EXPECT_EQ(errorAfter(wide), hex8(at) + ": Invalid point (24,15) Invalid Point(24,15)");

  SherryWriter start = withScreen(24, 16);
  const std::size_t startAt = nextEventOffset(start);
  start.event(0x51, text(1, 0xFF, 1, 30, 0, "")).hold();
  EXPECT_EQ(errorAfter(start), hex8(startAt) + ": Invalid point (30,0) Invalid Point(30,0)");

  SherryWriter lone = withScreen(24, 16);
  const std::size_t loneAt = nextEventOffset(lone);
  lone.event(0x51, text(1, 0xFF, 1, 0, 0, "A\x82")).hold();
  EXPECT_EQ(errorAfter(lone), hex8(loneAt) + ": Incomplete double-byte character");
}

TEST_F(SherryTest, LinesAndBoxesKeepTheMaskedBits) {
  SherryWriter writer = withScreen(8, 8, 0x33);
  writer.event(0x52, box(1, 0xF0, 5, 5, 3, 3, 0x04));                    // corners in any order
  writer.event(0x53, Params().u16(1).u8(0).u16(0).u16(7).u16(6).u8(9));  // x 0, rows 6..7
  writer.event(0x54, Params().u16(1).u8(0x0F).u16(7).u16(6).u16(0).u8(0x80)).hold();
  ASSERT_TRUE(load(writer));
  const SVirtualScreen& s = screen(1);
  EXPECT_EQ(s.at(3, 3), 0x34);
  EXPECT_EQ(s.at(5, 5), 0x34);
  EXPECT_EQ(s.at(2, 3), 0x33);
  EXPECT_EQ(s.at(0, 6), 9);
  EXPECT_EQ(s.at(0, 7), 9);
  EXPECT_EQ(s.at(0, 5), 0x33);
  EXPECT_EQ(s.at(6, 0), 0x83);
  EXPECT_EQ(s.at(7, 0), 0x83);
  EXPECT_EQ(s.at(5, 0), 0x33);
}

TEST_F(SherryTest, SlantedLinesStepAlongTheLongerAxis) {
  SherryWriter writer = withScreen(8, 8);
  writer.event(0x55, Params().u16(1).u8(0).u16(0).u16(0).u16(4).u16(2).u8(1));
  writer.event(0x55, Params().u16(1).u8(0).u16(7).u16(0).u16(6).u16(3).u8(2)).hold();
  ASSERT_TRUE(load(writer));
  std::vector<std::pair<int, int>> ones;
  std::vector<std::pair<int, int>> twos;
  const SVirtualScreen& s = screen(1);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      if (s.at(x, y) == 1) ones.emplace_back(x, y);
      if (s.at(x, y) == 2) twos.emplace_back(x, y);
    }
  }
  EXPECT_EQ(ones, (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));
  EXPECT_EQ(twos, (std::vector<std::pair<int, int>>{{7, 0}, {7, 1}, {7, 2}, {6, 3}}));
}

TEST_F(SherryTest, DrawingOutsideAScreenIsRefused) {
  const auto faultOf = [this](int code, const Params& params) {
    SherryWriter writer = withScreen(8, 8);
    const std::size_t at = nextEventOffset(writer);
    writer.event(code, params).hold();
    const std::string message = errorAfter(writer);
    return message.substr(0, 8) == hex8(at) ? message.substr(10) : message;
  };
  EXPECT_EQ(faultOf(0x52, box(1, 0, 0, 0, 8, 2, 1)), "Invalid rectangle (0,0)-(8,2) Invalid Rectangle(0,0)-(8,2)");
  EXPECT_EQ(faultOf(0x53, Params().u16(1).u8(0).u16(2).u16(0).u16(8).u8(1)), "Invalid point (2,8) Invalid Point(2,8)");
  EXPECT_EQ(faultOf(0x54, Params().u16(1).u8(0).u16(9).u16(0).u16(0).u8(1)), "Invalid point (9,0) Invalid Point(9,0)");
  EXPECT_EQ(faultOf(0x55, Params().u16(1).u8(0).u16(0).u16(0).u16(3).u16(100).u8(1)),
            "Invalid point (3,100) Invalid Point(3,100)");
  EXPECT_EQ(faultOf(0x52, box(2, 0, 0, 0, 1, 1, 1)), "Screen is not alocated #2.");
  EXPECT_EQ(faultOf(0x61, copy(1, 1, 0xFF, 2, 0, 1, 0, 0, 0)),
            "Invalid rectangle (2,0)-(1,0) Invalid Rectangle(2,0)-(1,0)");
  EXPECT_EQ(faultOf(0x61, copy(1, 1, 0xFF, 0, 0, 3, 3, 5, 5)),
            "Invalid rectangle (5,5)-(8,8) Invalid Rectangle(5,5)-(8,8)");
}

class SherryCopyTest : public SherryTest {
 protected:
  // Screen 1 holds x + 10 y in every pixel, fill colour 0; screen 2 is 8x8 of 0xF0.
  SherryWriter ramp() {
    SherryWriter writer = withScreen(8, 8, 0);
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x)
        writer.event(0x52, box(1, 0, x, y, x, y, x + 10 * y));
    }
    writer.event(0x25, newScreen(2, 8, 8, 0xF0));
    return writer;
  }
};

TEST_F(SherryCopyTest, CopyTakesTheMaskedBitsOfTheSource) {
  SherryWriter writer = ramp();
  writer.event(0x61, copy(1, 2, 0x0F, 1, 1, 2, 3, 5, 4)).hold();
  ASSERT_TRUE(load(writer));
  EXPECT_EQ(screen(2).at(5, 4), 0xF0 | (11 & 0x0F));
  EXPECT_EQ(screen(2).at(6, 5), 0xF0 | (22 & 0x0F));
  EXPECT_EQ(screen(2).at(7, 4), 0xF0);
  EXPECT_EQ(screen(2).at(5, 7), 0xF0);
}

TEST_F(SherryCopyTest, OverlappingCopyOnOneScreenReadsTheOldPixels) {
  SherryWriter writer = ramp();
  writer.event(0x61, copy(1, 1, 0xFF, 0, 0, 5, 5, 1, 1)).hold();
  ASSERT_TRUE(load(writer));
  for (int y = 1; y <= 6; ++y) {
    for (int x = 1; x <= 6; ++x)
      EXPECT_EQ(screen(1).at(x, y), (x - 1) + 10 * (y - 1)) << x << "," << y;
  }
  EXPECT_EQ(screen(1).at(0, 3), 30);
}

TEST_F(SherryCopyTest, TransparentCopyLeavesOutTheFillColour) {
  SherryWriter writer = ramp();  // pixel (0, 0) of screen 1 is 0, its fill colour
  writer.event(0x62, copy(1, 2, 0xFF, 0, 0, 1, 1, 0, 0)).hold();
  ASSERT_TRUE(load(writer));
  EXPECT_EQ(screen(2).at(0, 0), 0xF0);
  EXPECT_EQ(screen(2).at(1, 0), 1);
  EXPECT_EQ(screen(2).at(1, 1), 11);
}

TEST_F(SherryCopyTest, PatternCopyTakesOnlyItsSetBits) {
  SherryWriter writer = ramp();
  // Two rows of two bytes; only the first two bits of each row count: a checkerboard.
  writer.event(0x63, copy(1, 2, 0xFF, 1, 1, 4, 3, 0, 0).u16(2).u16(2).u8(0x80).u8(0xFF).u8(0x40).u8(0xFF)).hold();
  ASSERT_TRUE(load(writer));
  const SVirtualScreen& s = screen(2);
  EXPECT_EQ(s.at(0, 0), 11);
  EXPECT_EQ(s.at(1, 0), 0xF0);
  EXPECT_EQ(s.at(2, 0), 13);
  EXPECT_EQ(s.at(0, 1), 0xF0);
  EXPECT_EQ(s.at(1, 1), 22);
  EXPECT_EQ(s.at(0, 2), 31);

  SherryWriter empty = ramp();
  empty.event(0x63, copy(1, 2, 0xFF, 1, 1, 4, 3, 0, 0).u16(0).u16(0)).hold();
  ASSERT_TRUE(load(empty));
  EXPECT_EQ(screen(2).pixels, Bytes(64, 0xF0));
}

TEST_F(SherryTest, ReservedEventsDoNothing) {
  SherryWriter writer = withScreen(4, 4, 1);
  writer.event(0x64, Params().u16(1).u16(2)).event(0x71).event(0xE4).hold();  // bit 7 of a code is ignored
  ASSERT_TRUE(load(writer));
  EXPECT_EQ(screen(1).pixels, Bytes(16, 1));
  EXPECT_TRUE(processor.lastError().empty());
}

}  // namespace
}  // namespace volta::wrd::sherry::test
