// The output command group (64-101): every command but the open one names a live
// output by its handle.

#include <algorithm>
#include <cstddef>

#include "engine/dispatcher.h"
#include "engine/midi_output.h"
#include "engine/midi_sequencer.h"
#include "platform/low_memory.h"

namespace volta::engine {
namespace {

using namespace protocol;

// The bytes of command 96 end with the command block.
constexpr std::size_t kMaxQueuedExclusive = kCommandBlockSize - offsetof(SendExclusiveCommand, bytes);

std::uint32_t openOutput(void* block) {
  auto& command = commandAs<OpenOutputCommand>(block);
  std::uint32_t devices[kPorts];
  for (int i = 0; i < kPorts; ++i)
    devices[i] = command.devices[i];
  MidiOutput* output = MidiOutput::open(devices, std::min<int>(command.portCount, kPorts));
  command.header.handle = platform::lowAddress(output);
  if (!output) return 0;
  liveOutputs().add(output);
  OutputShared* shared = output->shared();
  command.status = platform::lowAddress(&shared->status);
  command.panel = platform::lowAddress(&shared->panel);
  command.settings = platform::lowAddress(&shared->settings);
  command.channels = platform::lowAddress(&shared->channels);
  return 1;
}

std::uint32_t sendExclusive(MidiOutput& output, void* block) {
  const auto& command = commandAs<SendExclusiveCommand>(block);
  const std::size_t count = std::min<std::size_t>(command.count, kMaxQueuedExclusive);
  output.queueExclusive(command.port, static_cast<const std::uint8_t*>(block) + offsetof(SendExclusiveCommand, bytes),
                        count);
  return 1;
}

std::uint32_t runOnOutput(MidiOutput& output, std::uint32_t code, void* block) {
  switch (code) {
    case kCloseOutput:
      liveOutputs().remove(&output);
      liveSequencers().forEach([&output](MidiSequencer* song) { song->detachOutput(&output); });
      MidiOutput::close(&output);
      return 1;
    case kMuteMask:
      output.setMuteMask(commandAs<MuteMaskCommand>(block).mask);
      return 1;
    case kMasterVolume:
      output.setMasterVolume(commandAs<WordCommand>(block).value);
      return 1;
    case kTransposition:
      output.setTransposition(static_cast<std::int16_t>(commandAs<WordCommand>(block).value));
      return 1;
    case kOutputOptions: {
      const auto& command = commandAs<OutputOptionsCommand>(block);
      output.setOptions(command.midiRate != 0, command.useReset != 0);
      return 1;
    }
    case kMeterMode:
      output.setMeterMode(commandAs<WordCommand>(block).value);
      return 1;
    case kSendExclusive:
      return sendExclusive(output, block);
    case kSendShortQueued:
      output.queueShort(commandAs<SendShortCommand>(block).port, commandAs<SendShortCommand>(block).message);
      return 1;
    case kQueuePause:
      output.queuePause(commandAs<PortCommand>(block).port);
      return 1;
    case kResetPort:
      output.resetPort(commandAs<ResetPortCommand>(block).port, commandAs<ResetPortCommand>(block).mode);
      return 1;
    case kSendShortFiltered:
      output.sendFiltered(commandAs<SendShortCommand>(block).port, commandAs<SendShortCommand>(block).message);
      return 1;
    case kFlush:
      output.flush(0);
      return 1;
    default:
      return 0;
  }
}

}  // namespace

std::uint32_t dispatchOutputCommand(void* block) {
  const std::uint32_t code = commandAs<CommandHeader>(block).code;
  if (code == kOpenOutput) return openOutput(block);
  MidiOutput* output = liveOutputs().find(commandAs<CommandHeader>(block).handle);
  return output ? runOnOutput(*output, code, block) : 0;
}

}  // namespace volta::engine
