// The WRD pane's share of the display tick while a script plays: the script followed to the
// song's position and the changed part of the window painted, as the event loop does after
// the tick. Also one whole-window repaint, the most a single change can cost.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "player/shell/wrd/wrd_window.h"

namespace {

using volta::shell::TWRDWindow;
using volta::wrd::SongPosition;

constexpr int kTimebase = 48;
constexpr std::uint32_t kTicksPerMeasure = 4 * kTimebase;
// 120 beats a minute: a 20 ms display tick moves the song about two ticks.
constexpr std::uint32_t kTicksPerDisplayTick = 2;
// @WMODE(11): a line every (11 + 1) / 24 quarter notes.
constexpr std::uint32_t kTicksPerLine = 12 * kTimebase / 24;
constexpr int kScriptLines = 4000;

const std::vector<std::uint32_t>& measureTable() {
  static const std::vector<std::uint32_t> table = [] {
    std::vector<std::uint32_t> t(2048);
    for (std::size_t m = 0; m < t.size(); ++m)
      t[m] = static_cast<std::uint32_t>(m * kTicksPerMeasure);
    return t;
  }();
  return table;
}

// Lyrics as scripts hold them: a line every eighth note, colours, cursor moves, a box now and
// then and a cleared text screen every 20 lines.
std::string lyricsScript() {
  std::string s = "@STARTUP(400);\n@WMODE(11);\n";
  for (int i = 0; i < kScriptLines; ++i) {
    switch (i % 20) {
      case 0:
        s += "@ESC(2J)\n";
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
        s += "Line " + std::to_string(i) + " of the song \x82\xA0\x82\xA2\x82\xA4 words\n";
    }
  }
  return s;
}

SongPosition at(std::uint32_t tick) {
  SongPosition p;
  p.measure = static_cast<int>(tick / kTicksPerMeasure);
  p.tickInMeasure = static_cast<int>(tick % kTicksPerMeasure);
  p.absoluteTick = tick;
  return p;
}

class PlayingPane {
 public:
  PlayingPane() : window_(nullptr, volta::wrd::UnifontFace::loadFile(volta::wrd::kDefaultWrdFontPath)) {
    const std::string script = lyricsScript();
    window_.interpreter().openText(script, "lyrics.wrd", "Song", "", measureTable());
    window_.resize(640, 400);
    window_.show();
    restart();
  }

  // One display tick `ticks` song ticks after the last: the script catches up with the song,
  // then the window paints.
  void tick(std::uint32_t ticks) {
    song_ += ticks;
    if (song_ / kTicksPerMeasure >= measureTable().size()) restart();
    const SongPosition position = at(song_);
    for (int i = 0; i < 1000 && !window_.process(false, position); ++i) {
    }
    QCoreApplication::processEvents();
  }

  void repaintWhole() {
    window_.invalidateSurface(volta::wrd::kWholeSurface);
    window_.repaintNow();
  }

 private:
  void restart() {
    song_ = 0;
    window_.reset(kTimebase);
    QCoreApplication::processEvents();
  }

  TWRDWindow window_;
  std::uint32_t song_ = 0;
};

// Ticks as they come: most find the script waiting.
void BM_WrdPaneTick(benchmark::State& state) {
  PlayingPane pane;
  for (auto _ : state)
    pane.tick(kTicksPerDisplayTick);
}
BENCHMARK(BM_WrdPaneTick);

// Ticks that each reach the next line: one element drawn and painted every time.
void BM_WrdPaneLineTick(benchmark::State& state) {
  PlayingPane pane;
  for (auto _ : state)
    pane.tick(kTicksPerLine);
}
BENCHMARK(BM_WrdPaneLineTick);

void BM_WrdPaneWholeRepaint(benchmark::State& state) {
  PlayingPane pane;
  for (auto _ : state)
    pane.repaintWhole();
}
BENCHMARK(BM_WrdPaneWholeRepaint);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
