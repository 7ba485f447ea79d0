// The software synthesizer rendered to WAV files on a manual clock: sound appears
// at the clock times of the messages, and GS resets and bank selects take effect.

#include "platform/midi/software_synth.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <functional>

#include "platform/clock.h"
#include "platform/midi/wav_renderer.h"
#include "tests/platform/midi/jack_server.h"
#include "tests/platform/midi/wav_reader.h"
#include "tests/support/test_support.h"

namespace volta::platform::midi {
namespace {

constexpr const char* kTimGM6mb = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr std::size_t frames(std::size_t ms) {
  return ms * WavRenderer::kSampleRate / 1000;
}

using Script = std::function<void(OutputDevice&, ManualClock&)>;

class SoftwareSynthTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kTimGM6mb)) GTEST_SKIP() << kTimGM6mb << " is missing (package timgm6mb-soundfont)";
    setSoundFontSetting(kTimGM6mb);
    installClock(&clock);
  }
  void TearDown() override {
    installClock(nullptr);
    setSoundFontSetting("");
  }

  // Runs the script on port A of the synthesizer, rendering up to totalMs.
  test::Wav render(const Script& script, std::uint64_t totalMs, const std::string& name = "render.wav") {
    const auto path = dir / name;
    clock.setMicroseconds(5000000);  // any origin: the renderer starts its file at the present time
    std::string error;
    auto renderer = WavRenderer::open(path.string(), error);
    EXPECT_TRUE(renderer) << error;
    if (!renderer) return {};
    const std::uint64_t start = clock.nowMicroseconds();
    {
      auto synth = openOutputDevice(findOutputDevice(kSoftwareSynthName), 0);
      EXPECT_TRUE(synth);
      if (synth) script(*synth, clock);
    }
    clock.setMicroseconds(start + totalMs * 1000);
    renderer->renderToNow();
    EXPECT_TRUE(renderer->finish());
    return test::readWav(path);
  }

  ManualClock clock;
  volta::test::TempDir dir;
};

void send(OutputDevice& device, std::initializer_list<std::uint8_t> bytes) {
  EXPECT_EQ(device.sendLong(std::data(bytes), bytes.size()), SendResult::Ok);
}

const std::initializer_list<std::uint8_t> kGsReset = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};

TEST_F(SoftwareSynthTest, SoundStartsAtTheClockTimeOfTheNote) {
  const auto wav = render(
      [](OutputDevice& synth, ManualClock& clock) {
        clock.advanceMilliseconds(500);
        EXPECT_EQ(synth.sendShort(0x7F3C90), SendResult::Ok);
        clock.advanceMilliseconds(500);
        EXPECT_EQ(synth.sendShort(0x003C80), SendResult::Ok);
      },
      1500);
  ASSERT_EQ(wav.channels, 2);
  EXPECT_EQ(wav.bits, 16);
  EXPECT_EQ(wav.sampleRate, 44100u);
  EXPECT_EQ(wav.frames(), frames(1500));
  EXPECT_EQ(test::rms(wav, 0, frames(490)), 0.0);
  EXPECT_GT(test::rms(wav, frames(500), frames(1000)), 0.01);
}

// The release of the last note is rendered whole, and the file stops once it has faded.
TEST_F(SoftwareSynthTest, TheTailRunsUntilTheSynthesizerIsSilent) {
  const auto path = dir / "tail.wav";
  clock.setMicroseconds(5000000);
  std::string error;
  auto renderer = WavRenderer::open(path.string(), error);
  ASSERT_TRUE(renderer) << error;
  std::uint32_t tail = 0;
  {
    auto synth = openOutputDevice(findOutputDevice(kSoftwareSynthName), 0);
    ASSERT_TRUE(synth);
    EXPECT_EQ(synth->sendShort(0x7F3C90), SendResult::Ok);
    clock.advanceMilliseconds(500);
    EXPECT_EQ(synth->sendShort(0x003C80), SendResult::Ok);
    renderer->renderToNow();
    tail = renderer->renderUntilSilent(5000);
  }
  EXPECT_GT(tail, 100u);
  EXPECT_LT(tail, 5000u);
  EXPECT_TRUE(renderer->finish());
  const auto wav = test::readWav(path);
  EXPECT_GT(test::rms(wav, frames(500), frames(550)), 0.001);  // the release sounds
  EXPECT_LT(test::rms(wav, wav.frames() - frames(50), wav.frames()), 1.0 / 32768);
}

