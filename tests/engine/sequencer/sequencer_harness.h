#pragma once
// Drives the engine through its command block with a manual clock and timer, so
// that playback moves only when a test advances time.

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/dispatcher.h"
#include "engine/protocol/records.h"
#include "platform/clock.h"
#include "platform/low_memory.h"
#include "platform/timer.h"

namespace volta::test {

// A copy of a field of a packed record, for the test macros, which take references.
template <class T>
T value(T field) {
  return field;
}

class SequencerHarness {
 public:
  SequencerHarness() : timers_(clock_) {
    platform::installClock(&clock_);
    platform::installTimerService(&timers_);
    block_ = platform::allocateLow(protocol::kCommandBlockSize);
  }
  ~SequencerHarness() {
    for (std::uint32_t handle : opened_)
      closeSequencer(handle);
    platform::installTimerService(nullptr);
    platform::installClock(nullptr);
    platform::freeLow(block_);
  }
  SequencerHarness(const SequencerHarness&) = delete;
  SequencerHarness& operator=(const SequencerHarness&) = delete;

  // A fresh command of a code, its record zero-filled.
  template <class Record>
  Record& command(std::uint32_t code, std::uint32_t handle = 0) {
    std::memset(block_, 0, protocol::kCommandBlockSize);
    auto& header = protocol::commandAs<protocol::CommandHeader>(block_);
    header.code = code;
    header.length = sizeof(Record);
    header.handle = handle;
    return protocol::commandAs<Record>(block_);
  }
  std::uint32_t run() { return engine::dispatch(block_); }
  template <class Record>
  Record& reply() {
    return protocol::commandAs<Record>(block_);
  }

  // Command 32 with the song's size, then the song copied into the data buffer.
  // Returns the handle (0 on failure); the reply stays in the block.
  std::uint32_t open(const std::vector<std::uint8_t>& song, std::uint32_t output = 0,
                     std::uint16_t type = protocol::kFileSMF) {
    auto& c = command<protocol::OpenSequencerCommand>(protocol::kOpenSequencer);
    c.outputHandle = output;
    c.fileType = type;
    c.dataSize = static_cast<std::uint32_t>(song.size());
    const std::uint32_t handle = run();
    if (handle == 0) return 0;
    const std::uint32_t data = reply<protocol::OpenSequencerCommand>().data;
    if (!song.empty()) std::memcpy(platform::fromLowAddress<std::uint8_t>(data), song.data(), song.size());
    status_ = platform::fromLowAddress<protocol::SequencerStatus>(reply<protocol::OpenSequencerCommand>().status);
    opened_.push_back(handle);
    return handle;
  }

  // Command 64 with all three ports on one device; returns the output handle, and the
  // reply stays in the block.
  std::uint32_t openOutput(std::uint32_t device) {
    auto& c = command<protocol::OpenOutputCommand>(protocol::kOpenOutput);
    c.portCount = 3;
    for (int i = 0; i < 8; ++i)
      c.devices[i] = i < 3 ? device : 0xFFFFFFFEu;
    return run() ? reply<protocol::OpenOutputCommand>().header.handle : 0;
  }

  std::uint32_t simple(std::uint32_t code, std::uint32_t handle) {
    command<protocol::CommandHeader>(code, handle);
    return run();
  }
  std::uint32_t closeSequencer(std::uint32_t handle) {
    std::erase(opened_, handle);
    return simple(protocol::kCloseSequencer, handle);
  }
  // Command 39: returns its result; the title and error stay in the block.
  std::uint32_t prepare(std::uint32_t handle) { return simple(protocol::kPrepare, handle); }
  const protocol::PrepareCommand& prepared() { return reply<protocol::PrepareCommand>(); }
  // Command 38: the reply record.
  protocol::ScanLengthCommand scan(std::uint32_t handle) {
    simple(protocol::kScanLength, handle);
    return reply<protocol::ScanLengthCommand>();
  }
  std::uint32_t seek(std::uint32_t handle, std::uint32_t target) {
    command<protocol::SeekCommand>(protocol::kSeek, handle).targetTime = target;
    return run();
  }
  std::uint32_t play(std::uint32_t handle) { return simple(protocol::kPlay, handle); }
  std::uint32_t pause(std::uint32_t handle) { return simple(protocol::kPause, handle); }
  std::uint32_t setPeriod(std::uint32_t handle, std::uint16_t ms) {
    command<protocol::TimerPeriodCommand>(protocol::kTimerPeriod, handle).periodMs = ms;
    return run();
  }

  // The player's order before playing: prepare, scan, seek to the start, play.
  void startSong(std::uint32_t handle) {
    prepare(handle);
    scan(handle);
    seek(handle, 0);
    play(handle);
  }

  protocol::SequencerStatus& status() { return *status_; }
  void advance(std::uint64_t ms) { timers_.advanceMilliseconds(ms); }
  platform::ManualClock& clock() { return clock_; }
  platform::ManualTimerService& timers() { return timers_; }

 private:
  platform::ManualClock clock_;
  platform::ManualTimerService timers_;
  void* block_ = nullptr;
  protocol::SequencerStatus* status_ = nullptr;
  std::vector<std::uint32_t> opened_;
};

}  // namespace volta::test
