#include "platform/timer.h"

#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <thread>

namespace volta::platform {

struct ThreadTimerService::Timer {
  std::atomic<std::uint32_t> periodMs;
  std::atomic<bool> stopping{false};
  TimerCallback callback;
  void* user;
  std::uint32_t id;
  std::thread thread;

  Timer(std::uint32_t period, TimerCallback cb, void* u, std::uint32_t timerId)
      : periodMs(period), callback(cb), user(u), id(timerId) {}

  static void addMilliseconds(timespec& t, std::uint32_t ms) {
    t.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
    t.tv_sec += static_cast<time_t>(ms / 1000);
    if (t.tv_nsec >= 1000000000L) {
      t.tv_nsec -= 1000000000L;
      ++t.tv_sec;
    }
  }

  void run() {
    sched_param param{};
    param.sched_priority = sched_get_priority_min(SCHED_FIFO);
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);  // refusal is fine
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    while (!stopping.load(std::memory_order_acquire)) {
      addMilliseconds(deadline, periodMs.load(std::memory_order_relaxed));
      while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
      }
      if (stopping.load(std::memory_order_acquire)) break;
      callback(id, user);
      catchUp(deadline);
    }
  }

  // After a long stall, skip the missed deadlines rather than firing a burst.
  void catchUp(timespec& deadline) const {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long behindNs = (now.tv_sec - deadline.tv_sec) * 1000000000LL + (now.tv_nsec - deadline.tv_nsec);
    const long long periodNs = static_cast<long long>(periodMs.load(std::memory_order_relaxed)) * 1000000LL;
    if (periodNs > 0 && behindNs > 4 * periodNs) deadline = now;
  }
};

ThreadTimerService::ThreadTimerService() = default;

ThreadTimerService::~ThreadTimerService() {
  std::map<std::uint32_t, std::shared_ptr<Timer>> left;
  {
    std::lock_guard lock(mutex_);
    left.swap(timers_);
  }
  for (auto& [id, timer] : left) {
    timer->stopping.store(true, std::memory_order_release);
    if (timer->thread.joinable()) timer->thread.join();
  }
}

std::uint32_t ThreadTimerService::start(std::uint32_t periodMs, TimerCallback callback, void* user) {
  if (periodMs == 0 || !callback) return 0;
  std::lock_guard lock(mutex_);
  const std::uint32_t id = nextId_++;
  auto timer = std::make_shared<Timer>(periodMs, callback, user, id);
  timer->thread = std::thread([timer] { timer->run(); });
  timers_.emplace(id, std::move(timer));
  return id;
}

bool ThreadTimerService::setPeriod(std::uint32_t id, std::uint32_t periodMs) {
  if (periodMs == 0) return false;
  std::lock_guard lock(mutex_);
  auto it = timers_.find(id);
  if (it == timers_.end()) return false;
  it->second->periodMs.store(periodMs, std::memory_order_relaxed);
  return true;
}

void ThreadTimerService::stop(std::uint32_t id) {
  std::shared_ptr<Timer> timer;
  {
    std::lock_guard lock(mutex_);
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    timer = std::move(it->second);
    timers_.erase(it);
  }
  timer->stopping.store(true, std::memory_order_release);
  if (timer->thread.get_id() == std::this_thread::get_id()) {
    timer->thread.detach();  // stopped from its own callback: the loop ends after it
    return;
  }
  timer->thread.join();
}

std::uint32_t ManualTimerService::start(std::uint32_t periodMs, TimerCallback callback, void* user) {
  if (periodMs == 0 || !callback) return 0;
  const std::uint32_t id = nextId_++;
  timers_[id] = Entry{periodMs, clock_.nowMicroseconds() + periodMs * 1000ull, callback, user};
  return id;
}

bool ManualTimerService::setPeriod(std::uint32_t id, std::uint32_t periodMs) {
  auto it = timers_.find(id);
  if (it == timers_.end() || periodMs == 0) return false;
  it->second.nextDeadlineUs += (static_cast<std::int64_t>(periodMs) - it->second.periodMs) * 1000ll;
  it->second.periodMs = periodMs;
  return true;
}

void ManualTimerService::stop(std::uint32_t id) {
  timers_.erase(id);
}

void ManualTimerService::advanceMilliseconds(std::uint64_t ms) {
  const std::uint64_t end = clock_.nowMicroseconds() + ms * 1000;
  for (;;) {
    auto due = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->second.nextDeadlineUs <= end &&
          (due == timers_.end() || it->second.nextDeadlineUs < due->second.nextDeadlineUs))
        due = it;
    }
    if (due == timers_.end()) break;
    const std::uint32_t id = due->first;
    Entry entry = due->second;
    due->second.nextDeadlineUs += entry.periodMs * 1000ull;
    clock_.setMicroseconds(entry.nextDeadlineUs);
    entry.callback(id, entry.user);  // may stop or start timers
  }
  clock_.setMicroseconds(end);
}

namespace {
std::atomic<TimerService*> installedService{nullptr};
}  // namespace

TimerService& timerService() {
  if (TimerService* s = installedService.load(std::memory_order_acquire)) return *s;
  static ThreadTimerService threadService;
  return threadService;
}

void installTimerService(TimerService* service) {
  installedService.store(service, std::memory_order_release);
}

}  // namespace volta::platform
