#pragma once
// A fuzz run's own private folder: made with mkdtemp (a name nobody can guess or plant
// beforehand, mode 0700) and removed with its contents when the run ends.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace volta::fuzz {

class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name) {
    std::string pattern = (std::filesystem::temp_directory_path() / (name + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The folder of this run, made at the first call.
inline const std::filesystem::path& scratchFolder(const std::string& name) {
  static const ScratchFolder folder(name);
  return folder.path();
}

}  // namespace volta::fuzz
