#include "player/wrd/window_benchmark.h"

#include <limits>
#include <utility>

namespace volta::wrd {

namespace {

// The texts are Shift JIS, as everything the text screen shows.
// "現在計測中... BitBLT DIB=>VRAM"
constexpr std::string_view kHeadingTransfer = "\x8C\xBB\x8D\xDD\x8Cv\x91\xAA\x92\x86... BitBLT DIB=>VRAM";
// "現在計測中... DIB描画能力テスト"
constexpr std::string_view kHeadingFill =
    "\x8C\xBB\x8D\xDD\x8Cv\x91\xAA\x92\x86... DIB\x95`\x89\xE6\x94\x5C\x97\xCD\x83"
    "e\x83X\x83g";
// "現在計測中... フォント取得テスト"
constexpr std::string_view kHeadingGlyphs =
    "\x8C\xBB\x8D\xDD\x8Cv\x91\xAA\x92\x86... \x83t\x83H\x83\x93\x83g\x8E\xE6\x93\xBE\x83"
    "e\x83X\x83g";
// "現在計測中... PutTextPattern()のテスト"
constexpr std::string_view kHeadingTextPut =
    "\x8C\xBB\x8D\xDD\x8Cv\x91\xAA\x92\x86... PutTextPattern()\x82\xCC\x83"
    "e\x83X\x83g";
// "現在計測中... ﾃｷｽﾄ/ｸﾞﾗﾌｨｯｸ再合成テスト     "
constexpr std::string_view kHeadingRecompose =
    "\x8C\xBB\x8D\xDD\x8Cv\x91\xAA\x92\x86... \xC3\xB7\xBD\xC4/\xB8\xDE\xD7\xCC\xA8\xAF\xB8\x8D\xC4\x8D\x87\x90\xAC\x83"
    "e\x83X\x83g     ";
// "結果...                         "
constexpr std::string_view kResults = "\x8C\x8B\x89\xCA...                         ";
// "BitBLT画面書換回数 (ﾋﾞﾃﾞｵｶｰﾄﾞの性能) = " and " [回/sec] -> "
constexpr std::string_view kTransferLine =
    "BitBLT\x89\xE6\x96\xCA\x8F\x91\x8A\xB7\x89\xF1\x90\x94 "
    "(\xCB\xDE\xC3\xDE\xB5\xB6\xB0\xC4\xDE\x82\xCC\x90\xAB\x94\x5C) "
    "= ";
constexpr std::string_view kTransferUnit = " [\x89\xF1/sec] -> ";
// "(0-29.不適 30-59.普通 60-89.良 90-.優良)"
constexpr std::string_view kGradeLegend =
    "(0-29.\x95s\x93K 30-59.\x95\x81\x92\xCA 60-89.\x97\xC7 90-.\x97"
    "D\x97\xC7)";
// "DIB描画能力テスト (CPU/ﾒﾓﾘ/周辺チップ性能) = "
constexpr std::string_view kFillLine =
    "DIB\x95`\x89\xE6\x94\x5C\x97\xCD\x83"
    "e\x83X\x83g (CPU/\xD2\xD3\xD8/\x8E\xFC\x95\xD3\x83`\x83"
    "b\x83v\x90\xAB\x94\x5C) = ";
// "フォント取得テスト （VOLTA/Winの性能） = "
constexpr std::string_view kGlyphLine =
    "\x83t\x83H\x83\x93\x83g\x8E\xE6\x93\xBE\x83"
    "e\x83X\x83g \x81iVOLTA/Win\x82\xCC\x90\xAB\x94\x5C\x81j = ";
// "テキスト描画テスト （VOLTAの性能） = "
constexpr std::string_view kTextPutLine =
    "\x83"
    "e\x83L\x83X\x83g\x95`\x89\xE6\x83"
    "e\x83X\x83g \x81iVOLTA\x82\xCC\x90\xAB\x94\x5C\x81j = ";
// "Text/Grph再合成テスト （VOLTAの性能） = "
constexpr std::string_view kRecomposeLine =
    "Text/Grph\x8D\xC4\x8D\x87\x90\xAC\x83"
    "e\x83X\x83g \x81iVOLTA\x82\xCC\x90\xAB\x94\x5C\x81j = ";
constexpr std::string_view kPixelsUnit = " [pixels/sec]";
constexpr std::string_view kCharsUnit = " [chars/sec]";
// " [回/sec]"
constexpr std::string_view kTimesUnit = " [\x89\xF1/sec]";

// "不適", "普通", "良", "優良"
constexpr std::string_view kUnfit = "\x95s\x93K";
constexpr std::string_view kFair = "\x95\x81\x92\xCA";
constexpr std::string_view kGood = "\x97\xC7";
constexpr std::string_view kExcellent =
    "\x97"
    "D\x97\xC7";

// Two kanji looked up in turn, so that the one-glyph cache never answers.
constexpr std::uint8_t kGlyphLead = 0x88;
constexpr std::uint8_t kGlyphTrails[2] = {0x9F, 0xA0};

constexpr int kTestSeconds = static_cast<int>(kBenchmarkTestMs / 1000);
constexpr long long kFillPixels = 640LL * 400;
constexpr int kBarCount = 16;
constexpr int kBarWidth = 40;
constexpr int kWhite = 7;

std::string line(std::string_view label, long long value, std::string_view unit) {
  std::string text(label);
  text += std::to_string(value);
  text += unit;
  return text;
}

}  // namespace

std::string_view benchmarkGrade(int repaintsPerSecond) {
  if (repaintsPerSecond < 30) return kUnfit;
  if (repaintsPerSecond < 60) return kFair;
  if (repaintsPerSecond < 90) return kGood;
  return kExcellent;
}

std::vector<BenchmarkLine> benchmarkResultLines(const BenchmarkCounts& counts) {
  const int transfers = counts.transfers / kTestSeconds;
  return {
      {10, 8, std::string(kResults)},
      {10, 10, line(kTransferLine, transfers, kTransferUnit) + std::string(benchmarkGrade(transfers))},
      {15, 11, std::string(kGradeLegend)},
      {10, 13, line(kFillLine, counts.fills * kFillPixels / kTestSeconds, kPixelsUnit)},
      {10, 15, line(kGlyphLine, counts.glyphs / kTestSeconds, kCharsUnit)},
      {10, 17, line(kTextPutLine, counts.textPuts / kTestSeconds, kCharsUnit)},
      {10, 19, line(kRecomposeLine, counts.recomposes / kTestSeconds, kTimesUnit)},
  };
}

WindowBenchmark::WindowBenchmark(WrdInterpreter& wrd, std::function<void()> repaintAll, TickSource ticks)
    : wrd_(wrd), repaintAll_(std::move(repaintAll)), ticks_(std::move(ticks)) {}

BenchmarkCounts WindowBenchmark::run() {
  Screen& screen = wrd_.screen();
  BenchmarkCounts counts;
  prepareScreen();

  heading(kHeadingTransfer);
  drawBars();
  counts.transfers = timed(true, repaintAll_);

  heading(kHeadingFill);
  counts.fills = timed(true, [&] { screen.filledBox(0, 0, 639, 399, kWhite); });
  drawBars();

  heading(kHeadingGlyphs);
  int which = 0;
  counts.glyphs = timed(false, [&] {
    wrd_.glyphs().renderPair(kGlyphLead, kGlyphTrails[which], 0);
    which ^= 1;
  });

  heading(kHeadingTextPut);
  counts.textPuts = timed(false, [&] { wrd_.writer().putChar(0, 0, 'A', kWhite, 0); });

  heading(kHeadingRecompose);
  counts.recomposes = timed(false, [&] { screen.recompose(kWholeScreen); });

  writeResults(counts);
  return counts;
}

void WindowBenchmark::prepareScreen() {
  Screen& screen = wrd_.screen();
  DrawState& state = screen.state();
  state.activePage = 0;
  state.displayPage = 0;
  screen.clearPlanes(15);
  TextWriter& writer = wrd_.writer();
  writer.fillCells(0, 0, kTextColumns - 1, kTextRows - 1, ' ', kWhite, 0);
  // A green ramp: entry i has green level i.
  for (int i = 0; i < 16; ++i)
    screen.setPaletteEntry(i, static_cast<std::uint16_t>(i * 16));
  screen.markDirty(kWholeScreen);
  screen.markPaletteDirty();
  screen.flushScreen(1);
  writer.cursor() = TextCursor{10, 10, kWhite, 0};
}

void WindowBenchmark::drawBars() {
  Screen& screen = wrd_.screen();
  for (int i = 0; i < kBarCount; ++i)
    screen.glineCommand(kBarWidth * i, 0, kBarWidth * i + kBarWidth - 1, 399, i, 2, i);
  screen.flushScreen(1);
}

void WindowBenchmark::heading(std::string_view text) {
  wrd_.writer().writeAt(10, 10, text);
  wrd_.screen().flushScreen(1);
  repaintAll_();
}

int WindowBenchmark::timed(bool awaitWrap, const std::function<void()>& action) {
  std::uint32_t start = ticks_();
  while (awaitWrap && start > std::numeric_limits<std::uint32_t>::max() - kBenchmarkTestMs)
    start = ticks_();
  int count = 0;
  do {
    action();
    ++count;
  } while (ticks_() - start < kBenchmarkTestMs);
  return count;
}

void WindowBenchmark::writeResults(const BenchmarkCounts& counts) {
  for (const BenchmarkLine& result : benchmarkResultLines(counts))
    wrd_.writer().writeAt(result.column, result.row, result.text);
  wrd_.screen().flushScreen(1);
  repaintAll_();
}

}  // namespace volta::wrd
