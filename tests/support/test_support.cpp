#include "tests/support/test_support.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <thread>

namespace volta::test {

TempDir::TempDir() {
  std::random_device random;
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / ("volta-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

// Tests, benchmarks and fuzz targets are run from anywhere (`make bench` runs them from
// the repository's root): without the variables, the places of this build are taken.
std::filesystem::path sourceDir() {
  if (const char* dir = std::getenv("VOLTA_SOURCE_DIR")) return dir;
  return VOLTA_BUILT_FROM;
}

// build/bin, beside the folder of the running program (build/tests, build/bench, build/fuzz).
std::filesystem::path binDir() {
  if (const char* dir = std::getenv("VOLTA_BIN_DIR")) return dir;
  std::error_code error;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path() / "bin";
  return program.parent_path().parent_path() / "bin";
}

std::filesystem::path corpusDir(const std::string& sub) {
  auto dir = sourceDir().parent_path() / "shared" / "corpus" / sub;
  return std::filesystem::is_directory(dir) ? dir : std::filesystem::path{};
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string readText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool commandsPresent(std::initializer_list<const char*> commands) {
  for (const char* command : commands)
    if (std::system(("command -v " + std::string(command) + " >/dev/null 2>&1").c_str()) != 0) return false;
  return true;
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return done();
}

}  // namespace volta::test
