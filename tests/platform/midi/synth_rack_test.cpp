// The synthesizer rack while its SoundFont loads: nobody but a note waits for the
// load, and what was sent meanwhile takes effect in order once it is there.

#include "platform/midi/synth_rack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <vector>

namespace volta::platform::midi {
namespace {

constexpr const char* kTimGM6mb = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr int kFrames = 8192;
// FluidSynth's volume 0 still leaves a trace of this size; a sounding note is far above it.
constexpr float kInaudible = 1e-4f;

class SynthRackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kTimGM6mb)) GTEST_SKIP() << kTimGM6mb << " is missing (package timgm6mb-soundfont)";
    std::string error;
    rack = SynthRack::create(kTimGM6mb, 44100, error);
    ASSERT_TRUE(rack) << error;
  }

  void play(std::initializer_list<std::uint8_t> bytes, int port = 0) {
    rack->play(port, AssembledMessage{std::data(bytes), bytes.size(), true});
  }

  // The loudest sample of the next frames.
  float loudest() {
    std::vector<float> left(kFrames), right(kFrames);
    rack->mix(kFrames, left.data(), right.data());
    float peak = 0;
    for (int i = 0; i < kFrames; ++i)
      peak = std::max({peak, std::abs(left[i]), std::abs(right[i])});
    return peak;
  }

  std::unique_ptr<SynthRack> rack;
};

TEST_F(SynthRackTest, ANoteAfterTheLoadSounds) {
  rack->startLoading();
  play({0x90, 60, 100});
  EXPECT_GT(loudest(), 0.01f);
}

// Volume 0 sent before the load must still silence the note that follows it.
TEST_F(SynthRackTest, MessagesSentWhileLoadingTakeEffectBeforeTheFirstNote) {
  play({0xB0, 7, 0});
  rack->startLoading();
  play({0x90, 60, 100});
  EXPECT_LT(loudest(), kInaudible);
}

TEST_F(SynthRackTest, AResetSentWhileLoadingComesBeforeTheNoteThatFollows) {
  rack->resetPort(0);
  rack->startLoading();
  play({0x90, 60, 100});
  EXPECT_GT(loudest(), 0.01f);
  rack->resetPort(0);
  EXPECT_LT(loudest(), 0.05f) << "the note should be released by the reset";
}

// A rack whose sound had nowhere to go never loads: its callers must not hang.
TEST_F(SynthRackTest, ARackThatNeverLoadsNeitherWaitsNorSounds) {
  play({0xC0, 40});
  rack->resetPort(1);
  play({0x90, 60, 100});
  EXPECT_EQ(loudest(), 0.0f);
}

}  // namespace
}  // namespace volta::platform::midi
