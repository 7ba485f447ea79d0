#pragma once
// An owner for the SMF Knife worker and the playback path: it keeps the messages it is
// sent from any thread and lets a test wait for one.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/message_target.h"

namespace volta::test {

struct OwnerMessage {
  std::uint32_t message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  bool operator==(const OwnerMessage&) const = default;
};

class MessageLog {
 public:
  platform::MessageTarget target() { return {receive, this}; }

  std::vector<OwnerMessage> messages() const {
    const std::lock_guard lock(mutex_);
    return messages_;
  }
  // The first message with this wParam, waiting for it a while (the worker always ends with one).
  std::optional<OwnerMessage> waitFor(std::uintptr_t wParam) {
    std::unique_lock lock(mutex_);
    std::optional<OwnerMessage> found;
    arrived_.wait_for(lock, std::chrono::seconds(20), [&] {
      for (const OwnerMessage& m : messages_)
        if (m.wParam == wParam) found = m;
      return found.has_value();
    });
    return found;
  }

 private:
  static void receive(void* context, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    auto* self = static_cast<MessageLog*>(context);
    const std::lock_guard lock(self->mutex_);
    self->messages_.push_back({message, wParam, lParam});
    self->arrived_.notify_all();
  }

  mutable std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<OwnerMessage> messages_;
};

}  // namespace volta::test
