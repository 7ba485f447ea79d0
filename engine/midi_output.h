#pragma once
// MidiOutput: the object behind an output handle. Owns up to three ports (A, B, C),
// filters and paces what the sequencers and the player send, and keeps the channel
// state, output status and front-panel image that the player's displays read.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/protocol/records.h"

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

  std::uint32_t validity() const;
  protocol::OutputShared* shared();

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

  ~MidiOutput();

 private:
  struct State;
  MidiOutput();
  std::unique_ptr<State> state_;
};

}  // namespace volta::engine
