#pragma once
// RIFF WAVE files built in tests: integer PCM with a ramp of samples.

#include <cstdint>
#include <string>
#include <vector>

namespace volta::test {

struct WaveFormat {
  std::uint32_t sampleRate = 8000;
  std::uint16_t channels = 1;
  std::uint16_t bits = 16;
  std::uint32_t frames = 8000;
};

inline void putLittle(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline void putTag(std::vector<std::uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<std::uint8_t>(tag[i]));
}

inline std::vector<std::uint8_t> waveFile(const WaveFormat& format) {
  const std::uint32_t blockAlign = format.channels * format.bits / 8u;
  const std::uint32_t dataSize = format.frames * blockAlign;
  std::vector<std::uint8_t> out;
  putTag(out, "RIFF");
  putLittle(out, 36 + dataSize, 4);
  putTag(out, "WAVE");
  putTag(out, "fmt ");
  putLittle(out, 16, 4);
  putLittle(out, 1, 2);
  putLittle(out, format.channels, 2);
  putLittle(out, format.sampleRate, 4);
  putLittle(out, format.sampleRate * blockAlign, 4);
  putLittle(out, blockAlign, 2);
  putLittle(out, format.bits, 2);
  putTag(out, "data");
  putLittle(out, dataSize, 4);
  for (std::uint32_t i = 0; i < dataSize; ++i)
    out.push_back(static_cast<std::uint8_t>(i * 7));
  return out;
}

}  // namespace volta::test
