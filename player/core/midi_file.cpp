#include "player/core/midi_file.h"

#include <algorithm>

namespace volta::core {

std::filesystem::path fullPath(std::string_view baseFolder, const MIDIFile& entry) {
  std::string joined;
  joined.reserve(baseFolder.size() + entry.fileName.size());
  joined.append(baseFolder).append(entry.fileName);
  std::replace(joined.begin(), joined.end(), '\\', '/');
  return std::filesystem::path(joined);
}

}  // namespace volta::core
