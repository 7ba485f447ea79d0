#pragma once
// The built-in script and picture shown when a song has no script of its own.

#include <cstdint>
#include <span>
#include <string_view>

namespace volta::wrd {

inline constexpr int kBuiltInScriptId = 11150;
inline constexpr int kBuiltInPictureId = 11151;

// The script text as stored (carriage returns included when the file has them).
std::string_view builtInScript();
// The MAG picture file.
std::span<const std::uint8_t> builtInPictureFile();

}  // namespace volta::wrd
