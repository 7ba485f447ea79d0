#pragma once
// Collects what an input device receives, for the wiring tests.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/midi/input_device.h"

namespace volta::platform::midi::test {

class Receiver {
 public:
  InputCallback callback() {
    return [this](const InputMessage& message) {
      std::lock_guard lock(mutex_);
      bytes_.insert(bytes_.end(), message.bytes, message.bytes + message.count);
      messages_.push_back(message.kind);
      largestPiece_ = std::max(largestPiece_, message.count);
      changed_.notify_all();
    };
  }

  // Waits (on the wall clock: the bytes cross an outside server) until count bytes came.
  std::vector<std::uint8_t> waitForBytes(std::size_t count, std::chrono::seconds timeout = std::chrono::seconds(5)) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return bytes_.size() >= count; });
    return bytes_;
  }

  std::size_t largestPiece() {
    std::lock_guard lock(mutex_);
    return largestPiece_;
  }

  std::vector<InputMessage::Kind> kinds() {
    std::lock_guard lock(mutex_);
    return messages_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::uint8_t> bytes_;
  std::vector<InputMessage::Kind> messages_;
  std::size_t largestPiece_ = 0;
};

}  // namespace volta::platform::midi::test
