#include "platform/timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace volta::platform {
namespace {

struct Recorder {
  ManualClock* clock = nullptr;
  std::vector<std::uint64_t> firedAt;
  std::vector<void*> users;
};

void record(std::uint32_t, void* user) {
  auto* r = static_cast<Recorder*>(user);
  r->firedAt.push_back(r->clock->nowMicroseconds());
}

TEST(ManualTimer, FiresOnEveryDeadlineWithTheClockAtTheDeadline) {
  ManualClock clock;
  ManualTimerService timers(clock);
  Recorder r{&clock, {}, {}};
  const auto id = timers.start(5, record, &r);
  ASSERT_NE(id, 0u);
  timers.advanceMilliseconds(12);
  EXPECT_EQ(r.firedAt, (std::vector<std::uint64_t>{5000, 10000}));
  EXPECT_EQ(clock.nowMicroseconds(), 12000u);
  timers.advanceMilliseconds(3);
  EXPECT_EQ(r.firedAt.back(), 15000u);
}

TEST(ManualTimer, PeriodChangeAndStop) {
  ManualClock clock;
  ManualTimerService timers(clock);
  Recorder r{&clock, {}, {}};
  const auto id = timers.start(5, record, &r);
  timers.advanceMilliseconds(5);
  ASSERT_TRUE(timers.setPeriod(id, 1));
  timers.advanceMilliseconds(3);
  EXPECT_EQ(r.firedAt, (std::vector<std::uint64_t>{5000, 6000, 7000, 8000}));
  timers.stop(id);
  timers.advanceMilliseconds(10);
  EXPECT_EQ(r.firedAt.size(), 4u);
  EXPECT_FALSE(timers.setPeriod(id, 2));
  EXPECT_EQ(timers.start(0, record, &r), 0u);
}

TEST(ManualTimer, InstalledClockDrivesTheMillisecondCounter) {
  ManualClock clock;
  clock.setMicroseconds((std::uint64_t{1} << 32) * 1000 + 7000);  // past the wrap
  installClock(&clock);
  EXPECT_EQ(millisecondCounter(), 7u);
  installClock(nullptr);
  EXPECT_NE(&platform::clock(), static_cast<const Clock*>(&clock));
}

TEST(ThreadTimer, CallsBackWithItsUserValueUntilStopped) {
  ThreadTimerService timers;
  std::atomic<int> calls{0};
  auto callback = [](std::uint32_t, void* user) { static_cast<std::atomic<int>*>(user)->fetch_add(1); };
  const auto id = timers.start(1, callback, &calls);
  ASSERT_NE(id, 0u);
  // Waits for the thread, not for a time: the callbacks are counted, not timed.
  for (int i = 0; i < 5000 && calls.load() < 3; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_GE(calls.load(), 3);
  timers.stop(id);
  const int after = calls.load();
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(calls.load(), after);
}

TEST(ThreadTimer, StopFromItsOwnCallbackEndsIt) {
  ThreadTimerService timers;
  struct Context {
    ThreadTimerService* timers;
    std::atomic<int> calls{0};
  } context{&timers};
  auto callback = [](std::uint32_t id, void* user) {
    auto* c = static_cast<Context*>(user);
    c->calls.fetch_add(1);
    c->timers->stop(id);
  };
  timers.start(1, callback, &context);
  for (int i = 0; i < 5000 && context.calls.load() == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(context.calls.load(), 1);
}

}  // namespace
}  // namespace volta::platform
