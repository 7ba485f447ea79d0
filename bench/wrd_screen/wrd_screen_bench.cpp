// Speed of the WRD screen's hot paths: recomposing the screen and writing a full page
// of double-byte text with a cold glyph cache.

#include <benchmark/benchmark.h>

#include <string>

#include "player/wrd/text_writer.h"

namespace {

using volta::wrd::GlyphRenderer;
using volta::wrd::Screen;
using volta::wrd::TextWriter;
using volta::wrd::UnifontFace;

void recomposeScreen(benchmark::State& state) {
  Screen screen;
  screen.page(0)->fill(5);
  screen.textLayer().fill(0x90);
  for (auto _ : state) {
    screen.recompose({0, 0, 640, 399});
    benchmark::DoNotOptimize(screen.composite().row(0));
  }
}
BENCHMARK(recomposeScreen)->Unit(benchmark::kMicrosecond);

// 80x25 cells of 1000 different kanji (two cells each), so no glyph repeats.
std::string kanjiScreen() {
  std::string text;
  int lead = 0x88;
  int trail = 0x9F;
  for (int i = 0; i < 1000; ++i) {
    text += static_cast<char>(lead);
    text += static_cast<char>(trail);
    if (++trail > 0xFC) {
      trail = 0x40;
      ++lead;
    }
    if (trail == 0x7F) ++trail;
  }
  return text;
}

void writeDoubleByteScreen(benchmark::State& state) {
  const auto face = UnifontFace::loadFile(volta::wrd::kDefaultWrdFontPath);
  if (!face) {
    state.SkipWithError("unifont_jp.hex not installed");
    return;
  }
  const std::string text = kanjiScreen();
  Screen screen;
  for (auto _ : state) {
    // A new renderer each time: nothing is cached, not even the CP932 lookups.
    GlyphRenderer glyphs(face);
    TextWriter writer(screen, glyphs);
    writer.write(text);
    benchmark::DoNotOptimize(screen.textLayer().row(0));
  }
}
BENCHMARK(writeDoubleByteScreen)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
