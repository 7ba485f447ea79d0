#pragma once
// MidiOutput: the object behind an output handle. Owns up to three ports (A, B, C),
// filters and paces what the sequencers and the player send, and keeps the channel
// state, output status and front-panel image that the player's displays read.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "engine/output_filter.h"
#include "engine/output_queue.h"
#include "engine/panel_emulator.h"
#include "engine/protocol/records.h"
#include "platform/midi/output_device.h"

namespace volta::engine {

class MidiOutput {
 public:
  // Opens min(count, 3) devices (platform device identifiers; kNoDevice leaves a port
  // closed), builds the shared block in low memory, resets and sends the greeting.
  // Returns nullptr when memory runs out. The object lives in low memory: its
  // address is the output handle.
  static MidiOutput* open(const std::uint32_t* devices, int count);
  // Silences, flushes, resets, closes the devices and frees everything.
  static void close(MidiOutput* output);

  std::uint32_t validity() const { return validity_; }
  protocol::OutputShared* shared() { return shared_; }

  // --- used by the sequencers ---
  // The filter path: channel state, mutes, emulations, maps, then send.
  void sendFiltered(int port, std::uint32_t message);
  // The exclusive path: GS/XG/GM recognition, panel exclusives, then send.
  void sendExclusive(int port, const std::uint8_t* bytes, std::size_t count);
  void setLyric(const char* text);
  // Advances the panel's dot and message timers; called every eighth timer period.
  void panelClock(std::uint32_t elapsedMs);
  // Sends what is queued, paced by the period (0 = everything now).
  void flush(std::uint32_t periodMs);
  bool pending() const;
  void allNotesOff();
  void clearSoundingNotes();
  // The output reset: channel state, panel, queues.
  void reset();
  void restoreDefaultSettings();

  // --- the output commands of the dispatcher ---
  void setMuteMask(std::uint32_t mask);
  void setMasterVolume(int volume);
  void setTransposition(int semitones);
  void setOptions(bool midiRate, bool useReset);
  void setMeterMode(std::uint32_t mode);
  void queueExclusive(int port, const std::uint8_t* bytes, std::size_t count);  // command 96
  void queueShort(int port, std::uint32_t message);                             // command 97
  void queuePause(int port);                                                    // command 98
  void resetPort(int port, int mode);                                           // command 99

  MidiOutput(const MidiOutput&) = delete;
  MidiOutput& operator=(const MidiOutput&) = delete;
  ~MidiOutput();

 private:
  struct Port {
    std::unique_ptr<platform::midi::OutputDevice> device;
    OutputQueue queue;
    std::int32_t debt = 0;  // bytes sent beyond the pacing budget, repaid in later periods
  };

  explicit MidiOutput(protocol::OutputShared* shared);

  bool isOpen(int port) const;
  protocol::ChannelState& channelState(int port, int channel) { return shared_->channels[port][channel]; }
  template <class Push>
  void enqueue(int port, Push push);
  void rawShort(int port, std::uint32_t message, bool forceQueue);
  void rawExclusive(int port, const std::uint8_t* bytes, std::size_t count, bool forceQueue);
  void sendGreeting();

  // The channel-state mirror the player's displays read.
  void updateChannelState(int port, const ShortMessage& m);
  void noteOn(protocol::ChannelState& state, std::uint8_t note, std::uint8_t velocity);
  void noteOff(protocol::ChannelState& state, std::uint8_t note);

  // The exclusive path.
  bool recogniseGS(int port, const std::uint8_t* bytes, std::size_t count);
  bool recogniseSystemOn(const std::uint8_t* bytes, std::size_t count);
  void gsParameter(int port, std::uint32_t address, std::uint8_t value);

  void flushPort(Port& port, std::uint32_t periodMs);
  void updatePending();
  void resetChannel(int port, int channel);

  protocol::OutputShared* shared_;
  PanelEmulator panel_;
  OutputFilter filter_;
  std::array<Port, protocol::kPorts> ports_;
  // Guards the queue indexes; held only for appends and index updates.
  mutable std::mutex queueMutex_;
  // Serialises flushes and queue resets, so the bytes a flush is sending stay put.
  std::mutex flushMutex_;
  std::atomic<bool> pace_{false};
  std::atomic<bool> resetDevices_{false};
  std::atomic<std::int32_t> pause_{0};
  std::atomic<std::uint32_t> meterMode_{0};
  std::uint32_t validity_ = 0;
};

}  // namespace volta::engine
