// The window's own commands: page view, text and graphics switches, palette resets and the
// display benchmark.
#include <limits>

#include "platform/text.h"
#include "player/wrd/window_benchmark.h"
#include "tests/player/shell/wrd/wrd_window_fixture.h"

namespace volta::shell::test {
namespace {

using platform::text::cp932ToUtf8;

using wrd::benchmarkGrade;

// A white 'A' in the text cell at column 2, row 1.
void textCell(TWRDWindow& window) {
  window.interpreter().writer().writeAt(2, 1, "A");
  window.interpreter().screen().flushScreen(1);
}

TEST_F(WrdWindowTest, TextToggleShowsTextOffThenTextOn) {
  defaultPalette();
  textCell(window);
  EXPECT_EQ(pixel(20, 20), kWhite);

  window.toggleText();
  EXPECT_EQ(window.statusLabel(), QStringLiteral(" Text OFF "));
  EXPECT_TRUE(window.statusTimer().isActive());
  EXPECT_EQ(window.interpreter().screen().state().textOn, 0);
  window.expireStatusLabel();
  EXPECT_EQ(pixel(20, 20), kBlack);

  window.toggleText();
  EXPECT_EQ(window.statusLabel(), QStringLiteral(" Text ON "));
  EXPECT_TRUE(window.statusTimer().isActive());
  EXPECT_EQ(window.interpreter().screen().state().textOn, 1);
  window.expireStatusLabel();
  EXPECT_EQ(pixel(20, 20), kWhite);
}

TEST_F(WrdWindowTest, DoubleWidthTextCountsAsOnAndTogglesOff) {
  window.interpreter().screen().state().textOn = 2;
  window.toggleText();
  EXPECT_EQ(window.interpreter().screen().state().textOn, 0);
  EXPECT_EQ(window.statusLabel(), QStringLiteral(" Text OFF "));
}

TEST_F(WrdWindowTest, GraphicsToggleHidesAndShowsThePages) {
  bluePage();
  window.toggleGraphics();
  EXPECT_EQ(window.statusLabel(), QStringLiteral(" Graphic OFF "));
  window.expireStatusLabel();
  EXPECT_EQ(pixel(300, 300), kBlack);
  window.toggleGraphics();
  EXPECT_EQ(window.statusLabel(), QStringLiteral(" Graphic ON "));
  window.expireStatusLabel();
  EXPECT_EQ(pixel(300, 300), kBlue);
}

TEST_F(WrdWindowTest, PageFiveOfTwoChangesNothingButTheLabel) {
  bluePage();
  const QImage before = painted();
  window.showPage(5);
  EXPECT_EQ(window.statusLabel(), QStringLiteral(" Page 5 "));
  EXPECT_EQ(window.interpreter().screen().state().displayPage, 0);
  window.expireStatusLabel();
  EXPECT_EQ(painted(), before);
}

TEST_F(WrdWindowTest, ShowingAnExistingPageRecomposesFromIt) {
  bluePage();
  window.showPage(1);
  EXPECT_EQ(window.statusLabel(), QStringLiteral(" Page 1 "));
  EXPECT_EQ(window.interpreter().screen().state().displayPage, 1);
  window.expireStatusLabel();
  EXPECT_EQ(pixel(300, 300), kBlack);
  window.showPage(0);
  window.expireStatusLabel();
  EXPECT_EQ(pixel(300, 300), kBlue);
}

TEST_F(WrdWindowTest, PaletteResetsWithAndWithoutWhite) {
  defaultPalette();
  wrd::Screen& screen = window.interpreter().screen();
  screen.setPaletteEntry(1, 0x0F0);
  window.initialisePalette(true);
  EXPECT_EQ(window.statusLabel(), QStringLiteral(" Initialize palette (white) "));
  EXPECT_EQ(screen.banks()[0][0], 0xFFF);
  EXPECT_EQ(screen.banks()[0][1], 0x00F);
  window.expireStatusLabel();
  EXPECT_EQ(pixel(300, 300), kWhite);
  window.initialisePalette(false);
  EXPECT_EQ(window.statusLabel(), QStringLiteral(" Initialize palette "));
  window.expireStatusLabel();
  EXPECT_EQ(pixel(300, 300), kBlack);
}

// ---- benchmark ----

// A tick count that reaches each test's end after exactly `calls` actions: read k gives
// start + k * 3000 / calls.
wrd::TickSource ticksEnding(int calls, std::uint32_t start = 1000) {
  auto reads = std::make_shared<std::uint64_t>(0);
  return [reads, calls, start] {
    return static_cast<std::uint32_t>(start + (*reads)++ * wrd::kBenchmarkTestMs / static_cast<std::uint64_t>(calls));
  };
}

TEST(WrdBenchmarkGrade, BoundariesOfTheFourGrades) {
  EXPECT_EQ(cp932ToUtf8(benchmarkGrade(0)), "不適");
  EXPECT_EQ(cp932ToUtf8(benchmarkGrade(29)), "不適");
  EXPECT_EQ(cp932ToUtf8(benchmarkGrade(30)), "普通");
  EXPECT_EQ(cp932ToUtf8(benchmarkGrade(59)), "普通");
  EXPECT_EQ(cp932ToUtf8(benchmarkGrade(60)), "良");
  EXPECT_EQ(cp932ToUtf8(benchmarkGrade(89)), "良");
  EXPECT_EQ(cp932ToUtf8(benchmarkGrade(90)), "優良");
}

TEST(WrdBenchmarkResults, LinesGiveRatesPerSecondAtTheirCells) {
  const auto lines = wrd::benchmarkResultLines({177, 10, 300, 30, 3});
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(cp932ToUtf8(lines[0].text), "結果...                         ");
  EXPECT_EQ(lines[1].column, 10);
  EXPECT_EQ(lines[1].row, 10);
  EXPECT_EQ(cp932ToUtf8(lines[1].text), "BitBLT画面書換回数 (ﾋﾞﾃﾞｵｶｰﾄﾞの性能) = 59 [回/sec] -> 普通");
  EXPECT_EQ(lines[2].column, 15);
  EXPECT_EQ(cp932ToUtf8(lines[2].text), "(0-29.不適 30-59.普通 60-89.良 90-.優良)");
  EXPECT_EQ(cp932ToUtf8(lines[3].text), "DIB描画能力テスト (CPU/ﾒﾓﾘ/周辺チップ性能) = 853333 [pixels/sec]");
  EXPECT_EQ(cp932ToUtf8(lines[4].text), "フォント取得テスト （VOLTA/Winの性能） = 100 [chars/sec]");
  EXPECT_EQ(cp932ToUtf8(lines[5].text), "テキスト描画テスト （VOLTAの性能） = 10 [chars/sec]");
  EXPECT_EQ(lines[6].row, 19);
  EXPECT_EQ(cp932ToUtf8(lines[6].text), "Text/Grph再合成テスト （VOLTAの性能） = 1 [回/sec]");
}

TEST_F(WrdWindowTest, BenchmarkRunsEachTestForItsTimeAndWritesTheGrade) {
  int repaints = 0;
  wrd::WindowBenchmark bench(
      window.interpreter(), [&] { ++repaints; }, ticksEnding(180));
  const wrd::BenchmarkCounts counts = bench.run();
  EXPECT_EQ(counts.transfers, 180);
  EXPECT_EQ(counts.fills, 180);
  EXPECT_EQ(counts.glyphs, 180);
  EXPECT_EQ(counts.textPuts, 180);
  EXPECT_EQ(counts.recomposes, 180);
  EXPECT_EQ(cp932ToUtf8(wrd::benchmarkResultLines(counts)[1].text),
            "BitBLT画面書換回数 (ﾋﾞﾃﾞｵｶｰﾄﾞの性能) = 60 [回/sec] -> 良");
  // 180 timed repaints, one per heading and one for the results.
  EXPECT_EQ(repaints, 186);
  // Bank 0 is the green ramp; the 'A' of "VOLTA" on row 15 (column 35) is on screen.
  EXPECT_EQ(window.interpreter().screen().banks()[0][3], 0x030);
  EXPECT_EQ(pixel(35 * 8 + 3, 15 * 16 + 3), kWhite);
  EXPECT_EQ(pixel(3, 3), kWhite);  // the glyph put at (0, 0)
}

TEST_F(WrdWindowTest, BenchmarkThroughTheWindowLetsATickCountAboutToWrapWrapFirst) {
  const std::uint32_t nearWrap = std::numeric_limits<std::uint32_t>::max() - 1000;
  const wrd::BenchmarkCounts counts = window.benchmark(ticksEnding(177, nearWrap));
  EXPECT_EQ(counts.transfers, 177);
  EXPECT_EQ(counts.fills, 177);
  EXPECT_EQ(cp932ToUtf8(wrd::benchmarkGrade(counts.transfers / 3)), "普通");
  EXPECT_FALSE(window.showingSherry());
}

}  // namespace
}  // namespace volta::shell::test
