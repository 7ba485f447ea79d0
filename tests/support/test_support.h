#pragma once
// Helpers shared by the tests: temporary folders, the source and corpus folders.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace volta::test {

// A fresh folder removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// The project's source folder.
std::filesystem::path sourceDir();
// The folder holding the built deliverables (build/bin).
std::filesystem::path binDir();
// ../shared/corpus/<sub> beside the source folder; empty when absent.
std::filesystem::path corpusDir(const std::string& sub);

std::vector<std::uint8_t> readFile(const std::filesystem::path& path);
std::string readText(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// Whether every one of the commands is on the PATH (tests of outside tools skip without).
bool commandsPresent(std::initializer_list<const char*> commands);

// Polls until done holds or the time is up, for what another thread or process does;
// the time is real, so that a slow poll cannot stretch the limit.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5));

}  // namespace volta::test
