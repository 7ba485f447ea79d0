// The sequencer group of the command protocol: codes 32 to 40.

#include <cstring>
#include <mutex>

#include "engine/dispatcher.h"
#include "engine/midi_output.h"
#include "engine/midi_sequencer.h"
#include "engine/sequencer_factory.h"
#include "platform/low_memory.h"

namespace volta::engine {
namespace {

std::uint32_t openSequencer(void* block) {
  auto& command = protocol::commandAs<protocol::OpenSequencerCommand>(block);
  command.header.handle = 0;
  command.error = protocol::kErrOpenFailed;
  MidiOutput* output = nullptr;
  if (command.outputHandle != 0) {
    output = liveOutputs().find(command.outputHandle);
    if (!output) return 0;
  }
  const std::uint16_t fileType = command.fileType;
  if (!knownSequencerType(fileType)) return 0;
  MidiSequencer* sequencer = createSequencer(fileType, output, command.dataSize);
  if (!sequencer || !sequencer->allocated()) {
    destroySequencer(sequencer);
    command.error = protocol::kErrNoMemory;
    return 0;
  }
  liveSequencers().add(sequencer);
  sequencer->markValid();
  protocol::SequencerStatus* status = sequencer->status();
  const std::uint32_t statusAddress = platform::lowAddress(status);
  const std::uint32_t handle = platform::lowAddress(sequencer);
  command.header.handle = handle;
  command.error = status->error;
  command.status = statusAddress;
  command.data = platform::lowAddress(sequencer->data());
  command.playControl = statusAddress + offsetof(protocol::SequencerStatus, playControl);
  command.measureTable = statusAddress + offsetof(protocol::SequencerStatus, measureTable);
  return handle;
}

std::uint32_t closeSequencer(MidiSequencer* sequencer) {
  liveSequencers().remove(sequencer);
  destroySequencer(sequencer);
  return 1;
}

std::uint32_t scanLength(void* block, MidiSequencer* sequencer) {
  auto& command = protocol::commandAs<protocol::ScanLengthCommand>(block);
  const std::uint32_t total = sequencer->scanLength();
  command.error = sequencer->status()->error;
  command.totalTime = total;
  command.measures = sequencer->status()->measure;
  return 1;
}

std::uint32_t prepare(void* block, MidiSequencer* sequencer) {
  auto& command = protocol::commandAs<protocol::PrepareCommand>(block);
  sequencer->prepare();
  const std::uint8_t error = sequencer->status()->error;
  command.error = error;
  std::memset(command.title, 0, sizeof command.title);
  sequencer->copyComment(command.comment, sizeof command.comment);
  if (error != 0) return 0;
  sequencer->copyTitle(command.title, sizeof command.title);
  return 1;
}

// Commands 34 to 40 on a live sequencer; they hold its lock against the timer.
std::uint32_t runOnSequencer(void* block, std::uint32_t code, MidiSequencer* sequencer) {
  std::lock_guard lock(sequencer->commandLock());
  switch (code) {
    case protocol::kSeek:
      sequencer->seek(protocol::commandAs<protocol::SeekCommand>(block).targetTime);
      return 1;
    case protocol::kPause:
      sequencer->pause();
      return 1;
    case protocol::kPlay:
      sequencer->play();
      return 1;
    case protocol::kScanLength:
      return scanLength(block, sequencer);
    case protocol::kPrepare:
      return prepare(block, sequencer);
    default:
      return 0;
  }
}

}  // namespace

std::uint32_t dispatchSequencerCommand(void* block) {
  const auto& header = protocol::commandAs<protocol::CommandHeader>(block);
  const std::uint32_t code = header.code;
  if (code == protocol::kOpenSequencer) return openSequencer(block);
  MidiSequencer* sequencer = liveSequencers().find(header.handle);
  if (!sequencer) return 0;
  switch (code) {
    case protocol::kCloseSequencer:
      return closeSequencer(sequencer);
    case protocol::kTimerPeriod:
      // Not under the lock: restarting the timer waits for its thread.
      sequencer->setTimerPeriod(protocol::commandAs<protocol::TimerPeriodCommand>(block).periodMs);
      return 1;
    default:
      return runOnSequencer(block, code, sequencer);
  }
}

}  // namespace volta::engine
