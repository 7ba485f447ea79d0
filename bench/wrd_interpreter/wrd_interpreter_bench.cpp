// WRD interpreter costs: catching up silently through a long script after a jump, and one
// display tick that draws a line of text and pushes it.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "player/wrd/interpreter.h"

namespace {

using volta::wrd::SongPosition;
using volta::wrd::WrdInterpreter;

constexpr int kTimebase = 48;
constexpr std::uint32_t kTicksPerMeasure = 4 * kTimebase;

const std::vector<std::uint32_t>& measureTable() {
  static const std::vector<std::uint32_t> table = [] {
    std::vector<std::uint32_t> t(2048);
    for (std::size_t m = 0; m < t.size(); ++m)
      t[m] = static_cast<std::uint32_t>(m * kTicksPerMeasure);
    return t;
  }();
  return table;
}

std::shared_ptr<const volta::wrd::UnifontFace> face() {
  static const auto loaded = volta::wrd::UnifontFace::loadFile(volta::wrd::kDefaultWrdFontPath);
  return loaded;
}

SongPosition at(std::uint32_t tick) {
  SongPosition p;
  p.measure = static_cast<int>(tick / kTicksPerMeasure);
  p.tickInMeasure = static_cast<int>(tick % kTicksPerMeasure);
  p.absoluteTick = tick;
  return p;
}

// Lines as lyrics scripts are written: text with colours, cursor moves and a few graphics, a
// line every eighth note; with `pageClears` the text screen is cleared every 20 lines.
std::string lyricsScript(int lines, bool pageClears) {
  std::string s = "@STARTUP(400);\n@WMODE(5);\n";
  for (int i = 0; i < lines; ++i) {
    switch (i % 20) {
      case 0:
        s += pageClears ? "@ESC(2J)\n" : "@COLOR(37)\n";
        break;
      case 5:
        s += "@COLOR(3" + std::to_string(i % 8) + ")\n";
        break;
      case 10:
        s += "@GLINE(" + std::to_string(i % 600) + ",100,639,120,3,2,3)\n";
        break;
      case 15:
        s += "@LOCATE(10," + std::to_string(i % 24 + 1) + ");\n";
        break;
      default:
        s += "Line " + std::to_string(i) + " of the song's words, sung along with the music\n";
        break;
    }
  }
  return s;
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
  const std::string script = lyricsScript(lines, state.range(1) != 0);
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
