#pragma once
// Creates the sequencer that fits a song's file type (command 32).

#include <cstdint>

namespace volta::engine {

class MidiOutput;
class MidiSequencer;

// A sequencer in low memory for file type 1 (SMF), 2 (RCP/R36) or 6 (G36/G18);
// nullptr for any other type. The caller checks its allocation.
MidiSequencer* createSequencer(std::uint16_t fileType, MidiOutput* output, std::uint32_t dataSize);
void destroySequencer(MidiSequencer* sequencer);

}  // namespace volta::engine
