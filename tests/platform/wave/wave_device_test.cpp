// Wave files through the wave device: the header check and its refusals, length,
// play from a position, pause and resume, stop, on a queue whose consumption the
// test controls; and the real audio output on the library's dummy driver.

#include "platform/wave/wave_device.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/test_support.h"
#include "tests/support/wave_writer.h"

namespace volta::platform::wave {
namespace {

// A queue that the test drains by hand.
struct QueueState {
  std::size_t queued = 0;
  bool paused = true;
};

class ManualSink : public AudioSink {
 public:
  explicit ManualSink(QueueState& state) : state_(state) {}
  bool queue(std::span<const std::uint8_t> samples) override {
    state_.queued += samples.size();
    return true;
  }
  std::size_t queuedBytes() const override { return state_.queued; }
  void clear() override { state_.queued = 0; }
  void setPaused(bool paused) override { state_.paused = paused; }

 private:
  QueueState& state_;
};

class WaveDeviceTest : public ::testing::Test {
 protected:
  std::unique_ptr<WaveDevice> open(const test::WaveFormat& format) {
    const auto file = dir_ / "take.wav";
    test::writeFile(file, test::waveFile(format));
    frameBytes_ = format.channels * format.bits / 8u;
    auto device = WaveDevice::open(
        file, error_, [this](const WaveAudio&, std::string&) { return std::make_unique<ManualSink>(queue_); });
    EXPECT_NE(device, nullptr) << error_;
    return device;
  }
  // The device takes this long of sound out of its queue, unless paused.
  void consume(std::uint32_t ms, std::uint32_t rate = 8000) {
    if (queue_.paused) return;
    queue_.queued -= std::min<std::size_t>(queue_.queued, std::size_t{ms} * rate / 1000 * frameBytes_);
  }

