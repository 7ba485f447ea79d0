// SMF Knife as the player's tests need it: the configuration file's name says what it does.
//   busy.cfg      reports progress until told to stop, then answers 7
//   stuck.cfg     reports 10 % once and waits for FakeSmfkRelease(), whatever it is told
//   result-N.cfg  reports 50 % and answers N
// Anything else answers 0. It remembers whether its source was a Standard MIDI File.
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "outside/smfk32/smfk32.h"

namespace {

std::mutex mutex;
std::condition_variable releasedChanged;
bool released = false;
std::atomic<bool> sourceWasSmf{false};
std::atomic<std::uint32_t> lastRecordSize{0};

bool startsWithMThd(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  char id[4] = {};
  const bool ok = std::fread(id, 1, 4, file) == 4 && std::memcmp(id, "MThd", 4) == 0;
  std::fclose(file);
  return ok;
}

std::string baseName(const char* path) {
  const std::string text(path != nullptr ? path : "");
  return text.substr(text.find_last_of('/') + 1);
}

}  // namespace

extern "C" {

SMFK_EXPORT int32_t SmfkConvert(const void*, const char* source, const char*, const char* configuration, int32_t,
                                void* record, SmfkProgress progress) {
  const auto* parameters = static_cast<const SmfkParameters*>(record);
  void* worker = reinterpret_cast<void*>(static_cast<std::uintptr_t>(parameters->worker));
  lastRecordSize = parameters->size;
  sourceWasSmf = startsWithMThd(source);
  const std::string name = baseName(configuration);
  if (name == "busy.cfg") {
    for (int percent = 0;; percent = (percent + 1) % 100) {
      if (progress(percent, worker) == 0) return 7;
      std::this_thread::yield();
    }
  }
  if (name == "stuck.cfg") {
    progress(10, worker);
    std::unique_lock lock(mutex);
    releasedChanged.wait(lock, [] { return released; });
    return 7;
  }
  if (name.rfind("result-", 0) == 0) {
    progress(50, worker);
    return std::atoi(name.c_str() + 7);
  }
  return 0;
}

SMFK_EXPORT int32_t GetSmfkVersion(void) {
  return 207;
}

SMFK_EXPORT void FakeSmfkRelease(void) {
  const std::lock_guard lock(mutex);
  released = true;
  releasedChanged.notify_all();
}

SMFK_EXPORT int FakeSmfkSourceWasSmf(void) {
  return sourceWasSmf ? 1 : 0;
}

SMFK_EXPORT uint32_t FakeSmfkLastRecordSize(void) {
  return lastRecordSize;
}

}  // extern "C"
