// The player's engine binding choosing the bridge as the settings say, and playing a song
// through it onto the native engine with the Trace device.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "player/core/engine_binding.h"
#include "player/core/startup/player_setup.h"
#include "tests/bridge95/bridge_fixture.h"
#include "tests/support/smf_writer.h"
#include "tests/support/trace_log.h"

namespace volta::core {
namespace {

namespace fs = std::filesystem;

constexpr char kVersionMessage[] = "DLLのバージョンが違います。";

class BridgeChoice : public ::testing::Test {
 protected:
  // A program folder with the libraries asked for. The bridge is a copy of its own, so
  // that it reads the settings of this test when it is loaded.
  fs::path program(bool bridge, bool native) {
    const fs::path folder = dir_ / "program";
    fs::create_directories(folder);
    if (bridge) fs::copy_file(test::binDir() / "libvolta95.so", folder / "libvolta95.so");
    if (native) fs::create_symlink(test::binDir() / "libvoltant.so", folder / "libvoltant.so");
    return folder;
  }
  std::unique_ptr<EngineBinding> choose(const fs::path& folder, bool prefer32Bit) {
    message_.clear();
    return chooseEngine(folder, {true, prefer32Bit}, message_);
  }

  test::TempDir dir_;
  test::BridgeSettings settings_;
  std::string message_;
};

TEST_F(BridgeChoice, AnOlderEngineMakesTheBridgeTheFirstChoice) {
  settings_.nameOlderEngine(test::nativeOlderEngine());
  auto binding = choose(program(true, true), false);
  ASSERT_NE(binding, nullptr) << message_;
  EXPECT_EQ(binding->type(), kBridgeLibrary);
  EXPECT_TRUE(message_.empty()) << message_;
}

TEST_F(BridgeChoice, DLLTypeIs32BitPrefersTheNativeLibrary) {
  settings_.nameOlderEngine(test::nativeOlderEngine());
  auto binding = choose(program(true, true), true);
  ASSERT_NE(binding, nullptr) << message_;
  EXPECT_EQ(binding->type(), kNativeLibrary);
  EXPECT_TRUE(message_.empty()) << message_;
}

TEST_F(BridgeChoice, WithoutTheBridgeTheNativeLibraryServesWithANotice) {
  settings_.nameOlderEngine(test::nativeOlderEngine());
  auto binding = choose(program(false, true), false);
  ASSERT_NE(binding, nullptr) << message_;
  EXPECT_EQ(binding->type(), kNativeLibrary);
  EXPECT_EQ(message_, "VOLTA95.DLLの初期化に失敗。VOLTANT.DLLを使用します。");
}

TEST_F(BridgeChoice, WithoutTheNativeLibraryTheBridgeServesWithANotice) {
  settings_.nameOlderEngine(test::nativeOlderEngine());
  auto binding = choose(program(true, false), true);
  ASSERT_NE(binding, nullptr) << message_;
  EXPECT_EQ(binding->type(), kBridgeLibrary);
  EXPECT_EQ(message_, "VOLTANT.DLLの初期化に失敗。VOLTA95.DLLを使用します。");
}

TEST_F(BridgeChoice, NeitherLibraryGivesTheInitialisationMessage) {
  settings_.nameOlderEngine(test::nativeOlderEngine());
  EXPECT_EQ(choose(program(false, false), false), nullptr);
  EXPECT_EQ(message_, "DLLの初期化に失敗しました。VOLTA95.DLLもしくはVOLTA32.DLLが必要です。");
}

TEST_F(BridgeChoice, ABridgeWithoutItsOlderEngineFailsTheVersionCheck) {
  settings_.nameOlderEngine((dir_ / "absent.so").string());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(choose(program(true, true), false), nullptr);
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(message_, kVersionMessage);
}

TEST_F(BridgeChoice, AnOlderEngineInUseIsRefused) {
  settings_.nameOlderEngine(test::standInEngine());
  const char version[] = "2.3 rel.11";
  const std::uint8_t inUse = 2;
  standInPatch(40, version, sizeof version);
  standInPatch(72, &inUse, 1);
  standInAnswer(1);
  EXPECT_EQ(choose(program(true, true), false), nullptr);
  EXPECT_EQ(message_, "VOLTA16.DLLがすでに使われている、もしくは、前回異常終了しました。Windowsを再起動してください");
}

TEST_F(BridgeChoice, WithoutAnOlderEngineOnlyTheNativeLibraryIsTried) {
  settings_.nameOlderEngine(test::nativeOlderEngine());
  EXPECT_EQ(chooseEngine(program(true, false), {false, false}, message_), nullptr);
  EXPECT_EQ(message_, "VOLTANT.DLLの初期化に失敗。");
}

TEST_F(BridgeChoice, TheStartUpPathTakesTheChoiceFromTheSettings) {
  settings_.nameOlderEngine(test::nativeOlderEngine());
  PlayerSetupOptions options;
  options.places = {program(true, true), dir_ / "data", settings_.store().path()};
  PlayerSetup setup(settings_.store(), options);
  ASSERT_TRUE(setup.bindEngine()) << setup.message();
  EXPECT_EQ(setup.binding()->type(), kBridgeLibrary);

  settings_.store().writeInt(platform::settings::kMainKey, "DLLTypeIs32Bit", 1);
  setup.reapply();
  ASSERT_TRUE(setup.bindEngine()) << setup.message();
  EXPECT_EQ(setup.binding()->type(), kNativeLibrary);

  settings_.nameOlderEngine("");
  settings_.store().writeInt(platform::settings::kMainKey, "DLLTypeIs32Bit", 0);
  setup.reapply();
  ASSERT_TRUE(setup.bindEngine()) << setup.message();
  EXPECT_EQ(setup.binding()->type(), kNativeLibrary);  // no older engine: the bridge is no choice
}

TEST_F(BridgeChoice, ASongPlaysThroughTheBridgeOntoTheNativeEngine) {
  settings_.nameOlderEngine(test::nativeOlderEngine());
  auto binding = choose(program(true, false), true);
  ASSERT_NE(binding, nullptr) << message_;
  ASSERT_EQ(binding->type(), kBridgeLibrary);

  const fs::path trace = dir_ / "trace.txt";
  const std::array<std::uint32_t, 1> devices{test::traceDeviceFor(trace)};
  auto output = OutputHandle::open(*binding, devices);
  ASSERT_NE(output, nullptr);
  EXPECT_EQ(output->status()->portOpen[0], 1);

  test::SmfTrack track;
  track.trackName(0, "Through the bridge").tempo(0, 500000).timeSignature(0, 4, 2);
  track.noteOn(0, 0, 60, 100).noteOff(96, 0, 60).endOfTrack(0);
  const fs::path song = dir_ / "song.mid";
  test::writeFile(song, test::SmfWriter(0, 96).track(track).build());
  auto opening = SongHandle::open(*binding, output.get(), song);
  ASSERT_NE(opening.song, nullptr) << opening.error;
  const auto titles = opening.song->titles();
  EXPECT_TRUE(titles.ok);
  EXPECT_EQ(titles.title, "Through the bridge");
  EXPECT_NEAR(opening.song->scanLength().totalTime, 50000, 100);  // a quarter at 120 per minute, in 10 us
  opening.song->seek(0);
  opening.song->play();
  ASSERT_TRUE(test::waitUntil([&] { return opening.song->status()->songTime > 0; }));
  ASSERT_TRUE(test::waitUntil([&] { return opening.song->status()->playing == 0; }));
  opening.song.reset();
  output.reset();

  const auto lines = test::readTrace(trace);
  const std::size_t on = test::findLine(lines, "90 3C 64");
  ASSERT_LT(on, lines.size());
  EXPECT_LT(test::findLine(lines, "80 3C", on), lines.size());
}

// volta-play, the terminal player, through the bridge as the settings choose it.
class VoltaPlayThroughTheBridge : public ::testing::Test {
 protected:
  int play(const std::string& arguments) {
    const std::string command = "VOLTA_CONFIG_HOME=" + configHome() + " " + (test::binDir() / "volta-play").string() +
                                " " + arguments + " > " + (dir_ / "out.txt").string() + " 2> " + err_.string();
    return WEXITSTATUS(std::system(command.c_str()));
  }
  static std::string configHome() { return std::getenv("VOLTA_CONFIG_HOME"); }

  test::TempDir dir_;
  test::BridgeSettings settings_;
  fs::path err_ = dir_ / "err.txt";
  fs::path trace_ = dir_ / "trace.txt";
  fs::path demo_ = test::sourceDir() / "player/resources/demo.mid";
};

TEST_F(VoltaPlayThroughTheBridge, PlaysTheDemoSongToTheTrace) {
  settings_.nameOlderEngine(test::nativeOlderEngine());
  ASSERT_EQ(play("--device Trace --trace " + trace_.string() + " --speed 16 " + demo_.string()), 0)
      << test::readText(err_);
  EXPECT_LT(test::findLine(test::readTrace(trace_), "9"), test::readTrace(trace_).size());
}

TEST_F(VoltaPlayThroughTheBridge, AMissingOlderEngineEndsWithTheVersionMessage) {
  settings_.nameOlderEngine((dir_ / "absent.so").string());
  EXPECT_EQ(play("--device Trace --trace " + trace_.string() + " " + demo_.string()), 1);
  const std::string err = test::readText(err_);
  EXPECT_NE(err.find(kVersionMessage), std::string::npos) << err;
  EXPECT_NE(err.find("libvolta95.so: no older engine"), std::string::npos) << err;
}

}  // namespace
}  // namespace volta::core
