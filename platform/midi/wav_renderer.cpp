#include "platform/midi/wav_renderer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/clock.h"
#include "platform/midi/synth_rack.h"

namespace volta::platform::midi {
namespace {

constexpr int kBlockFrames = 512;
constexpr std::uint32_t kHeaderBytes = 44;
// Quieter than the last bit of a 16-bit sample: the synthesizer has gone silent.
constexpr float kSilence = 1.0f / 32768.0f;
// Silent this long at a stretch: a release has ended, not merely paused between echoes.
constexpr std::uint32_t kSilentStretchMs = 100;

void putLittleEndian(std::uint8_t* at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::array<std::uint8_t, kHeaderBytes> wavHeader(std::uint32_t dataBytes) {
  constexpr std::uint32_t kChannels = 2, kBits = 16;
  constexpr std::uint32_t kBlockAlign = kChannels * kBits / 8;
  std::array<std::uint8_t, kHeaderBytes> h{};
  std::memcpy(&h[0], "RIFF", 4);
  putLittleEndian(&h[4], dataBytes + kHeaderBytes - 8, 4);
  std::memcpy(&h[8], "WAVEfmt ", 8);
  putLittleEndian(&h[16], 16, 4);
  putLittleEndian(&h[20], 1, 2);  // PCM
  putLittleEndian(&h[22], kChannels, 2);
  putLittleEndian(&h[24], WavRenderer::kSampleRate, 4);
  putLittleEndian(&h[28], WavRenderer::kSampleRate * kBlockAlign, 4);
  putLittleEndian(&h[32], kBlockAlign, 2);
  putLittleEndian(&h[34], kBits, 2);
  std::memcpy(&h[36], "data", 4);
  putLittleEndian(&h[40], dataBytes, 4);
  return h;
}

std::mutex& rendererMutex() {
  static std::mutex m;
  return m;
}

bool& rendererOpen() {
  static bool open = false;
  return open;
}

std::int16_t toSample(float value) {
  const float scaled = std::clamp(value, -1.0f, 1.0f) * 32767.0f;
  return static_cast<std::int16_t>(std::lround(scaled));
}

}  // namespace

// The renderer's state, shared with the ports that play into it.
class WavRenderer::Sink final : public SynthSink {
 public:
  Sink(std::unique_ptr<SynthRack> rack, std::FILE* file)
      : rack_(std::move(rack)), file_(file), originUs_(clock().nowMicroseconds()) {}
  ~Sink() override { finish(); }

  SynthRack& rack() override { return *rack_; }
  void beforeMessage() override {
    rack_->waitForLoad();
    renderToNow();
  }

  void renderToNow() {
    std::lock_guard lock(mutex_);
    const std::uint64_t now = clock().nowMicroseconds();
    if (now <= originUs_) return;
    const std::uint64_t target = (now - originUs_) * kSampleRate / 1000000 + tailFrames_;
    if (target > frames_) renderFrames(target - frames_);
  }

  void renderMilliseconds(std::uint32_t ms) {
    std::lock_guard lock(mutex_);
    const std::uint64_t extra = std::uint64_t{ms} * kSampleRate / 1000;
    tailFrames_ += extra;
    renderFrames(extra);
  }

  std::uint32_t renderUntilSilent(std::uint32_t maxMs) {
    std::lock_guard lock(mutex_);
    const std::uint64_t limit = std::uint64_t{maxMs} * kSampleRate / 1000;
    const std::uint64_t stretch = std::uint64_t{kSilentStretchMs} * kSampleRate / 1000;
    std::uint64_t rendered = 0, silent = 0;
    while (rendered < limit && silent < stretch && file_) {
      const std::uint64_t n = std::min<std::uint64_t>(kBlockFrames, limit - rendered);
      silent = renderFrames(n) < kSilence ? silent + n : 0;
      rendered += n;
    }
    tailFrames_ += rendered;
    return static_cast<std::uint32_t>(rendered * 1000 / kSampleRate);
  }

