#pragma once
// SMFSequencer: plays Standard MIDI Files (formats 0 and 1) from the data buffer in place.

#include "engine/midi_sequencer.h"

namespace volta::engine {

class SMFSequencer : public MidiSequencer {
 public:
  SMFSequencer(MidiOutput* output, std::uint32_t dataSize) : MidiSequencer(output, dataSize) {}
};

}  // namespace volta::engine
