#include "platform/program_folder.h"

namespace volta::platform {

std::filesystem::path programFolder() {
  std::error_code error;
  const auto self = std::filesystem::canonical("/proc/self/exe", error);
  return error ? std::filesystem::current_path() : self.parent_path();
}

}  // namespace volta::platform
