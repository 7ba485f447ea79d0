#pragma once
// The priority of the calling thread as the player's five levels: -2 lowest, -1 below
// normal, 0 normal, 1 above normal, 2 highest. A level is a step of the thread's nice
// value away from the one it had when a level was first set on it, so "normal" gives
// back what the user started the program with. Raising the priority needs room under
// RLIMIT_NICE (or CAP_SYS_NICE); without it the thread gets as near as it may.

#include <optional>

namespace volta::platform {

inline constexpr int kLowestPriority = -2, kHighestPriority = 2;
// Nice steps per level: lowest is 10 above the start, highest 10 below it.
inline constexpr int kNicePerLevel = 5;

// Applies a level to the calling thread; a level outside -2 ... 2 changes nothing.
// The thread's nice value afterwards, or none when nothing was set.
std::optional<int> setThreadPriorityLevel(int level);
// The calling thread's nice value.
int threadNice();

}  // namespace volta::platform
