#pragma once
// Periodic timers: the multimedia timer of the engine. The thread service keeps
// absolute deadlines so that periods do not drift; the manual service fires due
// callbacks when a test or a renderer advances its clock.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "platform/clock.h"

namespace volta::platform {

using TimerCallback = void (*)(std::uint32_t timerId, void* user);

class TimerService {
 public:
  virtual ~TimerService() = default;
  // Starts a periodic timer; returns its id, 0 on failure.
  virtual std::uint32_t start(std::uint32_t periodMs, TimerCallback callback, void* user) = 0;
  // Changes the period; the next deadline is one new period after the last one.
  virtual bool setPeriod(std::uint32_t id, std::uint32_t periodMs) = 0;
  // Stops the timer. On return no callback of it runs or will run, unless stop is
  // called from that timer's own callback, which then is its last.
  virtual void stop(std::uint32_t id) = 0;
};

// One thread per timer, sleeping with clock_nanosleep to absolute CLOCK_MONOTONIC
// deadlines; real-time priority is tried and its refusal ignored.
class ThreadTimerService final : public TimerService {
 public:
  ThreadTimerService();
  ~ThreadTimerService() override;
  std::uint32_t start(std::uint32_t periodMs, TimerCallback callback, void* user) override;
  bool setPeriod(std::uint32_t id, std::uint32_t periodMs) override;
  void stop(std::uint32_t id) override;

 private:
  struct Timer;
  std::mutex mutex_;
  std::map<std::uint32_t, std::shared_ptr<Timer>> timers_;
  std::uint32_t nextId_ = 1;
};

// Time moves only through advance(): every due callback fires in deadline order,
// with the clock set to its deadline while it runs.
class ManualTimerService final : public TimerService {
 public:
  explicit ManualTimerService(ManualClock& clock) : clock_(clock) {}
  std::uint32_t start(std::uint32_t periodMs, TimerCallback callback, void* user) override;
  bool setPeriod(std::uint32_t id, std::uint32_t periodMs) override;
  void stop(std::uint32_t id) override;

  void advanceMilliseconds(std::uint64_t ms);
  std::size_t activeTimers() const { return timers_.size(); }

 private:
  struct Entry {
    std::uint32_t periodMs;
    std::uint64_t nextDeadlineUs;
    TimerCallback callback;
    void* user;
  };
  ManualClock& clock_;
  std::map<std::uint32_t, Entry> timers_;
  std::uint32_t nextId_ = 1;
};

// The service in use: a process-wide ThreadTimerService unless one was installed.
TimerService& timerService();
// Installs a service (nullptr restores the thread service). It must outlive its use.
void installTimerService(TimerService* service);

}  // namespace volta::platform
