#pragma once
// One SMF Knife conversion on a thread of its own, for the conversion dialog. The
// owner hears WM_USER messages: wParam 1 when the thread starts, 4 with the percent
// as it goes, 3 when the conversion ended aborted, 2 when it ended otherwise (lParam =
// the result). The thread's state lives in low memory, so that the parameter record's
// 32-bit field can point back to it as the converter expects.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

#include "platform/message_target.h"
#include "player/core/smfk/smfk_library.h"

namespace volta::core::smfk {

enum class ThreadState { kNotStarted, kRunning, kFinished };

// What the thread and the worker share.
struct WorkerState;

// start() while the thread runs.
inline constexpr std::int32_t kAlreadyRunning = -3;

class SmfkWorker {
 public:
  // The owner is copied; its context must outlive the worker.
  SmfkWorker(SmfkLibrary& library, platform::MessageTarget owner);
  // Asks the thread to stop and sends the owner nothing more; a thread still running is
  // handed to the library, which joins it before it unloads.
  ~SmfkWorker();
  SmfkWorker(const SmfkWorker&) = delete;
  SmfkWorker& operator=(const SmfkWorker&) = delete;

  // kAlreadyRunning while running, else copies the paths, starts the thread and returns 0.
  std::int32_t start(const std::filesystem::path& source, const std::filesystem::path& output,
                     const std::filesystem::path& configuration);
  // The progress callback answers 0 from now on, and the conversion counts as aborted.
  void requestStop();
  // True when the thread finished within the time.
  bool waitFor(std::chrono::milliseconds limit);

  ThreadState state() const;
  bool aborted() const;
  // The result once finished.
  std::optional<std::int32_t> exitCode() const;

 private:
  SmfkLibrary& library_;
  WorkerState* shared_;
  std::thread thread_;
};

}  // namespace volta::core::smfk
