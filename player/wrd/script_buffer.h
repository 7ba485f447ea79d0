#pragma once
// A WRD script held in memory as the interpreter walks it.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace volta::wrd {

// Scripts larger than this are not scripts; they are refused unread.
inline constexpr std::uintmax_t kMaxScriptFileSize = 32u << 20;
inline constexpr std::size_t kScriptHeaderSize = 128;
inline constexpr std::size_t kHeaderTagOffset = 65;

// The bytes of a script followed by 0x1A and 0, at least 128 bytes in all. `start` skips a
// 128-byte header whose bytes 65..68 are "TEXT"; `end` is where the appended 0x1A stands.
struct ScriptBuffer {
  std::vector<char> bytes;
  std::size_t start = 0;
  std::size_t end = 0;
};

ScriptBuffer makeScriptBuffer(std::string_view content);

// The text of a file as a text-mode reader gives it: each CR LF becomes LF and a 0x1A ends
// the text. Nothing when the file cannot be read or is too large.
std::optional<std::vector<char>> readScriptText(const std::filesystem::path& path);
// The file's bytes as they stand (DV scripts are binary).
std::optional<std::vector<char>> readScriptBytes(const std::filesystem::path& path);

// `text` without its carriage returns.
std::vector<char> withoutCarriageReturns(std::string_view text);

}  // namespace volta::wrd
