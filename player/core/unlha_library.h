#pragma once
// Binding to the optional LZH archive library, libunlha32.so. The library is loaded with
// a use count: the first use loads it (the program's folder first, then the system's
// library path), the last one gone frees it. Each entry point is looked up at the moment
// of its call; a missing library or entry point makes the call fail quietly (no members,
// extraction result -1).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace volta::core {

inline constexpr char kUnlhaLibraryName[] = "libunlha32.so";

struct UnlhaMember {
  std::string name;  // UTF-8, "/" between folders
  std::uint32_t size = 0;
  bool folder = false;
};

struct UnlhaVersion {
  int major = 0;
  int minor = 0;
};

// One use of the library.
class UnlhaLibrary {
 public:
  explicit UnlhaLibrary(const std::filesystem::path& programFolder);
  ~UnlhaLibrary();
  UnlhaLibrary(const UnlhaLibrary&) = delete;
  UnlhaLibrary& operator=(const UnlhaLibrary&) = delete;

  bool available() const { return handle_ != nullptr; }
  // The members in the archive's order; none when the library or the archive cannot serve.
  std::vector<UnlhaMember> list(const std::filesystem::path& archive) const;
  // Runs a command line: -1 when the library or its entry is missing, else its result.
  // The library's messages go to `output`.
  int run(const std::string& commandLine, std::string& output) const;
  std::optional<UnlhaVersion> version() const;

  // The process's count of uses (the library is loaded while it is above 0).
  static int uses();

 private:
  template <typename Function>
  Function* entry(const char* name) const;
  void* handle_ = nullptr;
};

}  // namespace volta::core
