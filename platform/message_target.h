#pragma once
// A window-message target without a window: whoever wants the message supplies a
// function and its context, and senders call it synchronously on their own thread,
// as a window's message send would.

#include <cstdint>

namespace volta::platform {

struct MessageTarget {
  void (*send)(void* context, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = nullptr;
  void* context = nullptr;
};

inline void sendMessage(const MessageTarget* target, std::uint32_t message, std::uintptr_t wParam,
                        std::intptr_t lParam) {
  if (target != nullptr && target->send != nullptr) target->send(target->context, message, wParam, lParam);
}

}  // namespace volta::platform
