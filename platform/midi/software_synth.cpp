#include "platform/midi/software_synth.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/midi/audio_systems.h"
#include "platform/midi/message_assembler.h"
#include "platform/midi/synth_rack.h"

namespace volta::platform::midi {
namespace {

// The audio systems tried after FluidSynth's default one, in order of preference.
constexpr const char* kAudioDrivers[] = {"pulseaudio", "alsa", "jack", "sdl2", "oss"};

constexpr double kAudioSampleRate = 44100;

// FluidSynth keeps exclusives short; longer pieces are of no use to it.
constexpr std::size_t kSynthExclusiveLimit = 1024;

struct State {
  std::mutex mutex;
  std::string lastError;
  std::shared_ptr<SynthSink> installedSink;
  std::weak_ptr<SynthSink> audioOutput;
};

State& state() {
  static State s;
  return s;
}

// The rack mixed into whichever audio output FluidSynth manages to open.
class AudioOutput final : public SynthSink {
 public:
  static std::shared_ptr<SynthSink> open(const std::string& soundFont, std::string& error) {
    auto output = std::shared_ptr<AudioOutput>(new AudioOutput());
    output->rack_ = SynthRack::create(soundFont, kAudioSampleRate, error);
    if (!output->rack_) return nullptr;
    if (!output->startDriver(error)) return nullptr;
    output->rack_->startLoading();
    return output;
  }

  ~AudioOutput() override {
    if (driver_) delete_fluid_audio_driver(driver_);
  }

  SynthRack& rack() override { return *rack_; }

 private:
  AudioOutput() = default;

  bool startDriver(std::string& error) {
    quietAudioLibraryLogs();
    fluid_settings_t* settings = rack_->settings();
    char* preferred = nullptr;
    fluid_settings_dupstr(settings, "audio.driver", &preferred);
    std::vector<std::string> drivers{preferred ? preferred : ""};
    fluid_free(preferred);
    for (const char* name : kAudioDrivers) {
      if (drivers.front() != name) drivers.emplace_back(name);
    }
    std::string tried;
    std::string lastFailure;
    for (const auto& name : drivers) {
      if (name == "jack" && !jackServerRunning()) continue;  // FluidSynth would start a server
      if (fluid_settings_setstr(settings, "audio.driver", name.c_str()) != FLUID_OK) continue;
      driver_ = new_fluid_audio_driver2(settings, &AudioOutput::render, this);
      if (driver_) return true;
      tried += (tried.empty() ? "" : ", ") + name;
      if (auto failure = takeSynthLogError(); !failure.empty()) lastFailure = failure;
    }
    error = "no audio output could be opened (tried " + tried + (lastFailure.empty() ? "" : "; " + lastFailure) +
            "); the songs can still be rendered to a WAV file";
    return false;
  }

  static int render(void* data, int frames, int nfx, float* fx[], int nout, float* out[]) {
    for (int i = 0; i < nfx; ++i)
      std::memset(fx[i], 0, sizeof(float) * static_cast<std::size_t>(frames));
    for (int i = 0; i < nout; ++i)
      std::memset(out[i], 0, sizeof(float) * static_cast<std::size_t>(frames));
    if (nout >= 2) static_cast<AudioOutput*>(data)->rack_->mix(frames, out[0], out[1]);
    return FLUID_OK;
  }

  std::unique_ptr<SynthRack> rack_;
  fluid_audio_driver_t* driver_ = nullptr;
};

class SoftwareSynthDevice final : public AssemblingOutputDevice {
 public:
  SoftwareSynthDevice(std::shared_ptr<SynthSink> sink, int port)
      : AssemblingOutputDevice(kSynthExclusiveLimit,
                               [this](const AssembledMessage& m) {
                                 sink_->beforeMessage();
                                 sink_->rack().play(port_, m);
                               }),
        sink_(std::move(sink)),
        port_(port) {}

 private:
  void resetDevice() override {
    sink_->beforeMessage();
    sink_->rack().resetPort(port_);
  }

  std::shared_ptr<SynthSink> sink_;
  int port_;
};

// The installed sink, else the shared audio output (opened by the first port).
std::shared_ptr<SynthSink> acquireSink(const std::string& soundFont, std::string& error) {
  auto& s = state();
  if (s.installedSink) return s.installedSink;
  if (auto output = s.audioOutput.lock()) return output;
  auto output = AudioOutput::open(soundFont, error);
  s.audioOutput = output;
  return output;
}

std::unique_ptr<OutputDevice> openSoftwareSynth(const std::string& soundFont, int port) {
  if (port < 0 || port >= kSynthPorts) return nullptr;
  std::lock_guard lock(state().mutex);
  std::string error;
  auto sink = acquireSink(soundFont, error);
  state().lastError = error;
  if (!sink) {
    std::fprintf(stderr, "%s: %s\n", kSoftwareSynthName, error.c_str());
    return nullptr;
  }
  return std::make_unique<SoftwareSynthDevice>(std::move(sink), port);
}

class SoftwareSynthBackend final : public OutputBackend {
 public:
  void enumerate(std::vector<OutputDeviceEntry>& list) override {
    const std::string soundFont = findSoundFont();
    if (soundFont.empty()) return;
    list.push_back({kSoftwareSynthName, DeviceKind::SoftwareSynth,
                    [soundFont](int port) { return openSoftwareSynth(soundFont, port); }});
  }
};

}  // namespace

std::shared_ptr<OutputBackend> softwareSynthBackend() {
  return std::make_shared<SoftwareSynthBackend>();
}

std::string softwareSynthError() {
  std::lock_guard lock(state().mutex);
  return state().lastError;
}

void installSynthSink(std::shared_ptr<SynthSink> sink) {
  std::lock_guard lock(state().mutex);
  state().installedSink = std::move(sink);
}

}  // namespace volta::platform::midi
