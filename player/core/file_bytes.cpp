#include "player/core/file_bytes.h"

#include <fstream>
#include <iterator>

namespace volta::core {

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

}  // namespace volta::core
