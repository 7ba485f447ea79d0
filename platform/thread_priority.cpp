#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace volta::platform {

namespace {

constexpr int kNiceFloor = -20, kNiceCeiling = 19;

// On Linux a thread's own nice value is reached through its thread id.
id_t threadId() {
  return static_cast<id_t>(syscall(SYS_gettid));
}

bool setNice(int nice) {
  return setpriority(PRIO_PROCESS, threadId(), nice) == 0;
}

// The lowest nice value an unprivileged thread may take.
int permittedFloor() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NICE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kNiceFloor;
  return std::clamp(20 - static_cast<int>(limit.rlim_cur), kNiceFloor, kNiceCeiling + 1);
}

}  // namespace

int threadNice() {
  errno = 0;
  return getpriority(PRIO_PROCESS, threadId());
}

std::optional<int> setThreadPriorityLevel(int level) {
  if (level < kLowestPriority || level > kHighestPriority) return std::nullopt;
  thread_local const int startNice = threadNice();
  const int wanted = std::clamp(startNice - kNicePerLevel * level, kNiceFloor, kNiceCeiling);
  if (setNice(wanted)) return threadNice();
  // Not allowed so high: as near as the limit lets, but never lower than it is now.
  const int now = threadNice();
  const int nearest = std::min(std::max(wanted, permittedFloor()), now);
  if (nearest != now && !setNice(nearest)) return std::nullopt;
  return threadNice();
}

}  // namespace volta::platform
