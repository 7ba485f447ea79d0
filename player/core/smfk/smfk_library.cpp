#include "player/core/smfk/smfk_library.h"

#include <dlfcn.h>

#include <array>

namespace volta::core::smfk {

SmfkLibrary::~SmfkLibrary() {
  unload();
}

bool SmfkLibrary::load(const std::filesystem::path& programFolder) {
  const std::filesystem::path local = programFolder / kLibraryName;
  std::error_code error;
  if (!programFolder.empty() && std::filesystem::exists(local, error) && loadFile(local)) return true;
  void* handle = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return false;
  unload();
  handle_ = handle;
  return true;
}

bool SmfkLibrary::loadFile(const std::filesystem::path& file) {
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return false;
  unload();
  handle_ = handle;
  return true;
}

void SmfkLibrary::unload() {
  joinAdopted();
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return running_ == 0; });
  if (handle_ != nullptr) dlclose(handle_);
  handle_ = nullptr;
}

void SmfkLibrary::adoptThread(std::thread thread) {
  const std::lock_guard lock(mutex_);
  adopted_.push_back(std::move(thread));
}

void SmfkLibrary::joinAdopted() {
  std::vector<std::thread> threads;
  {
    const std::lock_guard lock(mutex_);
    threads.swap(adopted_);
  }
  for (std::thread& thread : threads)
    thread.join();
}

std::int32_t SmfkLibrary::convert(const platform::MessageTarget* owner, const std::filesystem::path& source,
                                  const std::filesystem::path& output, const std::filesystem::path& configuration,
                                  Parameters* parameters, ProgressCallback progress) const {
  ConvertFunction* function = nullptr;
  {
    const std::lock_guard lock(mutex_);
    if (handle_ != nullptr) function = reinterpret_cast<ConvertFunction*>(dlsym(handle_, "SmfkConvert"));
    if (function == nullptr) return kCannotReadMidiFile;
    ++running_;
  }
  const std::int32_t result =
      function(owner, source.c_str(), output.c_str(), configuration.c_str(), 0, parameters, progress);
  const std::lock_guard lock(mutex_);
  --running_;
  idle_.notify_all();
  return result;
}

std::int32_t SmfkLibrary::versionNumber() const {
  const std::lock_guard lock(mutex_);
  auto* function = handle_ != nullptr ? reinterpret_cast<VersionFunction*>(dlsym(handle_, "GetSmfkVersion")) : nullptr;
  return function != nullptr ? function() : 0;
}

std::optional<Version> SmfkLibrary::version() const {
  if (!available()) return std::nullopt;
  const std::int32_t number = versionNumber();
  return Version{number / 100, number % 100};
}

std::optional<std::string> resultMessage(std::int32_t result) {
  static constexpr std::array<const char*, 8> kMessages{"Unknown error",
                                                        "Cannot read a configuration file",
                                                        "Cannot read a midi file",
                                                        "Cannot open a output midi file",
                                                        "Invalid midi file",
                                                        "Out of memory",
                                                        "Cannot write a configuration file",
                                                        "Aborted by user"};
  if (result < 0) return std::nullopt;
  return kMessages[static_cast<std::size_t>(result) < kMessages.size() ? static_cast<std::size_t>(result) : 0];
}

}  // namespace volta::core::smfk
