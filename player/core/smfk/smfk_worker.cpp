#include "player/core/smfk/smfk_worker.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>

#include "platform/low_memory.h"

namespace volta::core::smfk {

struct WorkerState {
  Parameters parameters;
  std::mutex mutex;
  std::condition_variable changed;
  std::optional<platform::MessageTarget> owner;  // none once the worker is gone
  ThreadState state = ThreadState::kNotStarted;
  std::atomic<bool> stopRequested{false};
  std::atomic<bool> aborted{false};
  std::int32_t exitCode = 0;
  std::filesystem::path source, output, configuration;

  void tell(std::uintptr_t what, std::intptr_t value) {
    const std::lock_guard lock(mutex);
    if (owner) platform::sendMessage(&*owner, kMessage, what, value);
  }
};

namespace {

std::int32_t progress(std::int32_t percent, void* worker) {
  auto* shared = static_cast<WorkerState*>(worker);
  if (shared == nullptr) return 1;
  shared->tell(kProgress, percent);
  if (shared->stopRequested) shared->aborted = true;
  return shared->aborted ? 0 : 1;
}

void run(SmfkLibrary& library, WorkerState* shared) {
  shared->tell(kStarted, 0);
  const platform::MessageTarget owner = shared->owner.value_or(platform::MessageTarget{});
  const std::int32_t result =
      library.convert(&owner, shared->source, shared->output, shared->configuration, &shared->parameters, progress);
  shared->tell(shared->aborted ? kAborted : kEnded, result);
  const std::lock_guard lock(shared->mutex);
  shared->exitCode = result;
  shared->state = ThreadState::kFinished;
  shared->changed.notify_all();
}

}  // namespace

SmfkWorker::SmfkWorker(SmfkLibrary& library, platform::MessageTarget owner)
    : library_(library), shared_(platform::newLow<WorkerState>()) {
  if (shared_ == nullptr) throw std::bad_alloc();
  shared_->owner = owner;
  shared_->parameters.worker = platform::lowAddress(shared_);
}

SmfkWorker::~SmfkWorker() {
  requestStop();
  {
    const std::lock_guard lock(shared_->mutex);
    shared_->owner.reset();
  }
  if (!thread_.joinable()) {
    platform::deleteLow(shared_);
    return;
  }
  if (state() == ThreadState::kFinished) {
    thread_.join();
    platform::deleteLow(shared_);
    return;
  }
  // The thread frees its state when it ends; the library joins it before it goes.
  WorkerState* shared = shared_;
  std::thread running = std::move(thread_);
  library_.adoptThread(std::thread([shared, running = std::move(running)]() mutable {
    running.join();
    platform::deleteLow(shared);
  }));
}

std::int32_t SmfkWorker::start(const std::filesystem::path& source, const std::filesystem::path& output,
                               const std::filesystem::path& configuration) {
  if (state() == ThreadState::kRunning) return kAlreadyRunning;
  if (thread_.joinable()) thread_.join();
  {
    const std::lock_guard lock(shared_->mutex);
    shared_->source = source;
    shared_->output = output;
    shared_->configuration = configuration;
    shared_->state = ThreadState::kRunning;
    shared_->stopRequested = false;
    shared_->aborted = false;
  }
  thread_ = std::thread(run, std::ref(library_), shared_);
  return 0;
}

void SmfkWorker::requestStop() {
  shared_->stopRequested = true;
}

bool SmfkWorker::waitFor(std::chrono::milliseconds limit) {
  std::unique_lock lock(shared_->mutex);
  return shared_->changed.wait_for(lock, limit, [this] { return shared_->state != ThreadState::kRunning; });
}

ThreadState SmfkWorker::state() const {
  const std::lock_guard lock(shared_->mutex);
  return shared_->state;
}

bool SmfkWorker::aborted() const {
  return shared_->aborted;
}

std::optional<std::int32_t> SmfkWorker::exitCode() const {
  const std::lock_guard lock(shared_->mutex);
  if (shared_->state != ThreadState::kFinished) return std::nullopt;
  return shared_->exitCode;
}

}  // namespace volta::core::smfk
