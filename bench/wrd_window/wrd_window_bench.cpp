// The WRD pane's share of the display tick while a script plays: the script followed to the
// song's position and the changed part of the window painted, as the event loop does after
// the tick. Also one whole-window repaint, the most a single change can cost.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdint>
#include <memory>
#include <string>

#include "bench/support/wrd_song.h"
#include "player/shell/wrd/wrd_window.h"

namespace {

using volta::shell::TWRDWindow;
using volta::wrd::SongPosition;

using volta::bench::at;
using volta::bench::kTicksPerMeasure;
using volta::bench::kTimebase;
using volta::bench::measureTable;

// 120 beats a minute: a 20 ms display tick moves the song about two ticks.
constexpr std::uint32_t kTicksPerDisplayTick = 2;
// @WMODE(11): a line every (11 + 1) / 24 quarter notes.
constexpr std::uint32_t kTicksPerLine = 12 * kTimebase / 24;
constexpr int kScriptLines = 4000;

class PlayingPane {
 public:
  PlayingPane() : window_(nullptr, volta::wrd::UnifontFace::loadFile(volta::wrd::kDefaultWrdFontPath)) {
    const std::string script =
        volta::bench::lyricsScript(kScriptLines, 11, true, " of the song \x82\xA0\x82\xA2\x82\xA4 words");
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
