// volta-play with a wave file: played through the audio device (the library's
// dummy driver here), and refused with the device's reason when none opens.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/test_support.h"
#include "tests/support/wave_writer.h"

namespace volta {
namespace {

class VoltaPlayWave : public ::testing::Test {
 protected:
  // Runs the tool on a short wave file with the audio driver given.
  int play(const std::string& driver, const std::vector<std::uint8_t>& wave) {
    test::writeFile(wave_, wave);
    const std::string command = "SDL_AUDIODRIVER=" + driver + " " + (test::binDir() / "volta-play").string() +
                                " --device Trace --trace " + (dir_ / "trace.txt").string() + " \"" + wave_.string() +
                                "\"" + " > " + out_.string() + " 2> " + err_.string();
    return WEXITSTATUS(std::system(command.c_str()));
  }
  std::string out() const { return test::readText(out_); }
  std::string err() const { return test::readText(err_); }

  test::TempDir dir_;
  std::filesystem::path wave_ = dir_ / "short take.wav";
  std::filesystem::path out_ = dir_ / "out.txt";
  std::filesystem::path err_ = dir_ / "err.txt";
};

TEST_F(VoltaPlayWave, PlaysAWaveFileThroughTheAudioDevice) {
  ASSERT_EQ(play("dummy", test::waveFile({8000, 2, 8, 1600})), 0) << err();
  EXPECT_NE(out().find("Title: short take.wav"), std::string::npos) << out();
  EXPECT_NE(out().find("Length: 00:00, 1 measures"), std::string::npos) << out();
}

TEST_F(VoltaPlayWave, WithoutAnAudioDeviceItSaysSoAndFails) {
  EXPECT_EQ(play("no-such-driver", test::waveFile({8000, 1, 16, 800})), 1);
  EXPECT_NE(err().find("no audio output is available"), std::string::npos) << err();
}

TEST_F(VoltaPlayWave, ATruncatedWaveFileIsRefusedWithItsReason) {
  auto wave = test::waveFile({8000, 1, 16, 800});
  wave.resize(wave.size() - 3);
  EXPECT_EQ(play("dummy", wave), 1);
  EXPECT_NE(err().find("truncated: the sample data ends early"), std::string::npos) << err();
}

}  // namespace
}  // namespace volta
