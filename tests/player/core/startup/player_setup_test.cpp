// The start-up path every program assembles the player core through: the settings it reads,
// the module definition files in their order, the fonts and the DV converter, the engine, and
// the song players it prepares. It fails as soon as a hook a player needs is left unset.

#include "player/core/startup/player_setup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "platform/midi/sound_font.h"
#include "tests/support/lzh_writer.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"
#include "tests/support/trace_log.h"
#include "tests/support/wave_writer.h"

namespace volta::core {
namespace {

namespace fs = std::filesystem;
using platform::settings::kMainKey;

// A wave player that only remembers that it was asked for.
class SilentWave : public WavePlayer {
 public:
  bool cue(std::uint32_t) override { return true; }
  bool play() override { return true; }
  void pause() override {}
  std::uint32_t positionMs() const override { return 0; }
  std::uint32_t lengthMs() const override { return 1500; }
  bool playing() const override { return false; }
};

class PlayerSetupTest : public ::testing::Test {
 protected:
  PlayerSetupOptions options() {
    PlayerSetupOptions o;
    o.places = {programFolder_, dir_ / "data", settingsFile_};
    // The engine library lies in the build's folder, not in the stand-in program folder.
    o.binder = [](const fs::path&, const EngineChoice& choice, std::string& message) {
      return core::chooseEngine(test::binDir(), choice, message);
    };
    o.waveOpener = [this](const fs::path& file, std::string&) -> std::unique_ptr<WavePlayer> {
      wavesOpened_.push_back(file);
      return std::make_unique<SilentWave>();
    };
    return o;
  }
  PlayerSetup& assemble() {
    setup_ = std::make_unique<PlayerSetup>(store_, options());
    return *setup_;
  }

