// The controller's pure parts: the window title, the status panel's counters, the
// command line, and the settings of start and exit with the migration.

#include <gtest/gtest.h>

#include "player/core/app/app_settings.h"
#include "player/core/app/button_row.h"
#include "player/core/app/command_ids.h"
#include "player/core/app/command_line.h"
#include "player/core/app/display_texts.h"
#include "tests/support/test_support.h"

namespace volta::app {
namespace {

using platform::settings::kMainKey;

TEST(WindowTitle, NamesTheListOrTheSongThenTheStateAndSpeed) {
  TitleState t;
  EXPECT_EQ(windowTitle(t), "VOLTA Player");
  t.showSong = true;
  t.songTitle = "Song";
  t.playing = true;
  EXPECT_EQ(windowTitle(t), "Song - VOLTA Player [PLAY]");
  t.selecting = true;
  t.speed = 3;
  EXPECT_EQ(windowTitle(t), "Song - VOLTA Player [PLAY] [Selecting] [x3]");
  t.selecting = false;
  t.paused = true;
  t.sortMode = 1;
  t.speed = -1;
  EXPECT_EQ(windowTitle(t), "Song - VOLTA Player [RANDOM] [PAUSE] [x0.75]");
  t.speed = -4;
  EXPECT_EQ(windowTitle(t), "Song - VOLTA Player [RANDOM] [PAUSE] [x1/4]");
  t.listNamed = true;
  t.listFileName = "/home/user/lists/mine.TO2";
  EXPECT_EQ(titlePrefix(t), "<LIST> mine.TO2 - ");
  t.listModified = true;
  t.listFileName.clear();
  EXPECT_EQ(titlePrefix(t), "<LIST> <Changed> <New>  - ");
  EXPECT_EQ(listFrameTitle(t), "<LIST> <Changed> <New>  - VOLTA Player (Order list)");
}

TEST(WindowTitle, LongNamesAreCutWithDots) {
  TitleState t;
  t.listNamed = true;
  t.listFileName = "/lists/" + std::string(50, 'a') + ".TO2";
  EXPECT_EQ(titlePrefix(t), "<LIST> " + std::string(33, 'a') + "... - ");
  t.listFileName = "/lists/" + std::string(29, 'b') + ".TO2";  // exactly 40 characters
  EXPECT_EQ(titlePrefix(t), "<LIST> " + std::string(29, 'b') + ".TO2 - ");

  TitleState song;
  song.showSong = true;
  song.songTitle = std::string(44, 'x') + "\x83\x41" + "tail";  // a double-byte katakana across the limit
  EXPECT_EQ(titlePrefix(song), std::string(44, 'x') + "... - ");
  song.songTitle = std::string(45, 'y');
  EXPECT_EQ(titlePrefix(song), std::string(45, 'y') + " - ");
}

protocol::SequencerStatus status() {
  protocol::SequencerStatus s{};
  s.songTime = 7'512'345;  // 75.1 s
  s.measure = 12;
  s.numerator = 3;
  s.denominator = 4;
  s.timeBase = 96;
  s.tickInMeasure = 200;
  s.ticksPerMeasure = 288;
  s.tempo = 500'000;
  return s;
}

TEST(Counters, FormatTheSongStatus) {
  const Counters c = counters(status(), 200'500, 41);
  EXPECT_EQ(c.time, "01:15/03:20");
  EXPECT_EQ(c.bar, "0013/0042");
  EXPECT_EQ(c.beat, "03/03");
  EXPECT_EQ(c.ticks, "0200/0288");
  EXPECT_EQ(c.tempo, "120");
}

TEST(Counters, ASongWithoutMetreOrTempoDoesNotDivideByZero) {
  protocol::SequencerStatus s = status();
  s.denominator = 0;
  s.tempo = 0;
  const Counters c = counters(s, 0, 0);
  EXPECT_EQ(c.beat, "01/03");
  EXPECT_EQ(c.tempo, "000");
  EXPECT_EQ(c.time, "01:15/00:00");
}

TEST(CommandLine, TellsTheKindsOfStart) {
  const std::filesystem::path cwd = "/home/user/music";
  EXPECT_EQ(parseCommandLine({}, cwd).kind, CommandLine::Kind::kNormal);
  EXPECT_EQ(parseCommandLine({"/N"}, cwd).kind, CommandLine::Kind::kEmptyList);
  const auto dde = parseCommandLine({"DDE", "Play 3"}, cwd);
  EXPECT_EQ(dde.kind, CommandLine::Kind::kDdeCommand);
  EXPECT_EQ(dde.text, "Play 3");
  // "dde" with more than one command is a file named "dde".
  EXPECT_EQ(parseCommandLine({"dde", "a", "b"}, cwd).kind, CommandLine::Kind::kFile);
  const auto request = parseCommandLine({"dde-request", "GetTitle", "2"}, cwd);
  EXPECT_EQ(request.kind, CommandLine::Kind::kDdeRequest);
  EXPECT_EQ(request.text, "GetTitle 2");
}

TEST(CommandLine, OptionsAreNeverTakenForFileNames) {
  const std::filesystem::path cwd = "/home/user/music";
  EXPECT_EQ(parseCommandLine({"--help"}, cwd).kind, CommandLine::Kind::kHelp);
  EXPECT_EQ(parseCommandLine({"-h"}, cwd).kind, CommandLine::Kind::kHelp);
  EXPECT_EQ(parseCommandLine({"--version"}, cwd).kind, CommandLine::Kind::kVersion);
  const auto unknown = parseCommandLine({"--play", "song.mid"}, cwd);
  EXPECT_EQ(unknown.kind, CommandLine::Kind::kMisuse);
  EXPECT_EQ(unknown.text, "--play");
  // A lone "-" and a song under a folder named "-x" stay file names.
  EXPECT_EQ(parseCommandLine({"-"}, cwd).kind, CommandLine::Kind::kFile);
  EXPECT_EQ(parseCommandLine({"./-x/a.mid"}, cwd).kind, CommandLine::Kind::kFile);
}

TEST(CommandLine, AFileIsMadeAbsoluteAndHandedOverWithItsModule) {
  const std::filesystem::path cwd = "/home/user/music";
  const auto file = parseCommandLine({"sub/my song.mid", "/M:SC-88"}, cwd);
  EXPECT_EQ(file.kind, CommandLine::Kind::kFile);
  EXPECT_EQ(file.text, "/home/user/music/sub/my song.mid");
  EXPECT_EQ(file.module, "SC-88");
  EXPECT_EQ(file.handOverCommand(), "PlayFile \"/home/user/music/sub/my song.mid\"SC-88");
  EXPECT_FALSE(file.isListFile());
  const auto list = parseCommandLine({"/data/All.to2", "-x"}, cwd);
  EXPECT_TRUE(list.isListFile());
  EXPECT_FALSE(list.hasModule);
  EXPECT_EQ(list.handOverCommand(), "PlayFile \"/data/All.to2\"");
}

class AppSettingsTest : public ::testing::Test {
 protected:
  volta::test::TempDir dir_;
  platform::settings::SettingsStore store_{dir_ / "VOLTA.conf"};
};

TEST_F(AppSettingsTest, AnEmptyStoreGivesTheDefaults) {
  const AppSettings s = AppSettings::read(store_);
  EXPECT_EQ(s.windowMode, 0);
  EXPECT_EQ(s.mainWindowX, 10);
  EXPECT_EQ(s.midiTemplateMode, -1);
  EXPECT_EQ(s.lastVolume, 127);
  EXPECT_EQ(s.frames[3], (Rect{130, 130, 400, 350}));
  EXPECT_EQ(s.windowFlag, (std::array<bool, 5>{true, true, true, true, true}));
  EXPECT_EQ(s.frameMode, (std::array<bool, 5>{}));
  const GeneralSettings g = GeneralSettings::read(store_);
  EXPECT_TRUE(g.autoDropPlay);
  EXPECT_FALSE(g.enableWaveFile);
}

TEST_F(AppSettingsTest, TheExitValuesReadBackAndBadBinariesKeepDefaults) {
  AppSettings s;
  s.windowMode = -1;
  s.sortMode = 4;
  s.singleRepeatMode = true;
  s.frames[2] = {1, 2, 300, 200};
  s.windowFlag[1] = false;
  s.history[0] = "/songs/";
  s.midiTemplateMode = 2;
  platform::settings::SettingsBatch batch;
  s.addTo(batch);
  ASSERT_TRUE(store_.apply(batch));
  for (const char* name : {"MainWindowX", "MainWindowY", "MainWindowW", "MainWindowH", "WindowMode", "BeforeWindowMode",
                           "BarMode", "SortMode", "Frame0", "Frame4", "RepeatMode", "SingleMode", "SingleRPMode",
                           "WindowFlag", "WRDDisable", "MenuDisable", "LastVolume", "MIDITemplateMode", "History9"})
    EXPECT_TRUE(store_.contains(kMainKey, name)) << name;
  const AppSettings back = AppSettings::read(store_);
  EXPECT_EQ(back.windowMode, -1);
  EXPECT_EQ(back.sortMode, 4);
  EXPECT_TRUE(back.singleRepeatMode);
  EXPECT_EQ(back.frames[2], (Rect{1, 2, 300, 200}));
  EXPECT_FALSE(back.windowFlag[1]);
  EXPECT_EQ(back.history[0], "/songs/");
  EXPECT_EQ(back.midiTemplateMode, 2);

  store_.writeBinary(kMainKey, "Frame1", {1, 2, 3});
  store_.writeBinary(kMainKey, "FrameMode", {1, 0, 1, 0, 0, 0});
  const AppSettings odd = AppSettings::read(store_);
  EXPECT_EQ(odd.frames[1], AppSettings::defaultFrame(1));
  EXPECT_EQ(odd.frameMode, (std::array<bool, 5>{}));
}

TEST_F(AppSettingsTest, MigrationRaisesTheVersionAndResetsWhatChanged) {
  store_.writeInt(kMainKey, "Version", 0x103);
  store_.writeInt(kMainKey, "EnableWaveFile", 1);
  store_.writeInt(kMainKey, "PriorityLevel", 2);
  store_.writeString(kMainKey, "DefFile", "old.def");
  EXPECT_EQ(migrateSettings(store_), 0x103);
  EXPECT_EQ(store_.readInt(kMainKey, "Version", 0), 0x2030B);
  EXPECT_EQ(store_.readString(kMainKey, "VersionDescription", ""), "2.3 rel.11");
  EXPECT_EQ(store_.readInt(kMainKey, "EnableWaveFile", -1), 0);
  EXPECT_EQ(store_.readInt(kMainKey, "PriorityLevel", -1), 0);
  EXPECT_EQ(store_.readString(kMainKey, "DefFile", "x"), "");
  const auto buttons = store_.readBinary(kMainKey, "NewButtons", {});
  ASSERT_EQ(buttons.size(), 128u);
  EXPECT_EQ(decodeButtonRow(buttons),
            (std::vector<int>{cmd::kStop, cmd::kPause, cmd::kPlay, cmd::kSlow, cmd::kFast, cmd::kPrevious, cmd::kNext,
                              cmd::kFullScreen, cmd::kPaneWrd, cmd::kPaneDocument, cmd::kPaneList, cmd::kPaneMonitor,
                              cmd::kMini}));
}

TEST_F(AppSettingsTest, MigrationFromARecentVersionKeepsTheUsersValues) {
  store_.writeInt(kMainKey, "Version", 0x20302);
  store_.writeInt(kMainKey, "EnableWaveFile", 1);
  store_.writeBinary(kMainKey, "NewButtons", encodeButtonRow(std::vector<int>{cmd::kPlay, cmd::kStop}));
  migrateSettings(store_);
  EXPECT_EQ(store_.readInt(kMainKey, "Version", 0), 0x2030B);
  EXPECT_EQ(store_.readInt(kMainKey, "EnableWaveFile", 0), 1);
  EXPECT_EQ(decodeButtonRow(store_.readBinary(kMainKey, "NewButtons", {})), (std::vector<int>{cmd::kPlay, cmd::kStop}));
  store_.writeInt(kMainKey, "Version", 0x30000);
  EXPECT_EQ(migrateSettings(store_), 0x30000);
  EXPECT_EQ(store_.readInt(kMainKey, "Version", 0), 0x30000);
}

}  // namespace
}  // namespace volta::app
