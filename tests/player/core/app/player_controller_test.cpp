// The controller on the real engine loaded by name, playing into the trace device,
// and on a fake engine, with a recording frame view and a manual clock for the
// selection time.

#include "player/core/app/player_controller.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>

#include "platform/clock.h"
#include "platform/midi/sound_font.h"
#include "player/core/builtin_definitions.h"
#include "player/core/dde/dde_commands.h"
#include "player/core/engine_binding.h"
#include "player/core/module_definitions.h"
#include "player/core/playlist/list_files.h"
#include "player/core/playlist/playlist.h"
#include "player/core/song_player.h"
#include "tests/player/core/app/fake_engine.h"
#include "tests/player/core/app/fake_frame_view.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"
#include "tests/support/trace_log.h"

namespace volta::app {
namespace {

namespace fs = std::filesystem;
using platform::settings::kMainKey;

// A song of a note `ticks` long at 96 ticks a quarter, 120 per minute, 4/4.
volta::test::Bytes songBytes(const std::string& title, std::uint32_t ticks) {
  volta::test::SmfTrack track;
  track.trackName(0, title).tempo(0, 500000).timeSignature(0, 4, 2);
  track.noteOn(0, 0, 60, 100).noteOff(ticks, 0, 60).endOfTrack(0);
  return volta::test::SmfWriter(0, 96).track(track).build();
}

constexpr std::uint32_t kShort = 12;      // 62 ms
constexpr std::uint32_t kLong = 96 * 40;  // 20 s, ten measures

// Loaded once and kept, as the player keeps it: unloading would also unload the device
// libraries it pulls in, whose own start-up allocations then read as leaks.
core::EngineBinding& engine() {
  static auto* binding = new core::EngineBinding(core::kNativeLibrary, volta::test::binDir());
  return *binding;
}

enum class Engine { kLibrary, kFake };

// Each test runs on the engine library and again on the fake engine, whose songs
// move on by the display timer's polls alone.
class ControllerTest : public ::testing::TestWithParam<Engine> {
 protected:
  void SetUp() override {
    platform::installClock(&clock_);
    if (library()) {
      ASSERT_TRUE(engine().loaded());
      core::loadBuiltInDefinitions(definitions_);
      volta::test::traceDeviceFor(trace_);
    }
    store_.writeString(kMainKey, "PORT_A", "Trace");
  }
  void TearDown() override {
    controller_.reset();
    platform::installClock(nullptr);
  }

  bool library() const { return GetParam() == Engine::kLibrary; }
  // A fresh controller with its settings and engine, not yet started.
  void makeController() {
    controller_ = std::make_unique<PlayerController>(view_, store_, dir_ / "data");
    controller_->readSettings();
    if (library()) {
      controller_->bindEngine(&engine(), definitions_);
    } else {
      auto fake = std::make_unique<test::FakeEngine>();
      fake->titles = titles_;
      fake->lengthsMs = lengths_;
      fake_ = fake.get();
      controller_->useEngine(std::move(fake));
    }
  }
  void startController(CommandLine::Kind kind = CommandLine::Kind::kEmptyList) {
    makeController();
    CommandLine line;
    line.kind = kind;
    controller_->start(line);
  }
  std::string song(const std::string& name, const std::string& title, std::uint32_t ticks) {
    const fs::path path = dir_ / name;
    volta::test::writeFile(path, songBytes(title, ticks));
    const std::string file = path.filename().string();
    titles_[file] = title;
    lengths_[file] = ticks * 500 / 96;
    if (fake_) {
      fake_->titles[file] = title;
      fake_->lengthsMs[file] = lengths_[file];
    }
    return path.string();
  }
  // A .TO2 list of songs "Song 0", "Song 1", ... with absolute names.
  std::string list(int songs, std::uint32_t ticks, const std::string& name = "list.TO2") {
    std::vector<core::MIDIFile> files;
    for (int i = 0; i < songs; ++i) {
      core::MIDIFile entry;
      entry.fileName = song("song" + std::to_string(i) + ".mid", "Song " + std::to_string(i), ticks);
      entry.title = "Song " + std::to_string(i);
      files.push_back(entry);
    }
    const fs::path path = dir_ / name;
    const std::string text = core::writeFormatA(files, false);
    volta::test::writeFile(path, volta::test::Bytes(text.begin(), text.end()));
    return path.string();
  }
  void text(const std::string& name, const std::string& content) {
    volta::test::writeFile(dir_ / name, volta::test::Bytes(content.begin(), content.end()));
  }
  void openList(int songs, std::uint32_t ticks) {
    ASSERT_TRUE(controller_->lists().openName(list(songs, ticks), "", false));
  }

