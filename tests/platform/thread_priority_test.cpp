#include "platform/thread_priority.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace volta::platform {
namespace {

// Each case runs on a thread of its own: a lowered priority cannot always be raised again.
template <typename Body>
void onOwnThread(Body body) {
  std::thread(body).join();
}

TEST(ThreadPriority, ALevelOutsideTheFiveChangesNothing) {
  onOwnThread([] {
    const int before = threadNice();
    for (int level : {5, 3, -3, 100})
      EXPECT_FALSE(setThreadPriorityLevel(level).has_value()) << level;
    EXPECT_EQ(threadNice(), before);
    ASSERT_TRUE(setThreadPriorityLevel(-1).has_value());
    const int lowered = threadNice();
    EXPECT_FALSE(setThreadPriorityLevel(5).has_value());
    EXPECT_EQ(threadNice(), lowered);
  });
}

TEST(ThreadPriority, LowestAndBelowNormalLowerTheThreadFromWhereItStarted) {
  onOwnThread([] {
    const int start = threadNice();
    EXPECT_EQ(setThreadPriorityLevel(-1), std::min(start + kNicePerLevel, 19));
    EXPECT_EQ(setThreadPriorityLevel(-2), std::min(start + 2 * kNicePerLevel, 19));
    EXPECT_EQ(threadNice(), std::min(start + 2 * kNicePerLevel, 19));
  });
}

TEST(ThreadPriority, NormalGoesBackAsFarAsTheUserMayAndNeverFurtherDown) {
  onOwnThread([] {
    const int start = threadNice();
    setThreadPriorityLevel(-2);
    const int lowest = threadNice();
    const auto normal = setThreadPriorityLevel(0);
    ASSERT_TRUE(normal.has_value());
    EXPECT_GE(*normal, start);
    EXPECT_LE(*normal, lowest);
    EXPECT_EQ(*normal, threadNice());
  });
}

TEST(ThreadPriority, TheOtherThreadsKeepTheirPriority) {
  const int mine = threadNice();
  onOwnThread([] { setThreadPriorityLevel(-2); });
  EXPECT_EQ(threadNice(), mine);
}

}  // namespace
}  // namespace volta::platform
