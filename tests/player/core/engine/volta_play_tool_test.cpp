// volta-play end to end on the player core: the module options, a corpus song,
// rendering to WAV, and its refusals.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/midi/software_synth.h"
#include "tests/support/lzh_writer.h"
#include "tests/support/test_support.h"
#include "tests/support/trace_log.h"

namespace volta {
namespace {

int run(const std::string& arguments, const std::filesystem::path& out, const std::filesystem::path& err,
        const std::string& environment = {}) {
  const std::string command = environment + " " + (test::binDir() / "volta-play").string() + " " + arguments + " > " +
                              out.string() + " 2> " + err.string();
  return WEXITSTATUS(std::system(command.c_str()));
}

class VoltaPlayTool : public ::testing::Test {
 protected:
  int play(const std::string& arguments, const std::string& environment = {}) {
    return run(arguments, out_, err_, environment);
  }
  std::string out() const { return test::readText(out_); }
  std::string err() const { return test::readText(err_); }

  test::TempDir dir_;
  std::filesystem::path out_ = dir_ / "out.txt";
  std::filesystem::path err_ = dir_ / "err.txt";
  std::filesystem::path trace_ = dir_ / "trace.txt";
  std::filesystem::path demo_ = test::sourceDir() / "player/resources/demo.mid";
};

TEST_F(VoltaPlayTool, TheModulesChooseTheConversionSentBeforeTheGreeting) {
  ASSERT_EQ(play("--trace " + trace_.string() + " --speed 16 --module GS --device-module SC-55 " + demo_.string()), 0)
      << err();
  EXPECT_NE(out().find("Module: GS"), std::string::npos);
  const auto lines = test::readTrace(trace_);
  const auto reset = test::findLine(lines, "F0 41 10 42 12 40 00 7F 00 41 F7");
  const auto greeting = test::findLine(lines, "F0 41 10 45 12 10 00 00 56 4F 4C 54 41 3A 47 53");  // "VOLTA:GS"
  const auto firstNote = test::findLine(lines, "9");
  EXPECT_LT(reset, greeting);
  EXPECT_LT(greeting, firstNote);
  EXPECT_LT(firstNote, lines.size());
}

TEST_F(VoltaPlayTool, PlaysACorpusSongToTheTrace) {
  const auto song = test::corpusDir("smf") / "dmidiplayer_test_gs.mid";
  if (!std::filesystem::exists(song)) GTEST_SKIP() << song << " is missing";
  ASSERT_EQ(play("--device Trace --trace " + trace_.string() + " --speed 4 " + song.string()), 0) << err();
  EXPECT_NE(out().find("Title: dmidiplayer_test_gs.mid"), std::string::npos);
  const auto lines = test::readTrace(trace_);
  EXPECT_LT(test::findLine(lines, "9"), lines.size());
}

TEST_F(VoltaPlayTool, RendersTheDemoSongToAWavFile) {
  if (platform::midi::findSoundFont().empty()) GTEST_SKIP() << "no SoundFont installed";
  const auto wav = dir_ / "demo.wav";
  ASSERT_EQ(play("--render " + wav.string() + " " + demo_.string()), 0) << err();
  const auto bytes = test::readFile(wav);
  ASSERT_GT(bytes.size(), 44u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
  // 21.6 s of 16-bit stereo at 44.1 kHz, and some of it not silent.
  EXPECT_GE(bytes.size(), 44u + 21u * 44100 * 4);
  EXPECT_NE(std::count(bytes.begin() + 44, bytes.end(), 0), static_cast<std::ptrdiff_t>(bytes.size() - 44));
}

// The render loads the SoundFont of the settings, not merely the first one installed.
TEST_F(VoltaPlayTool, RendersWithTheSoundFontTheSettingsName) {
  const auto config = dir_ / "config";
  std::filesystem::create_directories(config / "QZ");
  std::ofstream(dir_ / "text.sf2") << "not a SoundFont";
  std::ofstream(config / "QZ" / "VOLTA.conf") << "[General]\nSoundFont=" << (dir_ / "text.sf2").string() << "\n";
  EXPECT_EQ(
      play("--render " + (dir_ / "demo.wav").string() + " " + demo_.string(), "VOLTA_CONFIG_HOME=" + config.string()),
      1);
  EXPECT_NE(err().find("the SoundFont " + (dir_ / "text.sf2").string() + " could not be loaded"), std::string::npos)
      << err();
}

// An archive stands for its songs: each plays in the archive's order, and a member that
// cannot be read is named, as is an archive without songs.
TEST_F(VoltaPlayTool, PlaysTheSongsInsideAnArchive) {
  const auto demo = test::readFile(demo_);
  const auto archive = dir_ / "songs.lzh";
  test::writeFile(archive, test::buildLzh({{"readme.txt", {'h', 'i'}}, {"first.mid", demo}, {"bad.mid", {'x'}}}));
  EXPECT_EQ(play("--trace " + trace_.string() + " --speed 16 " + archive.string()), 1) << err();
  EXPECT_NE(out().find("Title: VOLTA Player demo"), std::string::npos) << out();
  EXPECT_NE(err().find("bad.mid"), std::string::npos) << err();
  EXPECT_EQ(err().find("readme.txt"), std::string::npos) << err();
  const auto lines = test::readTrace(trace_);
  EXPECT_LT(test::findLine(lines, "9"), lines.size());

  const auto empty = dir_ / "empty.lzh";
  test::writeFile(empty, test::buildLzh({{"readme.txt", {'h', 'i'}}}));
  EXPECT_EQ(play("--trace " + trace_.string() + " " + empty.string()), 1);
  EXPECT_NE(err().find("empty.lzh: no song in it"), std::string::npos) << err();
}

TEST_F(VoltaPlayTool, RefusesUnknownDevicesAndBadOptions) {
  EXPECT_EQ(play("--device \"No such synth\" " + demo_.string()), 1);
  EXPECT_NE(err().find("No such synth"), std::string::npos);
  EXPECT_EQ(play("--speed fast " + demo_.string()), 2);
  EXPECT_EQ(play("--device Trace"), 2);
  EXPECT_EQ(play("--trace " + trace_.string() + " " + (dir_ / "missing.mid").string()), 1);
  EXPECT_NE(err().find("ERROR:Fail to open the midi file"), std::string::npos);
}

TEST_F(VoltaPlayTool, ListsTheTraceDeviceFirstWhenTracing) {
  ASSERT_EQ(play("--trace " + trace_.string() + " --list-devices"), 0);
  EXPECT_EQ(out().rfind("0 Trace\n", 0), 0u);
}

}  // namespace
}  // namespace volta
