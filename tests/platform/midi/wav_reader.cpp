#include "tests/platform/midi/wav_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/support/test_support.h"

namespace volta::platform::midi::test {
namespace {

std::uint32_t littleEndian(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i)
    value |= std::uint32_t{bytes[at + static_cast<std::size_t>(i)]} << (8 * i);
  return value;
}

double meanSquareToRms(double sum, std::size_t count) {
  return count ? std::sqrt(sum / static_cast<double>(count)) : 0;
}

}  // namespace

Wav readWav(const std::filesystem::path& path) {
  const auto bytes = volta::test::readFile(path);
  Wav wav;
  EXPECT_GE(bytes.size(), 44u);
  if (bytes.size() < 44) return wav;
  EXPECT_EQ(std::memcmp(bytes.data(), "RIFF", 4), 0);
  EXPECT_EQ(std::memcmp(bytes.data() + 8, "WAVEfmt ", 8), 0);
  EXPECT_EQ(std::memcmp(bytes.data() + 36, "data", 4), 0);
  EXPECT_EQ(littleEndian(bytes, 4, 4), bytes.size() - 8);
  EXPECT_EQ(littleEndian(bytes, 20, 2), 1u);
  const std::uint32_t dataBytes = littleEndian(bytes, 40, 4);
  EXPECT_EQ(dataBytes, bytes.size() - 44);
  if (dataBytes != bytes.size() - 44) return wav;
  wav.channels = static_cast<std::uint16_t>(littleEndian(bytes, 22, 2));
  wav.sampleRate = littleEndian(bytes, 24, 4);
  wav.bits = static_cast<std::uint16_t>(littleEndian(bytes, 34, 2));
  wav.samples.resize(dataBytes / 2);
  std::memcpy(wav.samples.data(), bytes.data() + 44, wav.samples.size() * 2);
  return wav;
}

double rms(const Wav& wav, std::size_t beginFrame, std::size_t endFrame) {
  double sum = 0;
  const std::size_t begin = beginFrame * wav.channels, end = std::min(endFrame * wav.channels, wav.samples.size());
  for (std::size_t i = begin; i < end; ++i)
    sum += std::pow(wav.samples[i] / 32768.0, 2);
  return meanSquareToRms(sum, end > begin ? end - begin : 0);
}

double rmsDifference(const Wav& a, const Wav& b) {
  EXPECT_EQ(a.samples.size(), b.samples.size());
  const std::size_t n = std::min(a.samples.size(), b.samples.size());
  double sum = 0;
  for (std::size_t i = 0; i < n; ++i)
    sum += std::pow((a.samples[i] - b.samples[i]) / 32768.0, 2);
  return meanSquareToRms(sum, n);
}

}  // namespace volta::platform::midi::test