  test::TempDir dir_;
  fs::path programFolder_ = dir_ / "program";
  fs::path settingsFile_ = dir_ / "config" / "VOLTA.conf";
  platform::settings::SettingsStore store_{settingsFile_};
  std::vector<fs::path> wavesOpened_;
  std::unique_ptr<PlayerSetup> setup_;
};

TEST_F(PlayerSetupTest, AnAssembledPlayerLacksNoHook) {
  PlayerSetup& setup = assemble();
  EXPECT_EQ(setup.missingHooks(), std::vector<std::string>{"engine binding"});  // bound only after the windows
  ASSERT_TRUE(setup.bindEngine()) << setup.message();
  EXPECT_TRUE(setup.missingHooks().empty()) << setup.missingHooks().front();
}

TEST_F(PlayerSetupTest, EachHookLeftUnsetIsNamed) {
  PlayerSetupOptions o = options();
  o.binder = nullptr;
  o.waveOpener = nullptr;
  PlayerSetup setup(store_, o);
  EXPECT_FALSE(setup.bindEngine());
  EXPECT_FALSE(setup.message().empty());
  const auto missing = setup.missingHooks();
  EXPECT_NE(std::find(missing.begin(), missing.end(), "engine binding"), missing.end());
  EXPECT_NE(std::find(missing.begin(), missing.end(), "wave opener"), missing.end());
}

TEST_F(PlayerSetupTest, DefinitionFilesLoadAfterTheBuiltInsAndAgainOnReapply) {
  std::ofstream(dir_ / "site.def") << "[alias]\nMINE=SC-55\nSITE=MU80\n";
  std::ofstream(dir_ / "user.def") << "[alias]\nMINE=SC-88\n";
  store_.writeString(kMainKey, "DefFile", (dir_ / "site.def").string());
  store_.writeString(kMainKey, "UserDefFile", (dir_ / "user.def").string());
  PlayerSetup& setup = assemble();
  EXPECT_EQ(setup.definitions().resolveAlias("MINE"), "SC-88");
  EXPECT_EQ(setup.definitions().resolveAlias("SITE"), "MU80");
  EXPECT_FALSE(setup.definitions().getValue("convindex", "SC-88:MU80").empty());  // the built-ins are there

  store_.removeValue(kMainKey, "DefFile");
  setup.reapply();
  EXPECT_EQ(setup.definitions().resolveAlias("SITE"), "SITE");
  EXPECT_EQ(setup.definitions().resolveAlias("MINE"), "SC-88");
}

// The engine library opens the software synthesizer with its own copy of the device layer:
// the setting must reach it, and go again when it is taken back.
TEST_F(PlayerSetupTest, TheSoundFontSettingIsHandedToTheDeviceLayer) {
  const fs::path mine = dir_ / "mine.sf2";
  std::ofstream(mine) << "RIFF";
  store_.writeString(kMainKey, "SoundFont", mine.string());
  PlayerSetup& setup = assemble();
  EXPECT_EQ(platform::midi::findSoundFont(), mine.string());
  EXPECT_STREQ(std::getenv(platform::midi::kSoundFontSettingVariable), mine.c_str());

  store_.removeValue(kMainKey, "SoundFont");
  setup.reapply();
  EXPECT_NE(platform::midi::findSoundFont(), mine.string());
  EXPECT_EQ(std::getenv(platform::midi::kSoundFontSettingVariable), nullptr);
}

TEST_F(PlayerSetupTest, WrdFontsComeFromTheSettings) {
  fs::create_directories(dir_ / "program");
  // One 8-pixel glyph for "A", the first row lit.
  std::ofstream(dir_ / "program" / "tiny.hex") << "0041:FF000000000000000000000000000000\n";
  store_.writeString(kMainKey, "WRDFont", "tiny.hex");
  store_.writeString(kMainKey, "WC2Font", "kana.fon");
  store_.writeInt(kMainKey, "HighSpeedWRD", 1);
  PlayerSetup& setup = assemble();
  ASSERT_NE(setup.wrd().face(), nullptr);
  EXPECT_EQ(setup.wrd().face()->glyphCount(), 1u);
  EXPECT_EQ(setup.wrd().kanaFontPath(), dir_ / "program" / "kana.fon");
  EXPECT_TRUE(setup.wrd().settings().highSpeed);

  wrd::WrdInterpreter interpreter;
  setup.wrd().applyTo(interpreter);
  EXPECT_EQ(interpreter.glyphs().renderByte('A', 0)[0] & 0xFF00, 0xFF00);
}

TEST_F(PlayerSetupTest, DefaultFontsAreTheSystemsUnifontAndTheKanaFileBesideTheProgram) {
  if (!fs::exists(wrd::kDefaultWrdFontPath)) GTEST_SKIP() << "Unifont is not installed";
  store_.writeString(kMainKey, "WRDFont", "no-such-font.hex");  // falls back
  PlayerSetup& setup = assemble();
  ASSERT_NE(setup.wrd().face(), nullptr);
  EXPECT_EQ(setup.wrd().facePath(), fs::path(wrd::kDefaultWrdFontPath));
  EXPECT_GT(setup.wrd().face()->glyphCount(), 10000u);
  EXPECT_EQ(setup.wrd().kanaFontPath(), dir_ / "program" / kKanaFontName);
}

TEST_F(PlayerSetupTest, DvScriptsConvertWhenTheLibraryLiesBesideTheProgram) {
  const std::string dv = "SCRIPT";
  const std::span<const char> input(dv.data(), dv.size());
  {
    PlayerSetup without(store_, options());  // no library in that program folder
    EXPECT_FALSE(without.wrd().dvLibrary().available());
    EXPECT_FALSE(without.wrd().dvConverter()(input).has_value());
  }
  PlayerSetupOptions o = options();
  o.places.programFolder = fs::path(VOLTA_FAKE_DV2WRD).parent_path();
  PlayerSetup setup(store_, o);
  ASSERT_TRUE(setup.wrd().dvLibrary().available());
  const auto converted = setup.wrd().dvConverter()(input);
  ASSERT_TRUE(converted.has_value());
  EXPECT_EQ(std::string(converted->begin(), converted->end()), "@REM SCRIPT\n@END\n");
}

class PreparedPlayerTest : public PlayerSetupTest {
 protected:
  SongPlayer& prepared() {
    player_.reset();  // it holds the engine of the set-up about to be replaced
    PlayerSetup& setup = assemble();
    EXPECT_TRUE(setup.bindEngine()) << setup.message();
    const std::array<std::uint32_t, 1> devices{test::traceDeviceFor(dir_ / "trace.log")};
    player_ = std::make_unique<SongPlayer>(*setup.binding(), devices, setup.definitions());
    setup.prepare(*player_);
    return *player_;
  }
  fs::path wave() {
    const fs::path file = dir_ / "sound.wav";
    test::writeFile(file, test::waveFile({}));
    return file;
  }
  std::unique_ptr<SongPlayer> player_;
};

TEST_F(PreparedPlayerTest, WaveFilesPlayOnlyWhenEnabled) {
  MIDIFile entry;
  entry.fileName = wave().string();
  EXPECT_EQ(prepared().load(entry.fileName, entry), protocol::kErrUnknownFile);
  EXPECT_TRUE(wavesOpened_.empty());

  store_.writeInt(kMainKey, "EnableWaveFile", 1);
  EXPECT_EQ(prepared().load(entry.fileName, entry), 0);
  EXPECT_EQ(wavesOpened_.size(), 1u);
  EXPECT_EQ(entry.lengthMs, 1500u);
}

// A library of that name without the entry points (the converter library stands in).
TEST_F(PreparedPlayerTest, WithoutTheArchiveLibraryMembersCannotBePlayed) {
  fs::create_directories(programFolder_);
  fs::create_symlink(test::binDir() / "libmorph.so", programFolder_ / "libunlha32.so");
  MIDIFile entry;
  entry.fileName = (dir_ / "songs.lzh").string();
  entry.archiveMember = "SONG.MID";
  test::writeFile(dir_ / "songs.lzh", test::buildLzh({{"SONG.MID", {1}}}));
  EXPECT_EQ(prepared().load(entry.fileName, entry), protocol::kErrOpenFile);
}

// The archive library beside the program: the member plays from the private extraction
// folder, its script and document found beside it, and nothing is left there at the end.
TEST_F(PreparedPlayerTest, ArchiveMembersPlayWithTheirCompanionsThroughTheHook) {
  ::setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
  programFolder_ = test::binDir();
  test::SmfTrack track;
  track.trackName(0, "Packed").tempo(0, 500000).noteOn(0, 0, 60, 100).noteOff(48, 0, 60).endOfTrack(0);
  const std::string script = "@MES(hello)\n", document = "about the song";
  test::writeFile(dir_ / "songs.lzh",
                  test::buildLzh({{"SUB/SONG.MID", test::SmfWriter(0, 96).track(track).build(), "-lh5-"},
                                  {"SUB/SONG.WRD", test::Bytes(script.begin(), script.end())},
                                  {"SUB/SONG.TXT", test::Bytes(document.begin(), document.end())}}));
  MIDIFile entry;
  entry.fileName = (dir_ / "songs.lzh").string();
  entry.archiveMember = "SUB/SONG.MID";
  SongPlayer& player = prepared();
  ASSERT_TRUE(setup_->archives().available());
  ASSERT_EQ(player.load(entry.fileName, entry), 0);
  const fs::path extracted = dir_ / "volta" / "VOLTALZH";
  EXPECT_EQ(player.wrdSource(), extracted / "SUB" / "SONG.WRD");
  EXPECT_TRUE(player.documentFound());
  EXPECT_NE(player.document().find(document), std::string::npos);
  EXPECT_EQ(player.title().rfind("Packed", 0), 0u);

  player.start(CoreSettings{}, entry, 0, false);
  for (int polls = 0; polls < 5000 && (player.status()->songTime == 0 || player.playing()); ++polls) {
    player.poll();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const auto lines = test::readTrace(dir_ / "trace.log");
  EXPECT_LT(test::findLine(lines, "90 3C 64"), lines.size());

  player_.reset();
  setup_.reset();
  EXPECT_TRUE(fs::is_empty(extracted));
}

TEST_F(PreparedPlayerTest, TheCurrentTemplatesModuleIsTheDeviceModule) {
  store_.writeString(kMainKey, "Module", "SC-88");
  store_.writeString(platform::settings::midiTemplateKey(1), "Module", "MU80");
  store_.writeInt(kMainKey, "MIDITemplateMode", 1);
  prepared();
  EXPECT_EQ(setup_->songPlayerSettings().deviceModule, "MU80");
  store_.writeInt(kMainKey, "MIDITemplateMode", -1);
  setup_->reapply();
  EXPECT_EQ(setup_->songPlayerSettings().deviceModule, "SC-88");
}

}  // namespace
}  // namespace volta::core