TEST_F(SoftwareSynthTest, AGsResetWithBankSelectAndProgramChangeChangesTheSound) {
  auto drums = [](bool tr808) {
    return [tr808](OutputDevice& synth, ManualClock& clock) {
      if (tr808) {
        send(synth, kGsReset);
        clock.advanceMilliseconds(50);
        synth.sendShort(0x0000B9);  // bank select MSB 0 on the rhythm channel
        synth.sendShort(0x19C9);    // program 26: the TR-808 set
      }
      clock.setMicroseconds(5000000 + 100000);
      for (std::uint32_t note : {36u, 38u, 42u})
        synth.sendShort(0x7F0099 | note << 8);
    };
  };
  const auto standard = render(drums(false), 800, "standard.wav");
  const auto tr808 = render(drums(true), 800, "tr808.wav");
  ASSERT_GT(test::rms(standard, 0, standard.frames()), 0.01);
  ASSERT_GT(test::rms(tr808, 0, tr808.frames()), 0.01);
  EXPECT_GT(test::rmsDifference(standard, tr808), 0.01);
}

TEST_F(SoftwareSynthTest, TheGsResetIsHonouredAndRestoresTheDefaultProgram) {
  auto note = [](bool violin, bool reset) {
    return [violin, reset](OutputDevice& synth, ManualClock& clock) {
      if (violin) synth.sendShort(0x28C0);
      if (reset) {
        for (std::uint8_t byte : kGsReset)
          synth.sendLong(&byte, 1);  // byte by byte, as templates send it
      }
      clock.setMicroseconds(5000000 + 100000);
      synth.sendShort(0x604590);
    };
  };
  const auto piano = render(note(false, false), 700, "piano.wav");
  const auto violin = render(note(true, false), 700, "violin.wav");
  const auto resetPiano = render(note(false, true), 700, "reset-piano.wav");
  const auto resetViolin = render(note(true, true), 700, "reset-violin.wav");
  const double programDifference = test::rmsDifference(piano, violin);
  EXPECT_GT(programDifference, 0.005);
  // Had the reset been ignored, the violin would still play.
  EXPECT_LT(test::rmsDifference(resetPiano, resetViolin), programDifference / 10);
}

TEST_F(SoftwareSynthTest, PortsAreSeparateModules) {
  // Port B's GS reset must not undo port A's program.
  const auto path = dir / "ports.wav";
  clock.setMicroseconds(0);
  std::string error;
  auto renderer = WavRenderer::open(path.string(), error);
  ASSERT_TRUE(renderer) << error;
  const auto id = findOutputDevice(kSoftwareSynthName);
  auto a = openOutputDevice(id, 0), b = openOutputDevice(id, 1);
  ASSERT_TRUE(a && b);
  a->sendShort(0x28C0);
  b->sendLong(std::data(kGsReset), kGsReset.size());
  a->sendShort(0x604590);
  clock.advanceMilliseconds(600);
  renderer->renderToNow();
  a.reset();
  b.reset();
  renderer.reset();
  const auto ports = test::readWav(path);

  const auto violin = render(
      [](OutputDevice& synth, ManualClock& clock) {
        synth.sendShort(0x28C0);
        clock.setMicroseconds(5000000);
        synth.sendShort(0x604590);
      },
      600, "violin.wav");
  EXPECT_LT(test::rmsDifference(ports, violin), 0.001);
}

