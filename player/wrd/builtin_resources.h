#pragma once
// The built-in script (resource 11150) and picture (resource 11151) shown when a song has no
// script of its own.

#include <cstdint>
#include <span>
#include <string_view>

namespace volta::wrd {

// The script text as stored (carriage returns included when the file has them).
std::string_view builtInScript();
// The MAG picture file.
std::span<const std::uint8_t> builtInPictureFile();

}  // namespace volta::wrd
