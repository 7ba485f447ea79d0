#include "engine/dispatcher.h"

#include <atomic>
#include <cstring>

#include "engine/midi_output.h"
#include "engine/midi_sequencer.h"

namespace volta::engine {
namespace {

std::atomic<std::uint32_t> clientCount{0};

std::uint32_t version(void* block) {
  auto& command = protocol::commandAs<protocol::VersionCommand>(block);
  std::memcpy(command.dispatcherVersion, protocol::kEngineVersion, sizeof protocol::kEngineVersion);
  command.canServe = 1;
  return 1;
}

}  // namespace

LiveObjects<MidiOutput>& liveOutputs() {
  static LiveObjects<MidiOutput> outputs;
  return outputs;
}

LiveObjects<MidiSequencer>& liveSequencers() {
  static LiveObjects<MidiSequencer> sequencers;
  return sequencers;
}

std::uint32_t dispatch(void* block) {
  if (!block) return 0;
  const std::uint32_t code = protocol::commandAs<protocol::CommandHeader>(block).code;
  switch (code) {
    case protocol::kVersion:
      return version(block);
    case protocol::kAttach:
      return clientCount.fetch_add(1);
    case protocol::kDetach: {
      std::uint32_t count = clientCount.load();
      while (count != 0 && !clientCount.compare_exchange_weak(count, count - 1)) {
      }
      return 0;
    }
    default:
      if (code >= protocol::kOpenSequencer && code <= protocol::kTimerPeriod) return dispatchSequencerCommand(block);
      if (code >= protocol::kOpenOutput && code <= protocol::kFlush) return dispatchOutputCommand(block);
      return 0;
  }
}

}  // namespace volta::engine
