#include "platform/clock.h"

#include <ctime>

namespace volta::platform {
namespace {
const SystemClock systemClock;
std::atomic<const Clock*> installed{nullptr};
}  // namespace

std::uint64_t SystemClock::nowMicroseconds() const {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000u;
}

const Clock& clock() {
  const Clock* c = installed.load(std::memory_order_acquire);
  return c ? *c : systemClock;
}

void installClock(const Clock* c) {
  installed.store(c, std::memory_order_release);
}

std::uint32_t millisecondCounter() {
  return static_cast<std::uint32_t>(clock().nowMicroseconds() / 1000u);
}

}  // namespace volta::platform
