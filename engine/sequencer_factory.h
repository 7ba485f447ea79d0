#pragma once
// Creates the sequencer that fits a song's file type (command 32).

#include <cstdint>

namespace volta::engine {

class MidiOutput;
class MidiSequencer;

// True for the file types a sequencer exists for: 1 (SMF), 2 (RCP/R36), 6 (G36/G18).
bool knownSequencerType(std::uint16_t fileType);
// A sequencer in low memory for a known file type; nullptr for any other type or when
// memory runs out. The caller checks its allocation.
MidiSequencer* createSequencer(std::uint16_t fileType, MidiOutput* output, std::uint32_t dataSize);
// Stops the sequencer's timer, then destroys it.
void destroySequencer(MidiSequencer* sequencer);

}  // namespace volta::engine
