#include "platform/midi/synth_rack.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <utility>

namespace volta::platform::midi {
namespace {

// FluidSynth honours GS and XG reset exclusives only for this device id.
constexpr int kExclusiveDeviceId = 16;

// Messages held while the SoundFont loads; beyond this many, the sender waits.
constexpr std::size_t kHeldLimit = 4096;

struct SynthLog {
  std::mutex mutex;
  std::string lastError;
};

SynthLog& synthLog() {
  static SynthLog log;
  return log;
}

void keepError(int, const char* message, void*) {
  std::lock_guard lock(synthLog().mutex);
  synthLog().lastError = message ? message : "";
}

void ignoreMessage(int, const char*, void*) {}

void routeSynthLog() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int level : {FLUID_PANIC, FLUID_ERR})
      fluid_set_log_function(level, keepError, nullptr);
    for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG})
      fluid_set_log_function(level, ignoreMessage, nullptr);
  });
}

// The RIFF "sfbk" header, checked at once so that a file that is no SoundFont is refused
// before the synthesizer is offered as open.
bool looksLikeSoundFont(const std::string& path) {
  char header[12] = {};
  std::ifstream in(path, std::ios::binary);
  return in.read(header, sizeof header) && std::memcmp(header, "RIFF", 4) == 0 &&
         std::memcmp(header + 8, "sfbk", 4) == 0;
}

}  // namespace

std::string takeSynthLogError() {
  std::lock_guard lock(synthLog().mutex);
  return std::exchange(synthLog().lastError, std::string());
}

std::unique_ptr<SynthRack> SynthRack::create(const std::string& soundFont, double sampleRate, std::string& error) {
  routeSynthLog();
  std::unique_ptr<SynthRack> rack(new SynthRack());
  rack->sampleRate_ = sampleRate;
  rack->settings_ = new_fluid_settings();
  if (!rack->settings_) return error = "FluidSynth could not be initialised", nullptr;
  fluid_settings_setnum(rack->settings_, "synth.sample-rate", sampleRate);
  fluid_settings_setint(rack->settings_, "synth.device-id", kExclusiveDeviceId);
  fluid_settings_setstr(rack->settings_, "synth.midi-bank-select", "gs");
  fluid_settings_setint(rack->settings_, "audio.jack.autoconnect", 1);
  fluid_settings_setstr(rack->settings_, "audio.jack.id", "VOLTA Player");
  // Samples are read when a program first needs them: a large SoundFont no longer holds
  // up the start for seconds, and only the instruments a song uses take memory.
  fluid_settings_setint(rack->settings_, "synth.dynamic-sample-loading", 1);
  if (!looksLikeSoundFont(soundFont)) return error = "the SoundFont " + soundFont + " could not be loaded", nullptr;
  for (auto& synth : rack->synths_) {
    synth = new_fluid_synth(rack->settings_);
    if (!synth) return error = "FluidSynth could not make a synthesizer", nullptr;
  }
  rack->soundFont_ = soundFont;
  return rack;
}

void SynthRack::startLoading() {
  if (!loader_.joinable()) loader_ = std::thread([this] { load(); });
}

void SynthRack::waitForLoad() {
  std::unique_lock lock(loadMutex_);
  if (loader_.joinable()) loadDone_.wait(lock, [this] { return loadFinished_; });
}

void SynthRack::load() {
  bool ok = true;
  for (auto* synth : synths_)
    ok = ok && fluid_synth_sfload(synth, soundFont_.c_str(), 1) != FLUID_FAILED;
  if (!ok) std::fprintf(stderr, "Software synthesizer: the SoundFont %s could not be loaded\n", soundFont_.c_str());
  std::lock_guard lock(loadMutex_);
  if (ok) playHeld();
  held_.clear();
  loadFinished_ = true;
  loaded_ = ok;
  loadDone_.notify_all();
}

void SynthRack::playHeld() {
  for (const Held& held : held_) {
    if (held.bytes.empty()) {
      resetNow(held.port);
    } else {
      playNow(held.port, held.bytes.data(), held.bytes.size());
    }
  }
}

