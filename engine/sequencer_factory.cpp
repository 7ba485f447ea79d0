#include "engine/sequencer_factory.h"

#include "engine/rcp_sequencer.h"
#include "engine/smf_sequencer.h"
#include "platform/low_memory.h"

namespace volta::engine {
namespace {

template <class Sequencer>
MidiSequencer* make(MidiOutput* output, std::uint32_t dataSize) {
  return platform::newLow<Sequencer>(output, dataSize);
}

struct Kind {
  std::uint16_t fileType;
  MidiSequencer* (*create)(MidiOutput*, std::uint32_t);
};

// The one place that maps file types to sequencer classes.
constexpr Kind kKinds[] = {
    {protocol::kFileSMF, &make<SMFSequencer>},
    {protocol::kFileRCP, &make<RCPSequencer>},
    {protocol::kFileG36, &make<RCP95Sequencer>},
};

const Kind* findKind(std::uint16_t fileType) {
  for (const Kind& kind : kKinds) {
    if (kind.fileType == fileType) return &kind;
  }
  return nullptr;
}

}  // namespace

bool knownSequencerType(std::uint16_t fileType) {
  return findKind(fileType) != nullptr;
}

MidiSequencer* createSequencer(std::uint16_t fileType, MidiOutput* output, std::uint32_t dataSize) {
  const Kind* kind = findKind(fileType);
  return kind ? kind->create(output, dataSize) : nullptr;
}

void destroySequencer(MidiSequencer* sequencer) {
  if (!sequencer) return;
  sequencer->releaseTimer();
  platform::deleteLow(sequencer);
}

}  // namespace volta::engine
