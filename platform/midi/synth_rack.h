#pragma once
// The software synthesizer's sound: one FluidSynth instance per port (A, B, C), so
// each port behaves as a sound module of its own with 16 channels and its own GS or
// XG resets. All three share one SoundFont (FluidSynth caches the sample data) and
// are mixed into one stereo signal.

#include <fluidsynth.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/midi/message_assembler.h"

namespace volta::platform::midi {

inline constexpr int kSynthPorts = 3;

class SynthRack {
 public:
  // nullptr with the reason in error when the file is no SoundFont. Nothing is loaded
  // until startLoading().
  static std::unique_ptr<SynthRack> create(const std::string& soundFont, double sampleRate, std::string& error);
  // Loads the SoundFont on a thread of its own: the player is up meanwhile, and only its
  // first message waits. Called once the sound has somewhere to go, so that a failed
  // audio output never waits for a load it will not use.
  void startLoading();
  // Returns once the load has finished, at once when it never started. A renderer waits,
  // so that its sound never depends on when the load ended.
  void waitForLoad();
  ~SynthRack();
  SynthRack(const SynthRack&) = delete;
  SynthRack& operator=(const SynthRack&) = delete;

  // Plays one whole message on a port's synthesizer; exclusive pieces are ignored.
  void play(int port, const AssembledMessage& message);
  // Notes off and controllers reset on every channel of the port.
  void resetPort(int port);
  // Adds frames of the ports in use to the two channel buffers.
  void mix(int frames, float* left, float* right);

  fluid_settings_t* settings() const { return settings_; }
  double sampleRate() const { return sampleRate_; }

 private:
  SynthRack() = default;
  // A message, or a port reset when bytes is empty, kept until the SoundFont is there.
  struct Held {
    int port;
    std::vector<std::uint8_t> bytes;
  };

  void playNow(int port, const std::uint8_t* bytes, std::size_t count);
  void resetNow(int port);
  void playChannelMessage(fluid_synth_t* synth, const std::uint8_t* bytes, std::size_t count);
  void load();
  void playHeld();  // with loadMutex_ held
  // While the SoundFont loads, a message is held (true) and a note waits for the load,
  // so that only a song's first note is late and nobody else waits. False: play it now,
  // if loaded_ says the load worked.
  bool hold(int port, const std::uint8_t* bytes, std::size_t count);

  fluid_settings_t* settings_ = nullptr;
  std::array<fluid_synth_t*, kSynthPorts> synths_{};
  // A port's synthesizer is mixed from its first message on: idle ones would still
  // spend time on their reverb and chorus.
  std::array<std::atomic<bool>, kSynthPorts> active_{};
  double sampleRate_ = 44100;
  std::string soundFont_;
  std::thread loader_;
  std::mutex loadMutex_;
  std::condition_variable loadDone_;
  bool loadFinished_ = false;        // with loadMutex_ held
  std::vector<Held> held_;           // with loadMutex_ held; played in order once loaded
  std::atomic<bool> loaded_{false};  // finished, and every synthesizer has the SoundFont
};

// FluidSynth reports through a log; its errors are kept here (the last one wins)
// so that a failure can be told in a sentence of our own.
std::string takeSynthLogError();

}  // namespace volta::platform::midi