bool SynthRack::hold(int port, const std::uint8_t* bytes, std::size_t count) {
  {
    std::lock_guard lock(loadMutex_);
    if (loadFinished_) return false;
    const bool startsNote = count >= 3 && (bytes[0] & 0xF0) == 0x90 && bytes[2] != 0;
    if (!startsNote && held_.size() < kHeldLimit) {
      held_.push_back({port, std::vector<std::uint8_t>(bytes, bytes + count)});
      return true;
    }
    if (!loader_.joinable()) return true;  // never started: nothing will load
  }
  waitForLoad();
  return false;
}

SynthRack::~SynthRack() {
  if (loader_.joinable()) loader_.join();
  for (auto* synth : synths_) {
    if (synth) delete_fluid_synth(synth);
  }
  if (settings_) delete_fluid_settings(settings_);
}

void SynthRack::play(int port, const AssembledMessage& message) {
  if (port < 0 || port >= kSynthPorts || !message.complete || message.count == 0) return;
  if (!loaded_ && (hold(port, message.bytes, message.count) || !loaded_)) return;
  playNow(port, message.bytes, message.count);
}

void SynthRack::playNow(int port, const std::uint8_t* bytes, std::size_t count) {
  fluid_synth_t* synth = synths_[static_cast<std::size_t>(port)];
  active_[static_cast<std::size_t>(port)] = true;
  const std::uint8_t status = bytes[0];
  if (status == 0xF0) {
    if (count < 3) return;
    // FluidSynth takes the exclusive without its F0 and F7.
    fluid_synth_sysex(synth, reinterpret_cast<const char*>(bytes + 1), static_cast<int>(count - 2), nullptr, nullptr,
                      nullptr, 0);
  } else if (status == 0xFF) {
    fluid_synth_system_reset(synth);
  } else if (status < 0xF0) {
    playChannelMessage(synth, bytes, count);
  }
}

void SynthRack::playChannelMessage(fluid_synth_t* synth, const std::uint8_t* bytes, std::size_t count) {
  const int channel = bytes[0] & 0x0F;
  const int data1 = count > 1 ? bytes[1] : 0;
  const int data2 = count > 2 ? bytes[2] : 0;
  switch (bytes[0] & 0xF0) {
    case 0x80:
      fluid_synth_noteoff(synth, channel, data1);
      break;
    case 0x90:
      fluid_synth_noteon(synth, channel, data1, data2);  // velocity 0 is a note-off
      break;
    case 0xA0:
      fluid_synth_key_pressure(synth, channel, data1, data2);
      break;
    case 0xB0:
      fluid_synth_cc(synth, channel, data1, data2);
      break;
    case 0xC0:
      fluid_synth_program_change(synth, channel, data1);
      break;
    case 0xD0:
      fluid_synth_channel_pressure(synth, channel, data1);
      break;
    default:
      fluid_synth_pitch_bend(synth, channel, data2 << 7 | data1);
      break;
  }
}

void SynthRack::resetPort(int port) {
  if (port < 0 || port >= kSynthPorts) return;
  if (!loaded_ && (hold(port, nullptr, 0) || !loaded_)) return;
  resetNow(port);
}

void SynthRack::resetNow(int port) {
  fluid_synth_t* synth = synths_[static_cast<std::size_t>(port)];
  for (int channel = 0; channel < 16; ++channel) {
    fluid_synth_all_notes_off(synth, channel);
    fluid_synth_cc(synth, channel, 121, 0);
  }
}

void SynthRack::mix(int frames, float* left, float* right) {
  if (!loaded_) return;  // silence until the SoundFont is there; no message has played before
  float* out[2] = {left, right};
  for (std::size_t port = 0; port < synths_.size(); ++port) {
    if (active_[port]) fluid_synth_process(synths_[port], frames, 0, nullptr, 2, out);
  }
}

}  // namespace volta::platform::midi
