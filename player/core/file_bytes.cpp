#include "player/core/file_bytes.h"

#include <fstream>
#include <iterator>

#include "platform/text.h"

namespace volta::core {

using platform::text::equalsIgnoringCase;

std::optional<std::string> readFileBytes(const std::filesystem::path& path) {
  if (path.native().find('\0') != std::string::npos) return {};
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return {};
  try {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  } catch (const std::ios_base::failure&) {
    return {};
  }
}

std::optional<std::filesystem::path> findFileIgnoringCase(const std::filesystem::path& wanted) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::is_regular_file(wanted, error)) return wanted;
  const std::string name = wanted.filename().string();
  const fs::path folder = wanted.parent_path().empty() ? fs::path(".") : wanted.parent_path();
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (equalsIgnoringCase(it->path().filename().string(), name) && it->is_regular_file(error)) return it->path();
  }
  return {};
}

}  // namespace volta::core
