#include "engine/sequencer_factory.h"

#include "engine/smf_sequencer.h"
#include "platform/low_memory.h"

namespace volta::engine {

MidiSequencer* createSequencer(std::uint16_t fileType, MidiOutput* output, std::uint32_t dataSize) {
  switch (fileType) {
    case protocol::kFileSMF:
      return platform::newLow<SMFSequencer>(output, dataSize);
    default:
      return nullptr;
  }
}

void destroySequencer(MidiSequencer* sequencer) { platform::deleteLow(sequencer); }

}  // namespace volta::engine