  bool finish() {
    std::lock_guard lock(mutex_);
    if (!file_) return ok_;
    // The RIFF lengths are 32-bit: a longer rendering keeps its data but caps the header.
    const std::uint64_t dataBytes = std::min<std::uint64_t>(frames_ * 4, 0xFFFFFFFFu - kHeaderBytes);
    const auto header = wavHeader(static_cast<std::uint32_t>(dataBytes));
    ok_ = ok_ && std::fseek(file_, 0, SEEK_SET) == 0 &&
          std::fwrite(header.data(), 1, header.size(), file_) == header.size();
    ok_ = std::fclose(file_) == 0 && ok_;
    file_ = nullptr;
    return ok_;
  }

  bool writeHeader() {
    const auto header = wavHeader(0);
    return std::fwrite(header.data(), 1, header.size(), file_) == header.size();
  }

  std::uint64_t frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
  }

 private:
  // Returns the loudest sample's magnitude.
  float renderFrames(std::uint64_t count) {
    float peak = 0.0f;
    while (count > 0 && file_) {
      const int n = static_cast<int>(std::min<std::uint64_t>(count, kBlockFrames));
      std::fill(left_.begin(), left_.end(), 0.0f);
      std::fill(right_.begin(), right_.end(), 0.0f);
      rack_->mix(n, left_.data(), right_.data());
      for (int i = 0; i < n; ++i) {
        samples_[2 * i] = toSample(left_[i]);
        samples_[2 * i + 1] = toSample(right_[i]);
        peak = std::max({peak, std::abs(left_[i]), std::abs(right_[i])});
      }
      const auto values = static_cast<std::size_t>(2 * n);
      ok_ = ok_ && std::fwrite(samples_.data(), sizeof(std::int16_t), values, file_) == values;
      frames_ += static_cast<std::uint64_t>(n);
      count -= static_cast<std::uint64_t>(n);
    }
    return peak;
  }

  std::unique_ptr<SynthRack> rack_;
  std::FILE* file_;
  std::uint64_t originUs_;
  std::uint64_t frames_ = 0;
  std::uint64_t tailFrames_ = 0;
  bool ok_ = true;
  mutable std::mutex mutex_;
  std::array<float, kBlockFrames> left_{}, right_{};
  std::array<std::int16_t, 2 * kBlockFrames> samples_{};
};

std::unique_ptr<WavRenderer> WavRenderer::open(const std::string& path, std::string& error,
                                               const std::string& soundFont) {
  std::lock_guard lock(rendererMutex());
  if (rendererOpen()) return error = "another rendering is under way", nullptr;
  const std::string font = soundFont.empty() ? findSoundFont() : soundFont;
  if (font.empty()) return error = "no SoundFont was found", nullptr;
  auto rack = SynthRack::create(font, kSampleRate, error);
  if (!rack) return nullptr;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return error = "cannot create " + path + ": " + std::strerror(errno), nullptr;
  auto sink = std::make_shared<Sink>(std::move(rack), file);
  if (!sink->writeHeader()) return error = "cannot write " + path, nullptr;
  sink->rack().startLoading();
  std::unique_ptr<WavRenderer> renderer(new WavRenderer());
  renderer->sink_ = sink;
  rendererOpen() = true;
  installSynthSink(sink);
  return renderer;
}

// Ports still open keep playing into the finished rendering, which drops their sound.
WavRenderer::~WavRenderer() {
  std::lock_guard lock(rendererMutex());
  installSynthSink(nullptr);
  sink_->finish();
  rendererOpen() = false;
}

void WavRenderer::renderToNow() {
  sink_->renderToNow();
}
void WavRenderer::renderMilliseconds(std::uint32_t ms) {
  sink_->renderMilliseconds(ms);
}
std::uint32_t WavRenderer::renderUntilSilent(std::uint32_t maxMs) {
  return sink_->renderUntilSilent(maxMs);
}
bool WavRenderer::finish() {
  return sink_->finish();
}
std::uint64_t WavRenderer::framesRendered() const {
  return sink_->frames();
}

}  // namespace volta::platform::midi