  test::TempDir dir_;
  QueueState queue_;
  std::size_t frameBytes_ = 0;
  std::string error_;
};

TEST_F(WaveDeviceTest, LengthInMillisecondsForEveryLayout) {
  for (const test::WaveFormat format :
       {test::WaveFormat{8000, 1, 8, 12000}, test::WaveFormat{8000, 2, 8, 4000},
        test::WaveFormat{22050, 1, 16, 22050 * 3}, test::WaveFormat{44100, 2, 16, 441}}) {
    auto device = open(format);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->lengthMs(), std::uint64_t{format.frames} * 1000 / format.sampleRate)
        << format.channels << " channels, " << format.bits << " bits";
    EXPECT_EQ(device->sampleRate(), format.sampleRate);
    EXPECT_FALSE(device->playing());
    EXPECT_EQ(device->positionMs(), 0u);
  }
}

TEST_F(WaveDeviceTest, PlaysFromAPositionAndCountsWhatTheDeviceTook) {
  auto device = open({8000, 2, 16, 8000 * 4});
  ASSERT_TRUE(device->playFrom(1500));
  EXPECT_TRUE(device->playing());
  EXPECT_FALSE(queue_.paused);
  EXPECT_EQ(device->positionMs(), 1500u);
  EXPECT_EQ(queue_.queued, std::size_t{8000} * 25 / 10 * 4);  // the 2.5 s after the position
  consume(250);
  EXPECT_EQ(device->positionMs(), 1750u);
  consume(5000);
  EXPECT_EQ(device->positionMs(), 4000u);
  EXPECT_FALSE(device->playing()) << "the end of the file ends the playing";
}

TEST_F(WaveDeviceTest, PauseAndResumeKeepThePosition) {
  auto device = open({8000, 1, 8, 8000 * 3});
  ASSERT_TRUE(device->playFrom(0));
  consume(600);
  device->pause();
  EXPECT_FALSE(device->playing());
  consume(900);  // nothing is taken while paused
  EXPECT_EQ(device->positionMs(), 600u);
  ASSERT_TRUE(device->resume());
  EXPECT_TRUE(device->playing());
  EXPECT_EQ(device->positionMs(), 600u);
  consume(400);
  EXPECT_EQ(device->positionMs(), 1000u);
}

TEST_F(WaveDeviceTest, CueHoldsPausedAndPositionsPastTheEndStopAtTheEnd) {
  auto device = open({8000, 1, 16, 8000 * 2});
  ASSERT_TRUE(device->cue(700));
  EXPECT_TRUE(queue_.paused);
  EXPECT_FALSE(device->playing());
  EXPECT_EQ(device->positionMs(), 700u);
  ASSERT_TRUE(device->cue(60'000));
  EXPECT_EQ(device->positionMs(), 2000u);
  EXPECT_EQ(queue_.queued, 0u);
}

TEST_F(WaveDeviceTest, StopSilencesAndGoesBackToTheStart) {
  auto device = open({8000, 2, 8, 8000 * 2});
  ASSERT_TRUE(device->playFrom(500));
  consume(300);
  device->stop();
  EXPECT_FALSE(device->playing());
  EXPECT_TRUE(queue_.paused);
  EXPECT_EQ(queue_.queued, 0u);
  EXPECT_EQ(device->positionMs(), 0u);
  ASSERT_TRUE(device->resume());
  EXPECT_TRUE(device->playing());
  EXPECT_EQ(queue_.queued, std::size_t{8000} * 2 * 2) << "after a stop, play starts from the beginning";
}

// The header check's refusals, each with its reason.
struct BadWave {
  const char* what;
  std::vector<std::uint8_t> bytes;
  const char* reason;
};

std::vector<std::uint8_t> patched(std::size_t at, std::vector<std::uint8_t> with, std::size_t cut = 0) {
  auto bytes = test::waveFile({8000, 1, 16, 100});
  std::copy(with.begin(), with.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
  bytes.resize(bytes.size() - cut);
  return bytes;
}

std::vector<std::uint8_t> prefix(std::size_t count) {
  auto bytes = test::waveFile({8000, 1, 16, 100});
  bytes.resize(count);
  return bytes;
}

TEST(WaveHeader, RefusesBadAndTruncatedFiles) {
  const std::vector<BadWave> cases = {
      {"empty", {}, "not a RIFF WAVE file"},
      {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '!'}, "not a RIFF WAVE file"},
      {"cut in the samples", patched(0, {}, 11), "truncated: the sample data ends early"},
      {"cut in the format", prefix(30), "truncated: a chunk ends early"},
      {"no data", prefix(36), "no sample data"},
      {"compressed", patched(20, {2, 0}), "unsupported sample encoding (format 2, 16 bits)"},
      {"12 bits", patched(34, {12, 0}), "unsupported sample encoding (format 1, 12 bits)"},
      {"no channels", patched(22, {0, 0}), "unsupported channel count 0"},
      {"rate 0", patched(24, {0, 0, 0, 0}), "unsupported sample rate 0"},
      {"wrong block", patched(32, {4, 0}), "the block size does not match the format"},
      {"data first", patched(12, {'d', 'a', 't', 'a'}), "the sample data comes before the format"},
  };
  for (const auto& bad : cases) {
    std::string error;
    EXPECT_FALSE(decodeWave(bad.bytes, error)) << bad.what;
    EXPECT_EQ(error, bad.reason) << bad.what;
  }
}

TEST(WaveHeader, SkipsOtherChunksAndFindsTheSamples) {
  auto bytes = test::waveFile({8000, 2, 16, 10});
  // A "LIST" chunk of odd size (with its pad byte) between the format and the samples.
  const std::vector<std::uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  bytes.insert(bytes.begin() + 36, list.begin(), list.end());
  std::string error;
  const auto header = readWaveHeader(bytes, error);
  ASSERT_TRUE(header) << error;
  EXPECT_EQ(header->dataOffset, 36u + list.size() + 8);
  EXPECT_EQ(header->dataSize, 40u);
  const auto audio = decodeWave(bytes, error);
  ASSERT_TRUE(audio) << error;
  EXPECT_EQ(audio->frames(), 10u);
  EXPECT_EQ(audio->channels, 2);
}

TEST(WaveDeviceOpen, AMissingFileOrABadOneIsRefusedWithItsReason) {
  test::TempDir dir;
  std::string error;
  EXPECT_EQ(WaveDevice::open(dir / "none.wav", error), nullptr);
  EXPECT_NE(error.find("cannot read the file"), std::string::npos) << error;
  auto cut = test::waveFile({8000, 1, 8, 100});
  cut.resize(cut.size() - 1);
  test::writeFile(dir / "cut.wav", cut);
  EXPECT_EQ(WaveDevice::open(dir / "cut.wav", error), nullptr);
  EXPECT_EQ(error, "truncated: the sample data ends early");
}

// The real audio output, with the audio driver chosen through the environment.
class AudioOutput : public ::testing::Test {
 protected:
  void TearDown() override { unsetenv("SDL_AUDIODRIVER"); }
  std::filesystem::path file() {
    const auto path = dir_ / "take.wav";
    test::writeFile(path, test::waveFile({22050, 2, 16, 22050 * 2}));
    return path;
  }
  test::TempDir dir_;
};

TEST_F(AudioOutput, WithoutAnAudioDeviceOpeningFailsWithAClearReason) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  std::string error;
  EXPECT_EQ(WaveDevice::open(file(), error), nullptr);
  EXPECT_EQ(error.rfind("no audio output is available: ", 0), 0u) << error;
}

TEST_F(AudioOutput, TheDummyDriverHoldsThePositionWhilePaused) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::string error;
  auto device = WaveDevice::open(file(), error);
  if (!device) GTEST_SKIP() << "the dummy audio driver is not available: " << error;
  EXPECT_EQ(device->lengthMs(), 2000u);
  ASSERT_TRUE(device->cue(1250));
  EXPECT_EQ(device->positionMs(), 1250u);
  EXPECT_FALSE(device->playing());
  ASSERT_TRUE(device->resume());
  device->pause();
  const std::uint32_t held = device->positionMs();
  EXPECT_GE(held, 1250u);
  EXPECT_LE(held, 2000u);
  EXPECT_EQ(device->positionMs(), held);
  device->stop();
  EXPECT_EQ(device->positionMs(), 0u);
}

}  // namespace
}  // namespace volta::platform::wave
