#pragma once
// SMFSequencer: plays Standard MIDI Files (formats 0 and 1) from the data buffer in place.

#include "engine/midi_sequencer.h"

namespace volta::engine {

class SMFSequencer : public MidiSequencer {
 public:
  SMFSequencer(MidiOutput* output, std::uint32_t dataSize) : MidiSequencer(output, dataSize) {}

 protected:
  void playTrackEvents(SequencerTrack& track, StepMode mode) override;
  void scanTrackEvents(SequencerTrack& track) override;
  void resetTrack(SequencerTrack& track) override;
  void rewind() override;
  bool passesQuietTicks() const override { return true; }

  // Slot 13: one event at the track's read position.
  virtual void processEvent(SequencerTrack& track, StepMode mode);
  // Slot 14: the next delta time into the track's delta counter.
  virtual void readDelta(SequencerTrack& track);

 private:
  // Parses the header chunk; returns its offset, or -1 after recording the error.
  std::int64_t findHeader();
  bool walkChunks(std::uint64_t offset, std::int32_t count);
  void runEvents(SequencerTrack& track, StepMode mode);
  void processExclusive(SequencerTrack& track, StepMode mode, bool withF0);
  void processMeta(SequencerTrack& track, StepMode mode);
  void actOnMeta(SequencerTrack& track, StepMode mode, std::uint8_t type, std::uint32_t length);
  void setTimeSignature(std::uint8_t numerator, std::uint8_t power);
  void processChannelMessage(SequencerTrack& track, StepMode mode, std::uint8_t status);
  void send(const SequencerTrack& track, std::uint32_t message);
};

}  // namespace volta::engine
