#pragma once
// One entry of the play list: where the song is, what was read from it and how it
// is to be played.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace volta::core {

struct MIDIFile {
  std::string fileName;       // as stored: absolute, or relative to the base folder, beginning with "\" or "/"
  std::string archiveMember;  // empty for a plain file
  std::string title;          // bytes as read from the song (CP932)
  std::string module;         // "/M:" module; empty = automatic
  std::int32_t portAssignType = 0;
  std::uint32_t lengthMs = 0;
  std::uint16_t measures = 0;
  bool unreadable = false;
  std::int32_t errorCode = 0;
  std::int32_t wrdState = 0;  // 0 unchecked, 1 none, 2 a script belongs to the song
  bool smfKnife = false;
};

// The song's file: baseFolder immediately followed by fileName, "\" read as "/".
// A relative name already begins with its separator, so nothing is put between.
std::filesystem::path fullPath(std::string_view baseFolder, const MIDIFile& entry);

}  // namespace volta::core
