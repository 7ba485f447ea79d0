#include <SDL.h>

#include <cstring>

#include "platform/wave/wave_device.h"

namespace volta::platform::wave {

namespace {

constexpr std::uint16_t kIntegerPcm = 1;
constexpr std::uint16_t kFloatPcm = 3;
constexpr std::size_t kFormatSize = 16;

std::uint16_t u16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

std::uint32_t u32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(u16(at)) | static_cast<std::uint32_t>(u16(at + 2)) << 16;
}

bool isTag(const std::uint8_t* at, const char* tag) {
  return std::memcmp(at, tag, 4) == 0;
}

std::optional<WaveHeader> refuse(std::string& error, std::string reason) {
  error = std::move(reason);
  return std::nullopt;
}

bool supportedEncoding(const WaveHeader& header) {
  if (header.formatTag == kFloatPcm) return header.bitsPerSample == 32;
  const auto bits = header.bitsPerSample;
  return header.formatTag == kIntegerPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
}

// The "fmt " chunk's fields; the reason when they describe nothing playable.
std::optional<std::string> readFormat(std::span<const std::uint8_t> body, WaveHeader& header) {
  if (body.size() < kFormatSize) return "the format chunk is too short";
  header.formatTag = u16(&body[0]);
  header.channels = u16(&body[2]);
  header.sampleRate = u32(&body[4]);
  const std::uint16_t blockAlign = u16(&body[12]);
  header.bitsPerSample = u16(&body[14]);
  if (!supportedEncoding(header))
    return "unsupported sample encoding (format " + std::to_string(header.formatTag) + ", " +
           std::to_string(header.bitsPerSample) + " bits)";
  if (header.channels < 1 || header.channels > 8) return "unsupported channel count " + std::to_string(header.channels);
  if (header.sampleRate < 1000 || header.sampleRate > 384000)
    return "unsupported sample rate " + std::to_string(header.sampleRate);
  if (blockAlign != header.channels * header.bitsPerSample / 8) return "the block size does not match the format";
  return std::nullopt;
}

}  // namespace

std::optional<WaveHeader> readWaveHeader(std::span<const std::uint8_t> bytes, std::string& error) {
  if (bytes.size() < 12 || !isTag(&bytes[0], "RIFF") || !isTag(&bytes[8], "WAVE"))
    return refuse(error, "not a RIFF WAVE file");
  WaveHeader header;
  bool haveFormat = false;
  std::size_t at = 12;
  while (bytes.size() - at >= 8) {
    const std::uint8_t* chunk = &bytes[at];
    const std::size_t size = u32(chunk + 4);
    const std::size_t body = at + 8;
    const bool isData = isTag(chunk, "data");
    if (size > bytes.size() - body)
      return refuse(error, isData ? "truncated: the sample data ends early" : "truncated: a chunk ends early");
    if (isTag(chunk, "fmt ")) {
      if (auto reason = readFormat(bytes.subspan(body, size), header)) return refuse(error, *reason);
      haveFormat = true;
    } else if (isData) {
      if (!haveFormat) return refuse(error, "the sample data comes before the format");
      header.dataOffset = body;
      header.dataSize = size;
      return header;
    }
    at = body + size + (size & 1);
    if (at > bytes.size()) break;
  }
  return refuse(error, haveFormat ? "no sample data" : "no format chunk");
}

std::optional<WaveAudio> decodeWave(std::span<const std::uint8_t> bytes, std::string& error) {
  const auto header = readWaveHeader(bytes, error);
  if (!header) return std::nullopt;
  if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
    error = "the file is too large to play";
    return std::nullopt;
  }
  SDL_AudioSpec loaded{};
  Uint8* buffer = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1, &loaded, &buffer, &length)) {
    error = std::string("unreadable wave file: ") + SDL_GetError();
    return std::nullopt;
  }
  WaveAudio audio;
  audio.frequency = loaded.freq;
  audio.sampleFormat = loaded.format;
  audio.channels = loaded.channels;
  audio.frameBytes = static_cast<std::size_t>(SDL_AUDIO_BITSIZE(loaded.format) / 8) * loaded.channels;
  audio.samples.assign(buffer, buffer + length);
  SDL_FreeWAV(buffer);
  return audio;
}

}  // namespace volta::platform::wave
