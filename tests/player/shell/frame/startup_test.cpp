// The program as users start it, assembled through its start-up path: module emulation and
// detection from the module definitions, WRD and Sherry text drawn with the system's font,
// wave files, and the module's back light.

#include <QImage>
#include <cstdlib>

#include "player/core/app/app_settings.h"
#include "player/core/song_player.h"
#include "player/shell/frame/file_list.h"
#include "player/shell/panel/liquid_text_window.h"
#include "player/shell/wrd/wrd_window.h"
#include "tests/player/shell/frame/application_fixture.h"
#include "tests/player/wrd/sherry/sherry_writer.h"
#include "tests/support/lzh_writer.h"
#include "tests/support/wave_writer.h"

namespace volta::shell {
namespace {

namespace sherry = wrd::sherry::test;

const std::string kGsReset = "F0 41 10 42 12 40 00 7F 00 41 F7";
const std::string kXgReset = "F0 43 10 4C 00 00 7E 00 F7";

// An XG song: its reset, then note 72 for eight quarters.
test::Bytes xgSong(const std::string& title) {
  test::SmfTrack track;
  track.trackName(0, title).tempo(0, 500000).sysex(0, {0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7});
  track.noteOn(0, 0, 72, 100).noteOff(96 * 8, 0, 72).endOfTrack(0);
  return test::SmfWriter(0, 96).track(track).build();
}

// The messages as bytes up to and including the first note, without their times.
std::vector<std::string> upToFirstNote(const std::vector<test::TraceLine>& lines) {
  std::vector<std::string> bytes;
  for (const auto& line : lines) {
    bytes.push_back(line.bytes);
    if (line.bytes.rfind("90 ", 0) == 0) break;
  }
  return bytes;
}

bool has(const std::vector<std::string>& messages, const std::string& message) {
  return std::find(messages.begin(), messages.end(), message) != messages.end();
}

// Pixels of the WRD window, as painted, in a rectangle that are not black.
int litPixels(TWRDWindow& window, const QRect& area) {
  const QImage image = window.grab().toImage();
  int lit = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      lit += (image.pixel(x, y) & 0xFFFFFF) != 0;
  return lit;
}

class StartupPathTest : public ApplicationTest {
 protected:
  void setInt(std::string_view name, std::int32_t value) {
    platform::settings::SettingsStore(places_.settingsFile).writeInt(kMainKey, name, value);
  }
  void setString(std::string_view name, std::string_view value) {
    platform::settings::SettingsStore(places_.settingsFile).writeString(kMainKey, name, value);
  }
  // The XG songs' note reached the trace (read once: lines arrive while the test reads).
  bool heardXgNote() const {
    const auto lines = trace();
    return test::findLine(lines, "90 48") < lines.size();
  }
  TWRDWindow& wrdWindow() const { return *app_->frame().findChild<TWRDWindow*>(); }
  // Runs the display timer until the song has played `ms` of its time.
  bool playedFor(std::uint32_t ms) {
    return waitFor([&] {
      app_->fireTimer(app::kDisplayTimer);
      const core::SongPlayer* player = app_->controller().session().songPlayer();
      return player && player->status() && player->status()->songTime / 100 >= ms;
    });
  }
};

TEST_F(StartupPathTest, AnXgSongOnAnSc88SendsWhatVoltaPlaySends) {
  setString("Module", "SC-88");
  const fs::path song = dir_ / "xg.mid";
  test::writeFile(song, xgSong("XG song"));
  launch({song.string(), "/M:XG"});
  ASSERT_TRUE(waitFor([&] { return heardXgNote(); }));
  const auto player = upToFirstNote(trace());
  EXPECT_TRUE(has(player, kGsReset));
  EXPECT_FALSE(has(player, kXgReset));
  app_->shutDown();

  const fs::path toolTrace = dir_ / "tool-trace.log";
  const std::string command = (test::binDir() / "volta-play").string() + " --trace " + toolTrace.string() +
                              " --speed 16 --module XG --device-module SC-88 " + song.string() + " >/dev/null";
  ASSERT_EQ(WEXITSTATUS(std::system(command.c_str())), 0);
  EXPECT_EQ(player, upToFirstNote(test::readTrace(toolTrace)));
}

TEST_F(StartupPathTest, AModuleFoundInTheDocumentsIsShownAndPlayedAs) {
  setString("Module", "SC-88");
  const fs::path song = dir_ / "found.mid";
  test::writeFile(song, xgSong("No module named here"));
  test::writeFile(dir_ / "found.txt", {'F', 'o', 'r', ' ', 'M', 'U', '8', '0', '\r', '\n'});
  MIDIApplication& app = launch({song.string()});
  ASSERT_TRUE(waitFor([&] { return heardXgNote(); }));
  EXPECT_EQ(app.panelText(app::kPanelModule), "MU80*");
  const auto sent = upToFirstNote(trace());
  EXPECT_TRUE(has(sent, kGsReset));   // the XG song's emulation on a GS module
  EXPECT_FALSE(has(sent, kXgReset));  // its own reset is kept from the module
}

// An archive opened from the command line: its one song is listed under its Shift-JIS
// folder, shown decoded with "LZH", and plays from the private extraction folder with
// its script and its document (which names the module) beside it.
TEST_F(StartupPathTest, ASongInAnArchiveIsListedAndPlaysWithItsCompanions) {
  setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
  setString("Module", "SC-88");
  const std::string folder = "\x83\x5C\x83\x93\x83\x4F/", document = "For MU80\r\n", script = "@WAIT(1)\r\n";
  test::writeFile(dir_ / "pack.lzh",
                  test::buildLzh({{folder + "SONG.MID", xgSong("Packed"), "-lh5-", 1},
                                  {folder + "SONG.TXT", test::Bytes(document.begin(), document.end())},
                                  {folder + "SONG.WRD", test::Bytes(script.begin(), script.end())},
                                  {"README.DOC", {'x'}}}));
  MIDIApplication& app = launch({(dir_ / "pack.lzh").string()});
  ASSERT_TRUE(waitFor([&] { return heardXgNote(); }));
  ASSERT_EQ(app.fileList().rowCount(), 1);
  const FileListRow row = app.fileList().rowAt(0);
  EXPECT_EQ(row.fileName, QStringLiteral("ソング/SONG.MID"));
  EXPECT_EQ(row.archive, QStringLiteral("LZH"));
  EXPECT_TRUE(row.hasWrd);
  EXPECT_EQ(app.panelText(app::kPanelModule), "MU80*");
  const core::SongPlayer* player = app.controller().session().songPlayer();
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(player->wrdSource(), dir_ / "volta" / "VOLTALZH" / "ソング" / "SONG.WRD");
}

TEST_F(StartupPathTest, WrdTextIsDrawnAtItsSongPosition) {
  if (!fs::exists(wrd::kDefaultWrdFontPath)) GTEST_SKIP() << "Unifont is not installed";
  test::SmfTrack track;
  track.trackName(0, "Lyrics").tempo(0, 500000).timeSignature(0, 4, 2);
  track.noteOn(0, 0, 60, 100).noteOff(96 * 16, 0, 60).endOfTrack(0);
  test::writeFile(dir_ / "lyrics.mid", test::SmfWriter(0, 96).track(track).build());
  // The words come at measure 2, two seconds in.
  const std::string script = "@WAIT(2)\r\nHELLO VOLTA\r\n";
  test::writeFile(dir_ / "lyrics.WRD", test::Bytes(script.begin(), script.end()));
  launch({(dir_ / "lyrics.mid").string()});
  const QRect firstRow(0, 0, 11 * 8, 16);
  ASSERT_TRUE(playedFor(200));
  EXPECT_EQ(litPixels(wrdWindow(), firstRow), 0);
  ASSERT_TRUE(playedFor(2300));
  EXPECT_GT(litPixels(wrdWindow(), firstRow), 60);
}

TEST_F(StartupPathTest, SherryTextIsDrawnWhenSherryScriptsAreEnabled) {
  if (!fs::exists(wrd::kDefaultWrdFontPath)) GTEST_SKIP() << "Unifont is not installed";
  setInt("SRYEnable", 1);
  sherry::SherryWriter writer(480);
  writer.event(0x21, sherry::ids({1}))
      .event(0x41, sherry::setColour(1, 1, 255, 255, 255))
      .event(0x25, sherry::newScreen(1, 640, 480, 0))
      .event(0x51, sherry::Params().u16(1).u8(0xFF).u8(0x01).u16(100).u16(100).text("VOLTA"))
      .event(0x31, sherry::ids({1}))
      .event(0x35, sherry::Params().u16(1).u16(0).u16(0))
      .hold();
  test::writeFile(dir_ / "song0.SRY", writer.bytes());
  launch({songs_[0].string()});
  ASSERT_TRUE(playedFor(300));
  EXPECT_TRUE(wrdWindow().showingSherry());
  // A 400-row window shows the 480-row screen from row 40.
  EXPECT_GT(litPixels(wrdWindow(), QRect(100, 60, 5 * 8, 16)), 40);
}

TEST_F(StartupPathTest, AWaveFilePlaysWhenWaveFilesAreEnabled) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  setInt("Version", app::kSettingsVersion);  // settings older than wave files switch them off
  setInt("EnableWaveFile", 1);
  const fs::path wave = dir_ / "sound.wav";
  test::writeFile(wave, test::waveFile({8000, 1, 16, 8000 * 3}));
  MIDIApplication& app = launch({wave.string()});
  unsetenv("SDL_AUDIODRIVER");
  const core::SongPlayer* player = app.controller().session().songPlayer();
  ASSERT_NE(player, nullptr);
  if (!player->waveError().empty()) GTEST_SKIP() << "no dummy audio output: " << player->waveError();
  ASSERT_TRUE(player->loaded()) << app.panelText(app::kPanelTitle);
  EXPECT_EQ(app.panelText(app::kPanelFileType), "WAVE");
  EXPECT_EQ(app.controller().playback().state().totalLength, 3000u);
  EXPECT_TRUE(app.controller().playback().state().playing);
}

TEST_F(StartupPathTest, TheModulesBackLightLightsThePanelWhenAutomatic) {
  setInt("AutoBackLight", 1);
  setInt("BackLightLevel", 20);
  const fs::path song = dir_ / "xg.mid";
  test::writeFile(song, xgSong("XG song"));
  MIDIApplication& app = launch({song.string(), "/M:XG"});
  ASSERT_TRUE(waitFor([&] { return heardXgNote(); }));
  const QImage panel = app.frame().findChild<TLiquidTextWindow*>()->grab().toImage();
  EXPECT_EQ(panel.pixel(2, 2) & 0xFFFFFF, 0xC0FF00u);  // YAMAHA: red C0, green FF, blue 00
}

}  // namespace
}  // namespace volta::shell
