#pragma once
// RCPSequencer plays RCP files and RCP95Sequencer G36 files from the data buffer in
// place, through the shared record rules of rcp/.

#include <array>
#include <memory>
#include <optional>

#include "engine/midi_sequencer.h"
#include "rcp/interpreter.h"
#include "rcp/song.h"

namespace volta::engine {

class RCPSequencer : public MidiSequencer, private rcp::Sink {
 public:
  RCPSequencer(MidiOutput* output, std::uint32_t dataSize) : RCPSequencer(output, dataSize, rcp::Family::Rcp) {}

  void copyTitle(char* title, std::size_t size) const override;
  // The 360-byte memo.
  void copyComment(char* comment, std::size_t size) const override;

 protected:
  RCPSequencer(MidiOutput* output, std::uint32_t dataSize, rcp::Family family);

  void playTrackEvents(SequencerTrack& track, StepMode mode) override;
  void beforeTrackTick(SequencerTrack& track) override;
  void scanTrackEvents(SequencerTrack& track) override;
  void resetTrack(SequencerTrack& track) override;
  void rewind() override;

 private:
  rcp::Image image() const;
  bool fixedPorts();
  // The record state of a track, brought up to date with the base's counters.
  rcp::Track& recordsOf(SequencerTrack& track);
  void publish(const rcp::Track& records, SequencerTrack& track);

  void sendChannel(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) override;
  void sendExclusive(int port, const std::uint8_t* message, std::size_t length) override;
  void setTempo(std::uint32_t microsecondsPerQuarter) override;
  void setKey(std::uint32_t key) override;
  void noteSounded() override;
  void fail(std::uint8_t code) override;

  rcp::Family family_;
  bool read_ = false;
  rcp::Song song_;
  std::unique_ptr<rcp::Track[]> records_;
  std::optional<rcp::Interpreter> interpreter_;
};

class RCP95Sequencer : public RCPSequencer {
 public:
  RCP95Sequencer(MidiOutput* output, std::uint32_t dataSize) : RCPSequencer(output, dataSize, rcp::Family::G36) {}
};

}  // namespace volta::engine
