#include "platform/program_folder.h"

namespace volta::platform {

std::filesystem::path programFile() {
  std::error_code error;
  auto self = std::filesystem::canonical("/proc/self/exe", error);
  return error ? std::filesystem::path() : self;
}

std::filesystem::path programFolder() {
  const auto self = programFile();
  return self.empty() ? std::filesystem::current_path() : self.parent_path();
}

}  // namespace volta::platform
