#include "platform/wave/wave_device.h"

#include <SDL.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace volta::platform::wave {

namespace {

// Larger than any wave file a play list holds; the samples live in memory.
constexpr std::uintmax_t kLargestFile = INT32_MAX;

// The audio device's queue. Each sink holds the audio subsystem open while it lives.
class DeviceSink : public AudioSink {
 public:
  explicit DeviceSink(SDL_AudioDeviceID device) : device_(device) {}
  ~DeviceSink() override {
    SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  DeviceSink(const DeviceSink&) = delete;
  DeviceSink& operator=(const DeviceSink&) = delete;

  bool queue(std::span<const std::uint8_t> samples) override {
    // The queue takes at most 4 GiB at a call; the file size keeps well below.
    return SDL_QueueAudio(device_, samples.data(), static_cast<Uint32>(samples.size())) == 0;
  }
  std::size_t queuedBytes() const override { return SDL_GetQueuedAudioSize(device_); }
  void clear() override { SDL_ClearQueuedAudio(device_); }
  void setPaused(bool paused) override { SDL_PauseAudioDevice(device_, paused ? 1 : 0); }

 private:
  SDL_AudioDeviceID device_;
};

std::optional<std::vector<std::uint8_t>> readBytes(const std::filesystem::path& file, std::string& error) {
  std::error_code failure;
  const auto size = std::filesystem::file_size(file, failure);
  if (failure) {
    error = "cannot read the file: " + failure.message();
    return std::nullopt;
  }
  if (size > kLargestFile) {
    error = "the file is too large to play";
    return std::nullopt;
  }
  std::ifstream in(file, std::ios::binary);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
    error = "cannot read the file";
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

std::unique_ptr<AudioSink> openAudioSink(const WaveAudio& audio, std::string& error) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    error = std::string("no audio output is available: ") + SDL_GetError();
    return nullptr;
  }
  SDL_AudioSpec wanted{};
  wanted.freq = audio.frequency;
  wanted.format = audio.sampleFormat;
  wanted.channels = audio.channels;
  wanted.samples = 4096;
  // Opened paused; the library converts to whatever the device takes.
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (device == 0) {
    error = std::string("no audio device could be opened: ") + SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  return std::make_unique<DeviceSink>(device);
}

std::unique_ptr<WaveDevice> WaveDevice::open(const std::filesystem::path& file, std::string& error,
                                             const SinkOpener& sink) {
  const auto bytes = readBytes(file, error);
  if (!bytes) return nullptr;
  auto audio = decodeWave(*bytes, error);
  if (!audio) return nullptr;
  auto output = sink(*audio, error);
  if (!output) return nullptr;
  return std::make_unique<WaveDevice>(std::move(*audio), std::move(output));
}

WaveDevice::WaveDevice(WaveAudio audio, std::unique_ptr<AudioSink> sink)
    : audio_(std::move(audio)), sink_(std::move(sink)) {}

std::size_t WaveDevice::frameAt(std::uint32_t ms) const {
  // Rounded up, so that the position of a cued frame reads back as the milliseconds asked for.
  const std::uint64_t frame = (std::uint64_t{ms} * static_cast<std::uint64_t>(audio_.frequency) + 999) / 1000;
  return static_cast<std::size_t>(std::min<std::uint64_t>(frame, audio_.frames()));
}

std::uint32_t WaveDevice::msAt(std::size_t frame) const {
  if (audio_.frequency <= 0) return 0;
  const std::uint64_t ms = std::uint64_t{frame} * 1000 / static_cast<std::uint64_t>(audio_.frequency);
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(ms, UINT32_MAX));
}

bool WaveDevice::cue(std::uint32_t ms) {
  pause();
  sink_->clear();
  startFrame_ = frameAt(ms);
  const auto rest = std::span<const std::uint8_t>(audio_.samples).subspan(startFrame_ * audio_.frameBytes);
  queuedBytes_ = 0;
  if (!rest.empty() && !sink_->queue(rest)) return false;
  queuedBytes_ = rest.size();
  return true;
}

bool WaveDevice::playFrom(std::uint32_t ms) {
  return cue(ms) && resume();
}

void WaveDevice::pause() {
  sink_->setPaused(true);
  paused_ = true;
}

bool WaveDevice::resume() {
  if (sink_->queuedBytes() == 0 && !cue(positionMs())) return false;
  sink_->setPaused(false);
  paused_ = false;
  return true;
}

void WaveDevice::stop() {
  pause();
  sink_->clear();
  startFrame_ = 0;
  queuedBytes_ = 0;
}

std::uint32_t WaveDevice::positionMs() const {
  const std::size_t consumed = queuedBytes_ - std::min(queuedBytes_, sink_->queuedBytes());
  return msAt(startFrame_ + consumed / std::max<std::size_t>(audio_.frameBytes, 1));
}

std::uint32_t WaveDevice::lengthMs() const {
  return msAt(audio_.frames());
}

bool WaveDevice::playing() const {
  return !paused_ && sink_->queuedBytes() > 0;
}

}  // namespace volta::platform::wave
