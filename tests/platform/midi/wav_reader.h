#pragma once
// Reads back the 16-bit stereo WAV files that the renderer writes.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace volta::platform::midi::test {

struct Wav {
  std::uint32_t sampleRate = 0;
  std::uint16_t channels = 0;
  std::uint16_t bits = 0;
  std::vector<std::int16_t> samples;  // interleaved
  std::size_t frames() const { return channels ? samples.size() / channels : 0; }
};

// Fails the calling test (and returns an empty Wav) when the file is not a valid
// PCM WAV whose header lengths agree with its size.
Wav readWav(const std::filesystem::path& path);

// Root mean square of the samples of frames [begin, end), full scale = 1.
double rms(const Wav& wav, std::size_t beginFrame, std::size_t endFrame);
// Root mean square of the difference of two renderings of equal length.
double rmsDifference(const Wav& a, const Wav& b);

}  // namespace volta::platform::midi::test
