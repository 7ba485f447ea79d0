// The controller's periodic work while a song plays: one run of timer 0 (time,
// counters, end-of-song check, WRD display following the song) and one of timer 1,
// on the engine library loaded by name playing into the trace device. The windows
// are a view that only keeps the texts, so the figure is the controller's own share.

#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/settings/settings_store.h"
#include "player/core/app/player_controller.h"
#include "player/core/builtin_definitions.h"
#include "player/core/engine_binding.h"
#include "player/core/module_definitions.h"
#include "player/core/song_player.h"
#include "player/wrd/glyphs.h"
#include "player/wrd/interpreter.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"
#include "tests/support/trace_log.h"

namespace {

using namespace volta;

// Keeps what it is told, as the real windows would before repainting.
class KeepingView final : public app::FrameView {
 public:
  void setWindowTitle(const std::string& utf8) override { title = utf8; }
  void setListFrameTitle(const std::string&) override {}
  void setPanelText(int item, const std::string& utf8) override { panel[static_cast<std::size_t>(item)] = utf8; }
  void setPanelLamp(int item, bool lit) override { lamps[static_cast<std::size_t>(item)] = lit; }
  void resetMonitor() override {}
  void animate() override {}
  void updateLcd() override {}
  void armTimer(int, int) override {}
  void killTimer(int) override {}
  void showPane(int) override {}
  void showFrame(int, bool) override {}
  bool setFullScreen(bool) override { return true; }
  void activateMainWindow() override {}
  bool mainWindowMinimized() const override { return false; }
  void commandsChanged() override {}
  void refreshList() override {}
  void refreshRow(int) override {}
  void setListHeaders(const std::string&, const std::string&) override {}
  void showRow(int) override {}
  int selectedRow() const override { return -1; }
  void setSliderRange(int) override {}
  void setSlider(int value) override { slider = value; }
  void setDocumentText(const std::string*) override {}
  void setWrdDebugText(const std::string*) override {}
  void setWrdDebugCursor(std::size_t) override {}
  void message(const std::string&, const std::string&) override {}
  app::Answer ask(const std::string&, const std::string&, app::Buttons) override { return app::Answer::kNo; }
  app::FileDialogResult askOpenFile(const app::FileDialogRequest&) override { return {}; }
  app::FileDialogResult askFolder(const app::FileDialogRequest&) override { return {}; }
  app::FileDialogResult askSaveFile(const app::FileDialogRequest&) override { return {}; }
  std::optional<std::vector<core::MIDIFile>> editList(const app::ListEditRequest&) override { return {}; }
  std::optional<std::vector<std::string>> editAlbum(const std::vector<std::string>&) override { return {}; }
  void launchFileBrowser(const std::string&) override {}
  void quit() override {}

  std::string title;
  std::array<std::string, 25> panel;
  std::array<bool, 25> lamps{};
  int slider = 0;
};

// The built-in WRD script drawn in step with the song, as the WRD pane does.
class InterpreterFollower final : public core::WrdFollower {
 public:
  InterpreterFollower() : wrd_(wrd::UnifontFace::loadFile(wrd::kDefaultWrdFontPath)) {}
  void restart(std::uint16_t timeBase) override {
    wrd_.openFile(std::nullopt, "Benchmark", "", {});
    wrd_.reset(timeBase);
  }
  bool follow(const Position& p) override {
    return wrd_.process(false, {p.measure, static_cast<int>(p.beat), static_cast<int>(p.tickInMeasure), p.position});
  }

 private:
  wrd::WrdInterpreter wrd_;
};

// Sixteen channels of notes for about seventeen minutes.
test::Bytes longSong() {
  test::SmfTrack track;
  track.trackName(0, "Benchmark song").tempo(0, 500000).timeSignature(0, 4, 2);
  const auto note = [](int i, int channel) { return 40 + (i + channel) % 40; };
  for (int i = 0; i < 2000; ++i) {
    for (int channel = 0; channel < 16; ++channel)
      track.noteOn(0, channel, note(i, channel), 100);
    for (int channel = 0; channel < 16; ++channel)
      track.noteOff(channel == 0 ? 96 : 0, channel, note(i, channel));
  }
  track.endOfTrack(0);
  return test::SmfWriter(0, 96).track(track).build();
}

void BM_TimerTicksWhilePlaying(benchmark::State& state) {
  test::TempDir dir;
  const auto songPath = dir / "bench.mid";
  test::writeFile(songPath, longSong());
  test::traceDeviceFor(dir / "trace.txt");
  platform::settings::SettingsStore store(dir / "VOLTA.conf");
  store.writeString(platform::settings::kMainKey, "PORT_A", "Trace");
  core::EngineBinding binding(core::kNativeLibrary, test::binDir());
  if (!binding.loaded()) return state.SkipWithError("the engine library did not load");
  core::TINICritical definitions;
  core::loadBuiltInDefinitions(definitions);
  KeepingView view;
  InterpreterFollower follower;
  app::PlayerController controller(view, store, dir / "data");
  controller.readSettings();
  controller.bindEngine(&binding, definitions);
  if (state.range(0) != 0) controller.setWrdHooks({&follower, nullptr, nullptr});
  app::CommandLine emptyList;
  emptyList.kind = app::CommandLine::Kind::kEmptyList;
  controller.start(emptyList);
  controller.lists().openName(songPath.string(), "", true);
  if (!controller.playback().state().playing) return state.SkipWithError("the song did not start");
  for (auto _ : state) {
    controller.playback().timer(app::kDisplayTimer);
    controller.playback().timer(app::kAnimationTimer);
  }
  if (!controller.playback().state().playing) state.SkipWithError("the song ended during the measurement");
  benchmark::DoNotOptimize(view.slider);
  controller.shutDown();
}
// Argument 0: without a WRD display; 1: with the interpreter following the song.
BENCHMARK(BM_TimerTicksWhilePlaying)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
