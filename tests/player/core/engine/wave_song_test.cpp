// Wave files in the song player through a wave player the test drives: the load
// with its length, seeks in milliseconds, play and pause, the status the displays
// read, and the refusal of a file the device cannot open.

#include <gtest/gtest.h>

#include "player/core/builtin_definitions.h"
#include "player/core/song_player.h"
#include "tests/support/test_support.h"
#include "tests/support/trace_log.h"

namespace volta::core {
namespace {

namespace fs = std::filesystem;

// What the song player asked of the wave player, and where it stands.
struct WaveLog {
  std::vector<std::uint32_t> cues;
  std::uint32_t position = 0;
  bool playing = false;
  fs::path opened;
};

class FakeWave : public WavePlayer {
 public:
  FakeWave(WaveLog& log, std::uint32_t length) : log_(log), length_(length) {}
  bool cue(std::uint32_t ms) override {
    log_.cues.push_back(ms);
    log_.position = std::min(ms, length_);
    log_.playing = false;
    return true;
  }
  bool play() override { return log_.playing = true; }
  void pause() override { log_.playing = false; }
  std::uint32_t positionMs() const override { return log_.position; }
  std::uint32_t lengthMs() const override { return length_; }
  bool playing() const override { return log_.playing; }

 private:
  WaveLog& log_;
  std::uint32_t length_;
};

class WaveSongTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(binding_.loaded());
    loadBuiltInDefinitions(store_);
    const std::array<std::uint32_t, 1> devices{test::traceDeviceFor(dir_ / "trace.txt")};
    player_ = std::make_unique<SongPlayer>(binding_, devices, store_);
    player_->setWaveOpener([this](const fs::path& file, std::string& error) -> std::unique_ptr<WavePlayer> {
      log_.opened = file;
      if (file.filename() == "broken.wav") {
        error = "truncated: the sample data ends early";
        return nullptr;
      }
      return std::make_unique<FakeWave>(log_, 83'456);
    });
  }
  int load(const std::string& name) {
    entry_ = {};
    entry_.fileName = "/" + name;
    return player_->load(fullPath(dir_.path().string(), entry_), entry_);
  }

  test::TempDir dir_;
  EngineBinding binding_{kNativeLibrary, test::binDir()};
  TINICritical store_;
  CoreSettings settings_;
  MIDIFile entry_;
  WaveLog log_;
  std::unique_ptr<SongPlayer> player_;
};

TEST_F(WaveSongTest, LoadsWithItsLengthInMillisecondsAndSecondLongMeasures) {
  ASSERT_EQ(load("Take One.WAV"), 0);
  EXPECT_EQ(log_.opened, dir_ / "Take One.WAV");
  EXPECT_TRUE(player_->loaded());
  EXPECT_EQ(player_->song(), nullptr);
  EXPECT_EQ(player_->title(), "Take One.WAV");
  EXPECT_EQ(entry_.lengthMs, 83'456u);
  EXPECT_EQ(entry_.measures, 84u);
  EXPECT_EQ(player_->length(), 8'345'600u);
  // The status record is packed: its fields are read by value.
  const auto& status = *player_->status();
  EXPECT_EQ(+status.smfFormat, 0x80);
  EXPECT_EQ(+status.timeBase, 48);
  EXPECT_EQ(+status.numerator, 4);
  EXPECT_EQ(+status.denominator, 4);
  EXPECT_EQ(+status.tempo, 500000u);
  EXPECT_EQ(+status.ticksPerMeasure, 192u);
}

TEST_F(WaveSongTest, SeeksInMillisecondsAndReportsThePositionAtThePoll) {
  ASSERT_EQ(load("take.wav"), 0);
  player_->start(settings_, entry_, 0, false);
  EXPECT_EQ(log_.cues, std::vector<std::uint32_t>{0});
  EXPECT_TRUE(player_->playing());
  player_->seek(250'000);  // 2.5 s in engine time
  EXPECT_EQ(log_.cues.back(), 2500u) << "the device takes milliseconds";
  EXPECT_FALSE(player_->playing());
  EXPECT_TRUE(player_->paused());
  log_.position = 3'250;
  EXPECT_EQ(player_->poll(), 325'000u);
  const auto& status = *player_->status();
  EXPECT_EQ(+status.measure, 3);
  EXPECT_EQ(+status.position, 3'250u * 192 / 1000);
  EXPECT_EQ(+status.tickInMeasure, 3'250u * 192 / 1000 % 192);
  EXPECT_EQ(+status.playing, 0);
  player_->play();
  player_->poll();
  EXPECT_EQ(+player_->status()->playing, 1);
  EXPECT_EQ(log_.cues.size(), 2u) << "playing goes on from the position without a new cue";
}

TEST_F(WaveSongTest, PauseHoldsAndASpeedChangeRestartsWhereItIs) {
  ASSERT_EQ(load("take.wav"), 0);
  player_->start(settings_, entry_, 0, true);
  EXPECT_FALSE(player_->playing());
  player_->play();
  log_.position = 1'000;
  player_->setSpeed(2);
  EXPECT_EQ(log_.cues.back(), 1'000u);
  EXPECT_TRUE(player_->playing());
  player_->pause();
  EXPECT_FALSE(player_->playing());
  player_->setSpeed(0);
  EXPECT_EQ(log_.cues.size(), 2u) << "a paused wave is not restarted";
}

TEST_F(WaveSongTest, AFileTheDeviceRefusesIsAnOpenErrorWithItsReason) {
  EXPECT_EQ(load("broken.wav"), protocol::kErrOpenFile);
  EXPECT_EQ(player_->waveError(), "truncated: the sample data ends early");
  EXPECT_FALSE(player_->loaded());
  EXPECT_EQ(player_->status(), nullptr);
  ASSERT_EQ(load("take.wav"), 0);
  player_->unload();
  EXPECT_FALSE(player_->loaded());
  EXPECT_EQ(player_->status(), nullptr);
}

}  // namespace
}  // namespace volta::core
