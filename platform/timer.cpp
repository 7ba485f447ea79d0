#include "platform/timer.h"

#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <thread>

namespace volta::platform {

struct ThreadTimerService::Timer {
  using Clock = std::chrono::steady_clock;

  std::atomic<std::uint32_t> periodMs;
  TimerCallback callback;
  void* user;
  std::uint32_t id;
  std::thread thread;
  // The sleeper waits on this, so a stop wakes it at once instead of at its next deadline.
  std::mutex mutex;
  std::condition_variable wake;
  bool stopping = false;

  Timer(std::uint32_t period, TimerCallback cb, void* u, std::uint32_t timerId)
      : periodMs(period), callback(cb), user(u), id(timerId) {}

  Clock::duration period() const { return std::chrono::milliseconds(periodMs.load(std::memory_order_relaxed)); }

  void requestStop() {
    {
      std::lock_guard lock(mutex);
      stopping = true;
    }
    wake.notify_one();
  }

  // False once a stop is requested.
  bool sleepUntil(Clock::time_point deadline) {
    std::unique_lock lock(mutex);
    return !wake.wait_until(lock, deadline, [this] { return stopping; });
  }

  void run() {
    sched_param param{};
    param.sched_priority = sched_get_priority_min(SCHED_FIFO);
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);  // refusal is fine
    auto deadline = Clock::now();
    for (;;) {
      deadline += period();
      if (!sleepUntil(deadline)) break;
      callback(id, user);
      catchUp(deadline);
    }
  }

  // After a long stall, skip the missed deadlines rather than firing a burst.
  void catchUp(Clock::time_point& deadline) const {
    const auto now = Clock::now();
    if (now - deadline > 4 * period()) deadline = now;
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
    timer->requestStop();
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
  timer->requestStop();
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