  const PlayingState& state() const { return controller_->playback().state(); }
  const protocol::SequencerStatus* status() const {
    if (!library()) return fake_->player ? fake_->player->status() : nullptr;
    auto* player = controller_->session().songPlayer();
    return player && player->loaded() ? player->status() : nullptr;
  }
  std::uint32_t songTime() const { return status() ? status()->songTime : 0; }
  // What the engine was last asked to load and play.
  std::string loadedTitle() const {
    return library() ? controller_->session().songPlayer()->title() : fake_->player->title;
  }
  std::string loadedModule() const {
    return library() ? controller_->session().songPlayer()->songModule() : fake_->player->module;
  }
  int engineSpeed() const {
    return library() ? controller_->session().songPlayer()->song()->playControl()->speed : fake_->player->speed;
  }
  bool outputOpen() const {
    return library() ? controller_->session().songPlayer() && controller_->session().songPlayer()->output()
                     : fake_->player && fake_->player->hasOutput();
  }
  // Runs timer 0 as the view would until the condition holds (the library plays in real time).
  bool runUntil(const std::function<bool()>& done) {
    for (int polls = 0; polls < 5000; ++polls) {
      if (done()) return true;
      controller_->playback().timer(kDisplayTimer);
      if (library()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
  }

  volta::test::TempDir dir_;
  fs::path trace_ = dir_ / "trace.txt";
  platform::ManualClock clock_;
  platform::settings::SettingsStore store_{dir_ / "VOLTA.conf"};
  core::TINICritical definitions_;
  std::map<std::string, std::string> titles_;
  std::map<std::string, std::uint32_t> lengths_;
  test::FakeEngine* fake_ = nullptr;  // owned by the controller
  test::FakeFrameView view_;
  std::unique_ptr<PlayerController> controller_;
};

INSTANTIATE_TEST_SUITE_P(Engines, ControllerTest, ::testing::Values(Engine::kLibrary, Engine::kFake),
                         [](const auto& info) { return info.param == Engine::kLibrary ? "Library" : "Fake"; });

// The panel's song fields as the library fills them from a real song.
using LibraryControllerTest = ControllerTest;
INSTANTIATE_TEST_SUITE_P(Library, LibraryControllerTest, ::testing::Values(Engine::kLibrary),
                         [](const auto&) { return "Library"; });

TEST_P(ControllerTest, ThreePressesOfNextLoadOnlyTheThirdEntryWhileTheListStandsIn) {
  startController();
  openList(5, kLong);
  controller_->playback().play();
  ASSERT_TRUE(runUntil([&] { return songTime() > 0; }));
  EXPECT_EQ(view_.pane, kWrdPane);
  EXPECT_EQ(view_.songStarts, 1);

  controller_->playback().next();
  EXPECT_EQ(view_.timer(kDisplayTimer), 100);
  EXPECT_EQ(view_.pane, kWrdPane);  // the first press leaves the pane
  clock_.advanceMilliseconds(100);
  controller_->playback().next();
  EXPECT_EQ(view_.pane, kListPane);
  EXPECT_EQ(state().savedPane, kWrdPane);
  clock_.advanceMilliseconds(100);
  controller_->playback().next();
  EXPECT_EQ(state().position, 3);
  EXPECT_EQ(view_.shownRow, 3);
  EXPECT_EQ(view_.panelText(kPanelTitle), "Song 3");
  EXPECT_NE(view_.title.find(" [Selecting]"), std::string::npos);
  EXPECT_TRUE(buttonActive(cmd::kNext, controller_->playback().buttonState()));

  // Within the second selection time nothing loads.
  clock_.advanceMilliseconds(900);
  controller_->playback().timer(kDisplayTimer);
  EXPECT_EQ(view_.songStarts, 1);
  EXPECT_EQ(view_.timer(kDisplayTimer), 50);
  clock_.advanceMilliseconds(100);
  controller_->playback().timer(kDisplayTimer);
  EXPECT_EQ(view_.songStarts, 2);
  EXPECT_EQ(view_.timer(kDisplayTimer), 10);  // the new song's first update comes soon
  EXPECT_EQ(loadedTitle(), "Song 3");
  EXPECT_EQ(view_.pane, kWrdPane);
  EXPECT_EQ(state().savedPane, -1);
  EXPECT_EQ(view_.title.find(" [Selecting]"), std::string::npos);
  // Only the loaded entries were scanned for their length.
  EXPECT_GT(controller_->lists().entryAt(0)->lengthMs, 0u);
  EXPECT_EQ(controller_->lists().entryAt(1)->lengthMs, 0u);
  EXPECT_EQ(controller_->lists().entryAt(2)->lengthMs, 0u);
  EXPECT_NEAR(controller_->lists().entryAt(3)->lengthMs, 20'000, 50);
}

TEST_P(ControllerTest, PreviousRestartsTheSongAndASecondPressGoesBack) {
  startController();
  openList(3, kLong);
  controller_->playback().playPosition(1);
  ASSERT_TRUE(runUntil([&] { return songTime() > 30'000; }));
  const std::uint32_t before = songTime();
  controller_->playback().previous();
  EXPECT_EQ(state().position, 1);
  clock_.advanceMilliseconds(499);
  controller_->playback().timer(kDisplayTimer);
  EXPECT_EQ(view_.songStarts, 1);
  clock_.advanceMilliseconds(1);
  controller_->playback().timer(kDisplayTimer);
  EXPECT_EQ(view_.songStarts, 2);
  EXPECT_EQ(state().position, 1);
  EXPECT_LT(songTime(), before);

  controller_->playback().previous();
  clock_.advanceMilliseconds(100);
  controller_->playback().previous();
  EXPECT_EQ(state().position, 0);
  clock_.advanceMilliseconds(1000);
  controller_->playback().timer(kDisplayTimer);
  EXPECT_EQ(loadedTitle(), "Song 0");
}

TEST_P(ControllerTest, NextIsRefusedAtTheLastEntryAndOnAnEmptyList) {
  startController();
  controller_->playback().next();
  EXPECT_FALSE(state().playing);
  openList(2, kLong);
  EXPECT_TRUE(controller_->enabled(cmd::kNext));
  controller_->playback().playPosition(1);
  EXPECT_FALSE(controller_->enabled(cmd::kNext));
  controller_->playback().next();
  EXPECT_FALSE(state().selectDeadline.has_value());
  EXPECT_EQ(state().position, 1);
}

TEST_P(ControllerTest, SingleRepeatRestartsTheEntry) {
  startController();
  openList(2, kShort);
  controller_->command(cmd::kSinglePlay);
  controller_->command(cmd::kSingleRepeat);
  EXPECT_FALSE(controller_->settings().singleMode);
  controller_->playback().play();
  ASSERT_TRUE(runUntil([&] { return view_.songStarts >= 3; }));
  EXPECT_EQ(state().position, 0);
  EXPECT_TRUE(state().playing);
}

TEST_P(ControllerTest, SinglePlayStopsAtTheEndOfTheEntry) {
  startController();
  openList(2, kShort);
  controller_->command(cmd::kSinglePlay);
  controller_->playback().play();
  ASSERT_TRUE(runUntil([&] { return !state().playing; }));
  EXPECT_EQ(view_.songStarts, 1);
  EXPECT_EQ(state().position, 0);
  EXPECT_EQ(view_.timer(kDisplayTimer), std::nullopt);
}

TEST_P(ControllerTest, TheListPlaysThroughAndStopsAtPositionZero) {
  startController();
  openList(2, kShort);
  controller_->playback().play();
  ASSERT_TRUE(runUntil([&] { return !state().playing; }));
  EXPECT_EQ(view_.songStarts, 2);
  EXPECT_EQ(state().position, 0);
  EXPECT_EQ(view_.shownRow, 0);
  EXPECT_EQ(view_.panelText(kPanelTime), "00:00/00:00");
}

TEST_P(ControllerTest, RepeatStartsTheListAgain) {
  startController();
  openList(2, kShort);
  controller_->command(cmd::kRepeat);
  controller_->playback().play();
  ASSERT_TRUE(runUntil([&] { return view_.songStarts >= 3; }));
  EXPECT_EQ(state().position, 0);
  EXPECT_TRUE(state().playing);
}

TEST_P(LibraryControllerTest, ThePanelFollowsThePlayingSongAndStopResetsIt) {
  startController();
  text("song.txt", "About the song.\r\n");
  ASSERT_TRUE(controller_->lists().openName(song("song.mid", "Song 0", kLong), "", false));
  controller_->playback().play();
  EXPECT_EQ(view_.panelText(kPanelTitle), "Song 0");
  EXPECT_TRUE(view_.lamp(kPanelDocLamp));
  ASSERT_TRUE(view_.document.has_value());
  EXPECT_NE(view_.document->find("About the song."), std::string::npos);
  EXPECT_EQ(view_.panelText(kPanelFileType), "SMF Format0");
  const std::uint32_t length = controller_->lists().entryAt(0)->lengthMs;
  EXPECT_EQ(view_.sliderRange, static_cast<int>(length / 100));
  EXPECT_EQ(view_.timer(kAnimationTimer), 20);
  ASSERT_TRUE(runUntil([&] { return songTime() > 20'000; }));
  controller_->playback().timer(kDisplayTimer);
  const std::string time = view_.panelText(kPanelTime);
  EXPECT_EQ(time.substr(0, 4), "00:0");
  EXPECT_EQ(time.substr(5), length >= 20'000 ? "/00:20" : "/00:19");
  EXPECT_EQ(view_.panelText(kPanelBar), "0001/0011");
  EXPECT_EQ(view_.panelText(kPanelBeat).substr(2), "/04");
  EXPECT_EQ(view_.panelText(kPanelTicks).substr(4), "/0384");
  EXPECT_EQ(view_.panelText(kPanelTempo), "120");
  EXPECT_TRUE(view_.lamp(kPanelPortLampA));
  EXPECT_FALSE(view_.lamp(kPanelPortLampA + 1));
  EXPECT_EQ(view_.title, "Song 0 - VOLTA Player [PLAY]");
  controller_->playback().timer(kAnimationTimer);
  EXPECT_EQ(view_.animations, 1);
  EXPECT_EQ(view_.timer(kAnimationTimer), 20);

  controller_->playback().stop();
  EXPECT_EQ(view_.panelText(kPanelTime), "00:00/00:00");
  EXPECT_EQ(view_.panelText(kPanelBar), "0000/0000");
  EXPECT_EQ(view_.panelText(kPanelTempo), "000");
  EXPECT_EQ(view_.panelText(kPanelBeat), "00/00");
  EXPECT_EQ(view_.panelText(kPanelTicks), "0000/0000");
  EXPECT_EQ(view_.panelText(kPanelTitle), "");
  EXPECT_FALSE(view_.lamp(kPanelDocLamp));
  EXPECT_TRUE(view_.lamp(kPanelPortLampA));  // the port is still open
  EXPECT_EQ(view_.timer(kDisplayTimer), std::nullopt);
  EXPECT_EQ(view_.title, "Song 0 - VOLTA Player");
  controller_->playback().timer(kAnimationTimer);
  EXPECT_EQ(view_.timer(kAnimationTimer), std::nullopt);
}

TEST_P(ControllerTest, FastAndSlowCycleAndPlayResetsTheSpeed) {
  startController();
  ASSERT_TRUE(controller_->lists().openName(song("song.mid", "Song 0", kLong), "", false));
  controller_->playback().fast();  // not playing: nothing
  EXPECT_EQ(state().speed, 0);
  controller_->playback().play();
  for (int expected : {1, 2, 3, 4, 1}) {
    controller_->command(cmd::kFast);
    EXPECT_EQ(state().speed, expected);
  }
  EXPECT_EQ(engineSpeed(), 1);
  EXPECT_EQ(view_.title, "Song 0 - VOLTA Player [PLAY] [x1.5]");
  EXPECT_TRUE(buttonActive(cmd::kFast, controller_->playback().buttonState()));
  controller_->playback().slow();
  EXPECT_EQ(state().speed, -1);
  for (int i = 0; i < 15; ++i)
    controller_->playback().slow();
  EXPECT_EQ(state().speed, -16);
  EXPECT_EQ(view_.title, "Song 0 - VOLTA Player [PLAY] [x1/16]");
  controller_->playback().togglePause();
  EXPECT_TRUE(state().paused);
  controller_->playback().slow();
  EXPECT_EQ(state().speed, -1);
  EXPECT_FALSE(state().paused);  // a speed change resumes
  EXPECT_EQ(engineSpeed(), -1);
  controller_->playback().play();
  EXPECT_EQ(state().speed, 0);
  EXPECT_EQ(engineSpeed(), 0);
}

TEST_P(ControllerTest, TheLockRefusesTheUsersPlaybackCommands) {
  startController();
  openList(2, kLong);
  dde::DdeHost& host = controller_->remote();
  ASSERT_TRUE(dde::execute(host, 7, "Lock"));
  EXPECT_TRUE(controller_->remote().locked());
  EXPECT_TRUE(controller_->command(cmd::kPlay));
  EXPECT_FALSE(state().playing);
  EXPECT_FALSE(controller_->enabled(cmd::kPlay));
  EXPECT_FALSE(controller_->enabled(cmd::kPrevious));
  controller_->command(cmd::kRepeat);
  EXPECT_FALSE(controller_->settings().repeatMode);
  controller_->command(cmd::kOpenFile);
  controller_->command(cmd::kCloseList);
  EXPECT_TRUE(view_.dialogRequests.empty());
  EXPECT_EQ(controller_->lists().count(), 2u);
  controller_->lists().drop({song("late.mid", "Late", kLong)});
  EXPECT_EQ(controller_->lists().count(), 2u);

  ASSERT_TRUE(dde::execute(host, 7, "Play 1"));
  EXPECT_TRUE(state().playing);
  EXPECT_EQ(state().position, 1);
  for (int id : {cmd::kStop, cmd::kPause, cmd::kFast, cmd::kSlow, cmd::kNext, cmd::kPrevious}) {
    EXPECT_FALSE(controller_->enabled(id)) << id;
    controller_->command(id);
  }
  EXPECT_TRUE(state().playing);
  EXPECT_FALSE(state().paused);
  EXPECT_EQ(state().speed, 0);
  EXPECT_FALSE(dde::execute(host, 8, "Stop"));
  EXPECT_EQ(dde::request(host, 8, "GetStatus"), "play");
  ASSERT_TRUE(dde::execute(host, 7, "Pause"));
  EXPECT_EQ(dde::request(host, 8, "GetStatus"), "pause");

  dde::disconnected(host, 7);
  EXPECT_FALSE(controller_->remote().locked());
  EXPECT_TRUE(dde::execute(host, 8, "Stop"));
  EXPECT_FALSE(state().playing);
  EXPECT_EQ(dde::request(host, 8, "GetPlayFile"), std::nullopt);
}

TEST_P(ControllerTest, PlayFileWithAQuotedNameAndAModule) {
  startController();
  const std::string path = song("my song.mid", "Quoted", kLong);
  ASSERT_TRUE(dde::execute(controller_->remote(), 1, "PlayFile \"" + path + "\"SC-88"));
  ASSERT_EQ(controller_->lists().count(), 1u);
  EXPECT_EQ(controller_->lists().entryAt(0)->module, "SC-88");
  EXPECT_EQ(controller_->lists().entryAt(0)->title, "Quoted");
  EXPECT_TRUE(state().playing);
  EXPECT_EQ(loadedModule(), "SC-88");
}

TEST_P(ControllerTest, PlayOnAnEmptyListSaysSo) {
  startController();
  controller_->playback().play();
  EXPECT_EQ(view_.panelText(kPanelTitle), "ERROR: 曲がありません");
  EXPECT_FALSE(state().playing);
  EXPECT_EQ(view_.title, "VOLTA Player");
}

TEST_P(ControllerTest, ASongThatCannotBeLoadedStopsWithItsMessage) {
  startController();
  openList(2, kLong);
  fs::remove(dir_ / "song0.mid");
  controller_->playback().play();
  EXPECT_FALSE(state().playing);
  EXPECT_EQ(view_.panelText(kPanelTitle), "ERROR:Fail to open the midi file");
}

TEST_P(ControllerTest, TheSelectedRowIsPlayedAndTheSliderSeeks) {
  startController();
  openList(3, kLong);
  view_.selected = 2;
  controller_->playback().play();
  EXPECT_EQ(loadedTitle(), "Song 2");
  view_.selected = -1;
  ASSERT_TRUE(runUntil([&] { return songTime() > 0; }));
  controller_->playback().sliderPressed();
  controller_->playback().timer(kDisplayTimer);
  view_.slider = -1;
  controller_->playback().timer(kDisplayTimer);
  EXPECT_EQ(view_.slider, -1);  // left alone while dragged
  controller_->playback().sliderReleased(100);
  EXPECT_GE(songTime(), 1'000'000u);
  EXPECT_EQ(view_.panelText(kPanelTitle), "Song 2");
  EXPECT_GE(view_.slider, 100);
}

TEST_P(ControllerTest, PanesToggleMiniAndFullScreenReturn) {
  store_.writeBinary(kMainKey, "FrameMode", {0, 0, 1, 0, 0});
  startController();
  EXPECT_EQ(view_.pane, kWrdPane);
  controller_->command(cmd::kPaneMonitor);
  EXPECT_EQ(view_.pane, kMonitorPane);
  EXPECT_TRUE(controller_->checked(cmd::kPaneMonitor));
  controller_->command(cmd::kPaneList);  // framed: its own window hides
  EXPECT_EQ(view_.frames[kListPane], false);
  EXPECT_FALSE(controller_->checked(cmd::kPaneList));
  EXPECT_EQ(view_.pane, kMonitorPane);
  controller_->command(cmd::kMini);
  EXPECT_EQ(view_.pane, kMini);
  EXPECT_EQ(controller_->settings().beforeWindowMode, kMonitorPane);
  controller_->command(cmd::kFullScreen);
  EXPECT_TRUE(view_.fullScreen);
  EXPECT_EQ(view_.pane, kMonitorPane);
  controller_->command(cmd::kFullScreen);
  EXPECT_FALSE(view_.fullScreen);
  EXPECT_EQ(view_.pane, kMini);
  controller_->command(cmd::kNextPage);  // skips the framed list pane
  EXPECT_EQ(view_.pane, kWrdPane);
  controller_->command(cmd::kNextPage);
  controller_->command(cmd::kNextPage);
  EXPECT_EQ(view_.pane, kMonitorPane);
  controller_->command(cmd::kPreviousPage);
  EXPECT_EQ(view_.pane, kDocumentPane);
  controller_->remote().fullScreenFromRemote();
  EXPECT_EQ(view_.activations, 1);
  EXPECT_TRUE(controller_->panes().fullScreen());
  controller_->remote().fullScreenFromRemote();
  EXPECT_TRUE(controller_->panes().fullScreen());
}

TEST_P(ControllerTest, StartUpRestoresTheLastListAndPosition) {
  store_.writeString(kMainKey, "LastList", list(3, kLong));
  store_.writeInt(kMainKey, "LastMusic", 2);
  startController(CommandLine::Kind::kNormal);
  EXPECT_EQ(controller_->lists().count(), 3u);
  EXPECT_EQ(state().position, 2);
  EXPECT_EQ(view_.shownRow, 2);
  EXPECT_TRUE(controller_->lists().listNamed());
  EXPECT_FALSE(state().playing);
  EXPECT_EQ(view_.title, "<LIST> list.TO2 - VOLTA Player");
}

TEST_P(ControllerTest, AnUnnamedListGoesToTheDefaultListAtExitAndComesBack) {
  startController();
  ASSERT_TRUE(controller_->lists().openName(song("one.mid", "One", kLong), "", true));
  controller_->settings().mainWindowX = 321;
  controller_->shutDown();
  EXPECT_TRUE(fs::exists(dir_ / "data" / "DEFAULT.TO2"));
  EXPECT_EQ(store_.readString(kMainKey, "LastList", "x"), "");
  EXPECT_EQ(store_.readInt(kMainKey, "LastMusic", -1), 0);
  EXPECT_EQ(store_.readInt(kMainKey, "MainWindowX", 0), 321);
  EXPECT_TRUE(store_.contains(kMainKey, "History9"));
  EXPECT_EQ(store_.readInt(kMainKey, "Version", 0), 0x2030B);

  startController(CommandLine::Kind::kNormal);
  ASSERT_EQ(controller_->lists().count(), 1u);
  EXPECT_EQ(controller_->lists().entryAt(0)->title, "One");
  EXPECT_FALSE(controller_->lists().listNamed());
  EXPECT_EQ(controller_->settings().mainWindowX, 321);
}

TEST_P(ControllerTest, AChangedNamedListAsksBeforeItCloses) {
  startController();
  openList(2, kLong);
  controller_->command(cmd::kEditList);  // the dialog was cancelled
  EXPECT_FALSE(controller_->lists().listModified());
  view_.editListAnswer = std::vector{controller_->lists().playList().files.front()};
  controller_->command(cmd::kEditList);
  EXPECT_EQ(controller_->lists().count(), 1u);
  EXPECT_TRUE(controller_->lists().listModified());
  EXPECT_EQ(view_.title, "<LIST> <Changed> list.TO2 - VOLTA Player");
  view_.answers = {Answer::kCancel};
  EXPECT_FALSE(controller_->lists().closeList(false));
  EXPECT_EQ(controller_->lists().count(), 1u);
  view_.answers = {Answer::kNo};
  EXPECT_TRUE(controller_->lists().closeList(false));
  EXPECT_EQ(controller_->lists().count(), 0u);
  EXPECT_EQ(view_.questions.back(), "リストのセーブ: リストファイルが変更されています。セーブしますか");
  EXPECT_EQ(store_.readString(kMainKey, "LastList", ""), (dir_ / "list.TO2").string());
}

TEST_P(ControllerTest, AnEditedListRestartsAPlayingSongAtItsFirstEntry) {
  startController();
  openList(3, kLong);
  controller_->settings().sortMode = core::kOrderTitleReverse;
  controller_->playback().playPosition(2);
  ASSERT_TRUE(state().playing);
  std::vector<core::MIDIFile> edited = controller_->lists().playList().files;
  EXPECT_EQ(view_.edits, 0);
  edited.erase(edited.begin() + 1);  // Song 0, Song 2 and a new one
  core::MIDIFile added;
  added.fileName = song("new.mid", "Added", kLong);
  added.title = "Added";
  edited.push_back(added);
  view_.editListAnswer = edited;
  controller_->command(cmd::kEditList);
  // The dialog was given the list as it was, in the order of adding.
  ASSERT_EQ(view_.editedEntries.size(), 3u);
  EXPECT_EQ(view_.editedEntries[1].title, "Song 1");
  ASSERT_EQ(controller_->lists().count(), 3u);
  EXPECT_EQ(controller_->lists().playList().files[2].title, "Added");
  // The play order applied again (titles descending); playing starts at its first song.
  EXPECT_EQ(controller_->lists().entryAt(0)->title, "Song 2");
  EXPECT_EQ(controller_->lists().entryAt(2)->title, "Added");
  EXPECT_EQ(state().position, 0);
  EXPECT_TRUE(state().playing);
  EXPECT_EQ(loadedTitle(), "Song 2");
  EXPECT_TRUE(controller_->lists().listModified());
}

TEST_P(ControllerTest, AnEditedListStopsWhenNothingPlayedOrNothingIsLeft) {
  startController();
  openList(2, kLong);
  controller_->playback().setPosition(1);
  view_.editListAnswer = controller_->lists().playList().files;
  controller_->command(cmd::kEditList);
  EXPECT_FALSE(state().playing);
  EXPECT_EQ(state().position, 0);
  controller_->command(cmd::kPlay);
  ASSERT_TRUE(state().playing);
  view_.editListAnswer = std::vector<core::MIDIFile>{};
  controller_->command(cmd::kEditList);
  EXPECT_FALSE(state().playing);
  EXPECT_EQ(controller_->lists().count(), 0u);
  EXPECT_TRUE(controller_->lists().listModified());
}

TEST_P(ControllerTest, EditsOfAListReplacedMeanwhileAreDropped) {
  startController();
  openList(2, kLong);
  view_.editListAnswer = std::vector<core::MIDIFile>{};
  // A remote client opens a song while the dialog is open.
  view_.duringEdit = [&] { controller_->lists().openName(song("remote.mid", "Remote", kLong), "", false); };
  controller_->command(cmd::kEditList);
  ASSERT_EQ(controller_->lists().count(), 1u);
  EXPECT_EQ(controller_->lists().entryAt(0)->title, "Remote");
  EXPECT_EQ(view_.messages.back(), "VOLTA error report: 編集中にリストが変更されたため、編集は反映されませんでした。");
  // A length learned while the dialog is open does not make it another list.
  view_.duringEdit = [&] { controller_->lists().playList().files[0].lengthMs = 1234; };
  controller_->command(cmd::kEditList);
  EXPECT_EQ(controller_->lists().count(), 0u);
}

TEST_P(ControllerTest, ANewRelativeListIsWrittenAtOnceThenEdited) {
  startController();
  view_.editListAnswer = std::nullopt;
  fs::create_directories(dir_ / "lists");
  view_.dialogAnswers.push_back({(dir_ / "lists" / "mine").string(), (dir_ / "lists").string()});
  controller_->command(cmd::kNewRelativeList);
  const fs::path file = dir_ / "lists" / "mine.TOR";
  EXPECT_TRUE(fs::exists(file));
  EXPECT_EQ(view_.edits, 1);
  EXPECT_TRUE(view_.editedEntries.empty());
  EXPECT_EQ(controller_->lists().baseFolder(), (dir_ / "lists").string());
  EXPECT_TRUE(controller_->lists().listNamed());
  EXPECT_FALSE(controller_->lists().listModified());  // the dialog was cancelled

  // Once more, and the dialog's entries are kept as the list.
  core::MIDIFile entry;
  entry.fileName = "/a.mid";
  entry.title = "A";
  view_.editListAnswer = std::vector{entry};
  view_.dialogAnswers.push_back({(dir_ / "lists" / "other.TOR").string(), (dir_ / "lists").string()});
  controller_->command(cmd::kNewRelativeList);
  EXPECT_EQ(view_.edits, 2);
  EXPECT_EQ(controller_->lists().listFileName(), (dir_ / "lists" / "other.TOR").string());
  ASSERT_EQ(controller_->lists().count(), 1u);
  EXPECT_EQ(controller_->lists().playList().fullPathAt(0), dir_ / "lists" / "a.mid");
  EXPECT_TRUE(controller_->lists().listModified());
}

TEST_P(ControllerTest, TheListEditorIsRefusedWhileLockedAndGetsTheOpenFolder) {
  store_.writeString(kMainKey, "OpenFileDirectory", dir_.path().string());
  store_.writeInt(kMainKey, "EnableWaveFile", 1);
  store_.writeInt(kMainKey, "Version", kSettingsVersion);  // else the old settings' wave switch is reset
  startController();
  openList(1, kLong);
  ASSERT_TRUE(dde::execute(controller_->remote(), 7, "Lock"));
  EXPECT_TRUE(controller_->command(cmd::kEditList));
  EXPECT_TRUE(controller_->command(cmd::kNewRelativeList));
  EXPECT_EQ(view_.edits, 0);
  dde::disconnected(controller_->remote(), 7);
  controller_->command(cmd::kEditList);
  EXPECT_EQ(view_.edits, 1);
  EXPECT_EQ(view_.editStart, dir_.path().string());
  EXPECT_TRUE(view_.editWave);
  EXPECT_FALSE(controller_->lists().listModified());
}

TEST_P(ControllerTest, DroppedSongsStartPlayingOnAnEmptyList) {
  startController();
  controller_->lists().drop({song("a.mid", "A", kLong), song("b.mid", "B", kLong)});
  ASSERT_EQ(controller_->lists().count(), 2u);
  EXPECT_TRUE(state().playing);
  EXPECT_EQ(loadedTitle(), "A");
  controller_->lists().drop({song("c.mid", "C", kLong)});
  EXPECT_EQ(loadedTitle(), "C");
  EXPECT_EQ(state().position, 2);
}

TEST_P(ControllerTest, ADropOutsideARelativeListsFolderCanBeRefused) {
  fs::create_directories(dir_ / "base");
  std::vector<core::MIDIFile> files(1);
  files[0].fileName = "/in.mid";
  files[0].title = "In";
  song("base/in.mid", "In", kLong);
  const std::string text = core::writeFormatA(files, true);
  volta::test::writeFile(dir_ / "base" / "rel.TOR", volta::test::Bytes(text.begin(), text.end()));
  startController();
  ASSERT_TRUE(controller_->lists().openName((dir_ / "base" / "rel.TOR").string(), "", false));
  EXPECT_EQ(controller_->lists().baseFolder(), (dir_ / "base").string());
  view_.answers = {Answer::kNo};
  controller_->lists().drop({song("outside.mid", "Out", kLong)});
  EXPECT_EQ(controller_->lists().count(), 1u);
  EXPECT_EQ(view_.messages.back(), "VOLTAApplication::Drop error: ドロップされたファイルは無視されました。");
  controller_->lists().drop({song("base/second.mid", "Second", kLong)});
  ASSERT_EQ(controller_->lists().count(), 2u);
  EXPECT_EQ(controller_->lists().entryAt(1)->fileName, "/second.mid");
  // The list was written at once with both entries.
  EXPECT_NE(volta::test::readText(dir_ / "base" / "rel.TOR").find("/second.mid"), std::string::npos);
}

TEST_P(ControllerTest, OpenFromTheDialogPlaysAndEntersTheHistory) {
  startController();
  const std::string path = song("dialog.mid", "Dialog", kLong);
  view_.dialogAnswers.push_back({path, dir_.path().string()});
  controller_->command(cmd::kOpenFile);
  EXPECT_TRUE(state().playing);
  EXPECT_EQ(controller_->settings().history[0], path);
  EXPECT_EQ(store_.readString(kMainKey, "OpenFileDirectory", ""), dir_.path().string());
  EXPECT_EQ(view_.dialogRequests.back().caption, "Open...");
  controller_->command(cmd::kOrderTitle);
  EXPECT_EQ(controller_->settings().sortMode, 4);
  EXPECT_EQ(view_.headers.first, "Title (alphabetic)");
  EXPECT_TRUE(controller_->checked(cmd::kOrderTitle));
}

TEST_P(ControllerTest, AutoWrdBringsTheWrdPaneForASongWithAScript) {
  store_.writeInt(kMainKey, "AutoWRD", 1);
  store_.writeInt(kMainKey, "WindowMode", kMonitorPane);
  startController();
  EXPECT_EQ(view_.pane, kMonitorPane);
  ASSERT_TRUE(controller_->lists().openName(song("plain.mid", "Plain", kLong), "", true));
  EXPECT_EQ(view_.pane, kMonitorPane);
  EXPECT_FALSE(view_.lamp(kPanelWrdLamp));
  text("lyrics.wrd", "@");
  ASSERT_TRUE(controller_->lists().openName(song("lyrics.mid", "Lyrics", kLong), "", true));
  EXPECT_EQ(view_.pane, kWrdPane);
  EXPECT_TRUE(view_.lamp(kPanelWrdLamp));
}

TEST_P(ControllerTest, AutoWrd2GivesBackThePaneTheWrdPaneReplaced) {
  store_.writeInt(kMainKey, "AutoWRD", 1);
  store_.writeInt(kMainKey, "AutoWRD2", 1);
  store_.writeInt(kMainKey, "WindowMode", kMonitorPane);
  startController();
  text("lyrics.wrd", "@");
  ASSERT_TRUE(controller_->lists().openName(song("lyrics.mid", "Lyrics", kLong), "", true));
  EXPECT_EQ(view_.pane, kWrdPane);
  ASSERT_TRUE(controller_->lists().openName(song("plain.mid", "Plain", kLong), "", true));
  EXPECT_EQ(view_.pane, kMonitorPane);
  // Without it the WRD pane stays.
  store_.writeInt(kMainKey, "AutoWRD2", 0);
  controller_->settingsChanged();
  ASSERT_TRUE(controller_->lists().openName(song("lyrics.mid", "Lyrics", kLong), "", true));
  ASSERT_TRUE(controller_->lists().openName(song("plain.mid", "Plain", kLong), "", true));
  EXPECT_EQ(view_.pane, kWrdPane);
}

TEST_P(ControllerTest, NoWrdPlaysSongsWithoutTheirScripts) {
  store_.writeInt(kMainKey, "AutoWRD", 1);
  store_.writeInt(kMainKey, "WindowMode", kMonitorPane);
  startController();
  store_.writeInt(kMainKey, "NoWRD", 1);
  controller_->settingsChanged();
  text("lyrics.wrd", "@");
  ASSERT_TRUE(controller_->lists().openName(song("lyrics.mid", "Lyrics", kLong), "", true));
  EXPECT_EQ(view_.pane, kMonitorPane);
  EXPECT_FALSE(view_.lamp(kPanelWrdLamp));
}

TEST_P(ControllerTest, APortTemplateCommandReopensTheOutput) {
  store_.writeString(platform::settings::midiTemplateKey(1), "PORT_A", "Trace");
  startController();
  openList(1, kLong);
  controller_->playback().play();
  controller_->command(cmd::kTemplate1 + 2);
  EXPECT_EQ(controller_->settings().midiTemplateMode, 1);
  EXPECT_TRUE(controller_->checked(cmd::kTemplate1 + 2));
  EXPECT_FALSE(controller_->checked(cmd::kTemplateOff));
  EXPECT_FALSE(state().playing);
  EXPECT_TRUE(outputOpen());
  controller_->command(cmd::kTemplateOff);
  EXPECT_EQ(controller_->settings().midiTemplateMode, -1);
  controller_->playback().play();  // the main key's ports again: the trace device
  EXPECT_TRUE(state().playing);
}

TEST_P(ControllerTest, TheCommandLinePlaysAListOrASongWithItsModule) {
  const std::string path = list(2, kLong, "start.to2");
  makeController();
  controller_->start(parseCommandLine({path}, dir_.path()));
  EXPECT_EQ(controller_->lists().count(), 2u);
  EXPECT_TRUE(state().playing);
  EXPECT_EQ(loadedTitle(), "Song 0");

  const std::string single = song("single.mid", "Single", kLong);
  controller_->shutDown();
  makeController();
  controller_->start(parseCommandLine({"single.mid", "/M:MU80"}, dir_.path()));
  ASSERT_EQ(controller_->lists().count(), 1u);
  EXPECT_EQ(controller_->lists().entryAt(0)->module, "MU80");
  EXPECT_EQ(controller_->settings().history[0], single);
  EXPECT_TRUE(state().playing);
}

class CountingWrd final : public core::WrdFollower {
 public:
  void restart(std::uint16_t) override { ++restarts; }
  bool follow(const Position&) override {
    ++follows;
    return true;
  }
  int restarts = 0, follows = 0;
};

TEST_P(ControllerTest, TheWrdDisplayIsToldTheTimeAndTheDebugPaneItsStep) {
  startController();
  CountingWrd wrd;
  const std::string script = "@message\r\n";
  controller_->setWrdHooks({&wrd, [&] { return &script; }, [] { return std::optional<std::size_t>(5); }});
  openList(1, kLong);
  controller_->playback().play();
  EXPECT_EQ(wrd.restarts, 1);
  EXPECT_EQ(view_.script, script);
  controller_->playback().timer(kDisplayTimer);
  EXPECT_GE(wrd.follows, 1);
  EXPECT_EQ(view_.scriptCursor, 5u);
}

// The program's set-up of song players (wave opener, archive extractor) reaches the
// current player at once and every player made later, as at a template switch.
TEST_P(LibraryControllerTest, TheSongPlayerSetupReachesEveryNewPlayer) {
  startController();
  std::vector<core::SongPlayer*> seen;
  controller_->setSongPlayerSetup([&](core::SongPlayer& player) { seen.push_back(&player); });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], controller_->session().songPlayer());
  controller_->command(cmd::kTemplateOff);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1], controller_->session().songPlayer());
}

// What only the fake engine can arrange: song errors, a missing output, counted players.
using FakeControllerTest = ControllerTest;
INSTANTIATE_TEST_SUITE_P(Fake, FakeControllerTest, ::testing::Values(Engine::kFake),
                         [](const auto&) { return "Fake"; });

TEST_P(FakeControllerTest, ASongEndingInAnErrorStopsWithItsMessage) {
  startController();
  openList(2, kLong);
  controller_->playback().play();
  fake_->player->finish(protocol::kErrChunkStructure);
  controller_->playback().timer(kDisplayTimer);
  EXPECT_FALSE(state().playing);
  EXPECT_EQ(fake_->starts, 1);
  EXPECT_EQ(view_.panelText(kPanelTitle), "ERROR:Chank structure is invalid");
}

TEST_P(FakeControllerTest, AnInvalidEventEndsTheSongLikeAnOrdinaryEnd) {
  startController();
  openList(2, kLong);
  controller_->playback().play();
  fake_->player->finish(protocol::kErrInvalidEvent);
  controller_->playback().timer(kDisplayTimer);
  EXPECT_TRUE(state().playing);
  EXPECT_EQ(state().position, 1);
  EXPECT_EQ(loadedTitle(), "Song 1");
}

TEST_P(FakeControllerTest, WithoutAnOutputNothingLoads) {
  auto fake = std::make_unique<test::FakeEngine>();
  fake->outputOpens = false;
  fake_ = fake.get();
  controller_ = std::make_unique<PlayerController>(view_, store_, dir_ / "data");
  controller_->readSettings();
  controller_->useEngine(std::move(fake));
  controller_->start({});
  openList(2, kLong);
  controller_->playback().play();
  controller_->playback().next();
  EXPECT_FALSE(state().playing);
  EXPECT_EQ(fake_->loads, 0);
  // A list file's entries keep their stored titles: no song was read.
  EXPECT_EQ(fake_->entriesRead, 0);
  EXPECT_EQ(controller_->lists().entryAt(1)->title, "Song 1");
}

TEST_P(FakeControllerTest, TheVolumeIsClampedAndReachesEveryNewPlayer) {
  startController();
  controller_->playback().setVolume(200);
  EXPECT_EQ(controller_->settings().lastVolume, 127);
  EXPECT_EQ(fake_->player->volume, 127);
  controller_->playback().setVolume(-5);
  EXPECT_EQ(fake_->player->volume, 0);
  const int made = fake_->playersMade;
  controller_->command(cmd::kTemplate1);
  EXPECT_EQ(fake_->playersMade, made + 1);
  EXPECT_EQ(fake_->player->volume, 0);
  EXPECT_EQ(controller_->session().songPlayer(), nullptr);  // no library player behind a fake
}

TEST_P(FakeControllerTest, MonitorControlsReachTheEngineAndEveryNewPlayer) {
  startController();
  EngineSession& session = controller_->session();
  session.setMuteMask(0x8001);
  session.setTransposition(40);
  session.sendChannelMessage(1, 0x0004C2);
  session.sendChannelMessage(3, 0x0004C2);  // no port D: dropped
  EXPECT_EQ(fake_->player->muteMask, 0x8001u);
  EXPECT_EQ(fake_->player->transposition, kMaxTransposition);
  EXPECT_EQ(fake_->player->sent, (std::vector<test::FakePlayer::Sent>{{1, 0x0004C2}}));
  controller_->command(cmd::kTemplate1);
  EXPECT_EQ(fake_->player->muteMask, 0x8001u);
  EXPECT_EQ(fake_->player->transposition, kMaxTransposition);
  session.setTransposition(0);
  EXPECT_EQ(fake_->player->transposition, 0);
}

TEST_P(FakeControllerTest, PortOpenCloseMakesAPlayerForEverySong) {
  store_.writeInt(kMainKey, "PortOpenClose", 1);
  startController();
  openList(2, kShort);
  const int made = fake_->playersMade;
  controller_->playback().play();
  ASSERT_TRUE(runUntil([&] { return !state().playing; }));
  EXPECT_EQ(fake_->starts, 2);
  EXPECT_EQ(fake_->playersMade, made + 2);
}

// The software synthesizer reads its SoundFont when its output opens.
TEST_P(FakeControllerTest, AnotherSoundFontTakesEffectWithTheNextSong) {
  startController();
  openList(2, kShort);
  const int made = fake_->playersMade;
  controller_->playback().play();
  ASSERT_TRUE(runUntil([&] { return fake_->starts == 1; }));
  EXPECT_EQ(fake_->playersMade, made);
  store_.writeString(kMainKey, "SoundFont", "/opt/sounds/other.sf2");
  ASSERT_TRUE(runUntil([&] { return !state().playing; }));
  EXPECT_EQ(fake_->starts, 2);
  EXPECT_EQ(fake_->playersMade, made + 1);
  EXPECT_STREQ(std::getenv(platform::midi::kSoundFontSettingVariable), "/opt/sounds/other.sf2");
  platform::midi::setSoundFontSetting("");
}

TEST_P(FakeControllerTest, DisableWrdKeepsTheDisplayOutOfTheSongsWay) {
  struct : core::WrdFollower {
    void restart(std::uint16_t) override {}
    bool follow(const Position&) override { return true; }
  } display;
  startController();
  controller_->setWrdHooks({&display, nullptr, nullptr});
  EXPECT_EQ(fake_->player->follower, &display);
  controller_->command(cmd::kDisableWrd);
  EXPECT_TRUE(controller_->checked(cmd::kDisableWrd));
  EXPECT_EQ(fake_->player->follower, nullptr);
  store_.writeInt(kMainKey, "PortOpenClose", 1);  // a new player for the song stays without it
  openList(1, kShort);
  controller_->playback().play();
  EXPECT_EQ(fake_->player->follower, nullptr);
  controller_->command(cmd::kDisableWrd);
  EXPECT_EQ(fake_->player->follower, &display);
}

TEST_P(FakeControllerTest, TheBackLightTakesTheSongModulesColourWhenAutomatic) {
  store_.writeInt(kMainKey, "BackLightLevel", 20);
  startController();
  openList(1, kLong);
  fake_->player->backLight = "korg";
  controller_->playback().play();
  ASSERT_TRUE(view_.backLight.has_value());
  EXPECT_EQ((*view_.backLight)[1], (monitor::Rgb{192, 255, 0}));  // "BackLight" while not automatic
  controller_->playback().stop();
  store_.writeInt(kMainKey, "AutoBackLight", 1);
  controller_->playback().play();
  EXPECT_EQ((*view_.backLight)[1], (monitor::Rgb{0, 255, 128}));
}

TEST_P(FakeControllerTest, APausedSongHoldsItsTimeAndAMinimisedWindowGetsNoCounters) {
  startController();
  openList(1, kLong);
  controller_->playback().play();
  controller_->playback().timer(kDisplayTimer);
  controller_->command(cmd::kPause);
  const std::uint32_t held = songTime();
  EXPECT_GT(held, 0u);
  controller_->playback().timer(kDisplayTimer);
  EXPECT_EQ(songTime(), held);
  EXPECT_EQ(view_.timer(kDisplayTimer), 50);  // the display keeps running while paused
  EXPECT_TRUE(fake_->player->paused());

  view_.minimized = true;
  const std::string time = view_.panelText(kPanelTime);
  controller_->command(cmd::kPause);
  controller_->playback().timer(kDisplayTimer);
  EXPECT_GT(songTime(), held);
  EXPECT_EQ(view_.panelText(kPanelTime), time);
}

}  // namespace
}  // namespace volta::app

namespace volta::app {
namespace {

// Ctrl+N and Ctrl+M: the output made again on the template's ports, the second with every port reset.
TEST_P(LibraryControllerTest, TheEngineIsMadeAgainWithOrWithoutAPortReset) {
  startController();
  openList(1, kLong);
  controller_->playback().play();
  const auto resetLine = [&] {
    const auto lines = volta::test::readTrace(trace_);
    return volta::test::findLine(lines, "B0 79 00") < lines.size();
  };
  ASSERT_TRUE(controller_->command(cmd::kReinitialiseWithoutReset));
  EXPECT_FALSE(state().playing);
  EXPECT_TRUE(outputOpen());
  EXPECT_FALSE(resetLine());
  ASSERT_TRUE(controller_->command(cmd::kReinitialiseWithReset));
  EXPECT_TRUE(outputOpen());
  EXPECT_TRUE(runUntil(resetLine));
  controller_->playback().play();
  EXPECT_TRUE(state().playing);
}

TEST_P(FakeControllerTest, OnlyTheReinitialisationWithAResetResetsThePorts) {
  startController();
  controller_->command(cmd::kReinitialiseWithoutReset);
  EXPECT_EQ(fake_->player->portResets, 0);
  controller_->command(cmd::kReinitialiseWithReset);
  EXPECT_EQ(fake_->player->portResets, 1);
  // A template switch is one with a reset, on a new player.
  const int made = fake_->playersMade;
  controller_->command(cmd::kTemplate1);
  EXPECT_EQ(fake_->playersMade, made + 1);
  EXPECT_EQ(fake_->player->portResets, 1);
}

}  // namespace
}  // namespace volta::app
