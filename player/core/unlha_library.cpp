#include "player/core/unlha_library.h"

#include <dlfcn.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "outside/unlha32/unlha32.h"

namespace volta::core {

namespace {

// The archive is opened for listing in the mode the library's callers have always asked for.
constexpr std::uint32_t kListingMode = 0x800202;
constexpr std::size_t kOutputSize = 4096;

using OpenFunction = void*(void* window, const char* archive, std::uint32_t mode);
using CloseFunction = int(void* archive);
using FindFirstFunction = int(void* archive, const char* wildcard, UnlhaMemberInfo* info);
using FindNextFunction = int(void* archive, UnlhaMemberInfo* info);
using CommandFunction = int(void* window, const char* commandLine, char* output, std::uint32_t size);
using VersionFunction = int();
using BackgroundFunction = int(int background);

struct Shared {
  std::mutex lock;
  void* handle = nullptr;
  int uses = 0;
};

Shared& shared() {
  static Shared library;
  return library;
}

void* load(const std::filesystem::path& programFolder) {
  const std::filesystem::path local = programFolder / kUnlhaLibraryName;
  std::error_code error;
  if (!programFolder.empty() && std::filesystem::exists(local, error))
    if (void* handle = dlopen(local.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
  return dlopen(kUnlhaLibraryName, RTLD_NOW | RTLD_LOCAL);
}

UnlhaMember memberOf(const UnlhaMemberInfo& info) {
  UnlhaMember member;
  member.name.assign(info.fileName, strnlen(info.fileName, sizeof info.fileName));
  member.size = info.originalSize;
  member.folder = info.attribute[0] == 'd';
  return member;
}

}  // namespace

UnlhaLibrary::UnlhaLibrary(const std::filesystem::path& programFolder) {
  Shared& library = shared();
  std::lock_guard guard(library.lock);
  if (library.uses == 0) library.handle = load(programFolder);
  if (library.handle == nullptr) return;
  ++library.uses;
  handle_ = library.handle;
}

UnlhaLibrary::~UnlhaLibrary() {
  if (handle_ == nullptr) return;
  Shared& library = shared();
  std::lock_guard guard(library.lock);
  if (--library.uses > 0) return;
  dlclose(library.handle);
  library.handle = nullptr;
}

int UnlhaLibrary::uses() {
  Shared& library = shared();
  std::lock_guard guard(library.lock);
  return library.uses;
}

template <typename Function>
Function* UnlhaLibrary::entry(const char* name) const {
  return handle_ == nullptr ? nullptr : reinterpret_cast<Function*>(dlsym(handle_, name));
}

std::vector<UnlhaMember> UnlhaLibrary::list(const std::filesystem::path& archive) const {
  std::vector<UnlhaMember> members;
  if (auto* background = entry<BackgroundFunction>("UnlhaSetBackGroundMode")) background(0);
  auto* open = entry<OpenFunction>("UnlhaOpenArchive");
  auto* findFirst = entry<FindFirstFunction>("UnlhaFindFirst");
  auto* findNext = entry<FindNextFunction>("UnlhaFindNext");
  auto* close = entry<CloseFunction>("UnlhaCloseArchive");
  if (!open || !findFirst || !findNext || !close) return members;
  void* handle = open(nullptr, archive.c_str(), kListingMode);
  if (handle == nullptr) return members;
  UnlhaMemberInfo info{};
  for (int found = findFirst(handle, "*.*", &info); found == UNLHA_FOUND; found = findNext(handle, &info))
    members.push_back(memberOf(info));
  close(handle);
  return members;
}

int UnlhaLibrary::run(const std::string& commandLine, std::string& output) const {
  output.clear();
  auto* command = entry<CommandFunction>("Unlha");
  if (command == nullptr) return -1;
  std::vector<char> buffer(kOutputSize, '\0');
  const int result = command(nullptr, commandLine.c_str(), buffer.data(), static_cast<std::uint32_t>(buffer.size()));
  buffer.back() = '\0';
  output = buffer.data();
  return result;
}

std::optional<UnlhaVersion> UnlhaLibrary::version() const {
  auto* getVersion = entry<VersionFunction>("UnlhaGetVersion");
  if (getVersion == nullptr) return std::nullopt;
  const int number = getVersion();
  return UnlhaVersion{number / 100, number % 100};
}

}  // namespace volta::core
