#include "player/core/temp_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace volta::core {

std::optional<std::filesystem::path> privateTempFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::filesystem::path folder = runtime && *runtime
                                           ? std::filesystem::path(runtime) / "volta"
                                           : std::filesystem::path("/tmp/volta-" + std::to_string(getuid()));
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
  struct stat info {};
  if (lstat(folder.c_str(), &info) != 0) return std::nullopt;
  const bool safe = S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & 077) == 0;
  if (!safe) return std::nullopt;
  return folder;
}

}  // namespace volta::core
