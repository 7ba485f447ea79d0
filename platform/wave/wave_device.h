#pragma once
// Wave files through the audio device: open, play from a position, pause, resume,
// stop, and the position and length in milliseconds. The position is counted from
// the samples the device has taken out of its queue, so it never runs ahead of what
// was heard and holds still while paused.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace volta::platform::wave {

struct WaveHeader {
  std::uint16_t formatTag = 0;  // 1 integer PCM, 3 floating point
  std::uint16_t channels = 0;
  std::uint32_t sampleRate = 0;
  std::uint16_t bitsPerSample = 0;
  std::size_t dataOffset = 0;
  std::size_t dataSize = 0;
};

// The chunks of a RIFF WAVE file checked before any sample is read; none, with
// the reason in error, for anything that is not a complete PCM wave file.
std::optional<WaveHeader> readWaveHeader(std::span<const std::uint8_t> bytes, std::string& error);

// The samples as the device plays them.
struct WaveAudio {
  int frequency = 0;
  std::uint16_t sampleFormat = 0;  // the audio library's format code
  std::uint8_t channels = 0;
  std::size_t frameBytes = 0;
  std::vector<std::uint8_t> samples;

  std::size_t frames() const { return frameBytes ? samples.size() / frameBytes : 0; }
};

// The header check, then decoding; none with the reason in error.
std::optional<WaveAudio> decodeWave(std::span<const std::uint8_t> bytes, std::string& error);

// Where samples go: the audio device's queue, or a stand-in in tests.
class AudioSink {
 public:
  virtual ~AudioSink() = default;
  virtual bool queue(std::span<const std::uint8_t> samples) = 0;
  // Bytes queued and not yet taken by the device.
  virtual std::size_t queuedBytes() const = 0;
  virtual void clear() = 0;
  virtual void setPaused(bool paused) = 0;
};

using SinkOpener = std::function<std::unique_ptr<AudioSink>(const WaveAudio& audio, std::string& error)>;

// The default audio output; none, with the reason, when no device opens.
std::unique_ptr<AudioSink> openAudioSink(const WaveAudio& audio, std::string& error);

class WaveDevice {
 public:
  // None, with the reason in error, for an unreadable or malformed file or when no audio device opens.
  static std::unique_ptr<WaveDevice> open(const std::filesystem::path& file, std::string& error,
                                          const SinkOpener& sink = openAudioSink);
  WaveDevice(WaveAudio audio, std::unique_ptr<AudioSink> sink);

  // Holds at a position (milliseconds, clamped to the length), paused.
  bool cue(std::uint32_t ms);
  bool playFrom(std::uint32_t ms);
  void pause();
  // Goes on from the position; after a stop, from the start.
  bool resume();
  // Silence, back to the start.
  void stop();

  std::uint32_t positionMs() const;
  std::uint32_t lengthMs() const;
  std::uint32_t sampleRate() const { return static_cast<std::uint32_t>(audio_.frequency); }
  // Not paused, and samples are still waiting for the device.
  bool playing() const;

 private:
  std::size_t frameAt(std::uint32_t ms) const;
  std::uint32_t msAt(std::size_t frame) const;

  WaveAudio audio_;
  std::unique_ptr<AudioSink> sink_;
  std::size_t startFrame_ = 0;   // where the queue began
  std::size_t queuedBytes_ = 0;  // what was queued from there
  bool paused_ = true;
};

}  // namespace volta::platform::wave
