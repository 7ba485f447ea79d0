#pragma once
// The monotonic clock behind the millisecond counter and every timestamp of the
// system. Tests and headless rendering install a ManualClock so that time moves
// only when they say so.

#include <atomic>
#include <cstdint>

namespace volta::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint64_t nowMicroseconds() const = 0;
};

// CLOCK_MONOTONIC.
class SystemClock final : public Clock {
 public:
  std::uint64_t nowMicroseconds() const override;
};

class ManualClock final : public Clock {
 public:
  std::uint64_t nowMicroseconds() const override { return now_.load(std::memory_order_acquire); }
  void advanceMicroseconds(std::uint64_t us) { now_.fetch_add(us, std::memory_order_acq_rel); }
  void advanceMilliseconds(std::uint64_t ms) { advanceMicroseconds(ms * 1000); }
  void setMicroseconds(std::uint64_t us) { now_.store(us, std::memory_order_release); }

 private:
  std::atomic<std::uint64_t> now_{0};
};

// The clock in use: the system clock unless one was installed.
const Clock& clock();
// Installs a clock (nullptr restores the system clock). The clock must outlive its use.
void installClock(const Clock* clock);

// The platform's millisecond counter, wrapping at 2^32.
std::uint32_t millisecondCounter();

}  // namespace volta::platform