TEST_F(SoftwareSynthTest, OnlyOneRenderingAtATimeAndAMissingSoundFontIsTold) {
  std::string error;
  auto first = WavRenderer::open((dir / "a.wav").string(), error);
  ASSERT_TRUE(first) << error;
  EXPECT_EQ(WavRenderer::open((dir / "b.wav").string(), error), nullptr);
  EXPECT_EQ(error, "another rendering is under way");
  first.reset();
  EXPECT_EQ(WavRenderer::open((dir / "c.wav").string(), error, (dir / "none.sf2").string()), nullptr);
  EXPECT_NE(error.find("none.sf2"), std::string::npos) << error;
  EXPECT_EQ(WavRenderer::open((dir / "missing" / "d.wav").string(), error), nullptr);
  EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
}

// The SoundFont loads behind the scenes: a file that is no SoundFont is refused at once,
// and one that only starts like a SoundFont leaves its notes silent instead of hanging them.
TEST_F(SoftwareSynthTest, AFileThatIsNoSoundFontIsRefusedAtOnceAndABrokenOneStaysSilent) {
  std::string error;
  volta::test::writeFile(dir / "text.sf2", {'n', 'o', 't', ' ', 'a', ' ', 'S', 'o', 'u', 'n', 'd', 'F', 'o', 'n', 't'});
  EXPECT_EQ(WavRenderer::open((dir / "a.wav").string(), error, (dir / "text.sf2").string()), nullptr);
  EXPECT_NE(error.find("text.sf2"), std::string::npos) << error;

  volta::test::writeFile(dir / "broken.sf2", {'R', 'I', 'F', 'F', 100, 0, 0, 0, 's', 'f', 'b', 'k', 'L', 'I'});
  auto renderer = WavRenderer::open((dir / "b.wav").string(), error, (dir / "broken.sf2").string());
  ASSERT_TRUE(renderer) << error;
  const auto synth = openOutputDevice(findOutputDevice(kSoftwareSynthName), 0);
  ASSERT_TRUE(synth);
  EXPECT_EQ(synth->sendShort(0x7F3C90), SendResult::Ok);
  renderer->renderMilliseconds(200);
  ASSERT_TRUE(renderer->finish());
}

TEST_F(SoftwareSynthTest, TheSettingComesBeforeTheVariableAndTheStandardPaths) {
  const auto mine = dir / "mine.sf2";
  volta::test::writeFile(mine, {0});
  setenv(kSoundFontEnvironmentVariable, mine.c_str(), 1);
  setSoundFontSetting("");
  EXPECT_EQ(findSoundFont(), mine.string());
  setSoundFontSetting(kTimGM6mb);
  EXPECT_EQ(findSoundFont(), kTimGM6mb);
  // The engine library's copy of the device layer sees the setting through the environment.
  EXPECT_STREQ(std::getenv(kSoundFontSettingVariable), kTimGM6mb);
  setSoundFontSetting((dir / "gone.sf2").string());  // a stale setting falls back
  EXPECT_EQ(findSoundFont(), mine.string());
  unsetenv(kSoundFontEnvironmentVariable);
  EXPECT_NE(findSoundFont(), mine.string());
  EXPECT_FALSE(findSoundFont().empty());
  setSoundFontSetting("");
  EXPECT_EQ(std::getenv(kSoundFontSettingVariable), nullptr);
}

TEST_F(SoftwareSynthTest, WithoutAnAudioOutputTheDeviceSaysSo) {
  installClock(nullptr);
  test::useAbsentJackServer();
  auto synth = openOutputDevice(findOutputDevice(kSoftwareSynthName), 0);
  if (synth) {
    EXPECT_EQ(softwareSynthError(), "");  // this machine has sound
  } else {
    EXPECT_NE(softwareSynthError().find("no audio output could be opened"), std::string::npos) << softwareSynthError();
  }
}

}  // namespace
}  // namespace volta::platform::midi
