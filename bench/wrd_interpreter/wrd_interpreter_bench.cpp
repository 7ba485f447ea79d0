// WRD interpreter costs: catching up silently through a long script after a jump, and one
// display tick that draws a line of text and pushes it.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench/support/wrd_song.h"
#include "player/wrd/interpreter.h"

namespace {

using volta::wrd::SongPosition;
using volta::wrd::WrdInterpreter;

using volta::bench::at;
using volta::bench::kTicksPerMeasure;
using volta::bench::kTimebase;
using volta::bench::measureTable;

std::shared_ptr<const volta::wrd::UnifontFace> face() {
  static const auto loaded = volta::wrd::UnifontFace::loadFile(volta::wrd::kDefaultWrdFontPath);
  return loaded;
}

// Runs until the script waits for a later point of the song.
void catchUp(WrdInterpreter& wrd, const SongPosition& position) {
  for (;;) {
    const std::size_t before = wrd.cursor();
    if (wrd.process(true, position) && wrd.cursor() == before) return;
  }
}

void BM_CatchUpThroughScript(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  const std::string script =
      volta::bench::lyricsScript(lines, 5, state.range(1) != 0, " of the song's words, sung along with the music");
  WrdInterpreter wrd(face());
  wrd.openText(script, "/nonexistent/BENCH.WRD", "Title", "Memo", measureTable());
  // Each line waits (5 + 1) / 24 of a quarter note: 12 ticks.
  const SongPosition end = at(static_cast<std::uint32_t>(lines) * 12 + kTicksPerMeasure);
  for (auto _ : state) {
    wrd.reset(kTimebase);
    catchUp(wrd, end);
    wrd.present();
  }
  state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_CatchUpThroughScript)->Args({5000, 1})->Args({5000, 0})->Unit(benchmark::kMillisecond);

void BM_DisplayTickDrawingTextLine(benchmark::State& state) {
  std::string script;
  for (int i = 0; i < 1000; ++i)
    script += "@LOCATE(5," + std::to_string(i % 25 + 1) +
              ");\nA line of seventy bytes of text drawn at once, with its flush...\n";
  WrdInterpreter wrd(face());
  wrd.openText(script, "/nonexistent/BENCH.WRD", "Title", "Memo", measureTable());
  wrd.reset(kTimebase);
  std::uint32_t measure = 0;
  for (auto _ : state) {
    if (!wrd.state().loaded || measure >= 1000) {
      state.PauseTiming();
      wrd.reset(kTimebase);
      measure = 0;
      state.ResumeTiming();
    }
    const SongPosition p = at(measure++ * kTicksPerMeasure);
    while (!wrd.process(false, p)) {
    }
  }
}
BENCHMARK(BM_DisplayTickDrawingTextLine)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
