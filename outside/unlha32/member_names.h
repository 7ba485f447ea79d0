#pragma once
// Member names as the archive stores them, read from the raw header bytes (liblhasa's own
// reading folds all-capital names to lower case and cuts Shift-JIS characters whose
// second byte is 0x5C), decoded to UTF-8, and checked for staying inside a folder.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace volta::unlha {

struct MemberName {
  std::string name;     // UTF-8, folders separated by "/"; a leading "/" when stored absolute
  std::string problem;  // why the name cannot be written inside a folder; empty when it can
};

// The name of a header of this level from its raw bytes. Level 0 and the base name of
// level 1 are MS-DOS paths ("\" or "/" between folders); extended headers separate
// folders with 0xFF. Names of Unix archives ('U') that are valid UTF-8 stay so; all
// others are read as CP932.
MemberName memberName(std::span<const std::uint8_t> raw, int level, std::uint8_t os);

// "*" any run of characters (folders included), "?" one character; ASCII letters match
// without regard to case; "*.*" matches every name.
bool matchesPattern(std::string_view pattern, std::string_view name);

}  // namespace volta::unlha
