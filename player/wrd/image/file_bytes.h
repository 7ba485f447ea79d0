#pragma once
// Whole-file reading for the picture loaders.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace volta::wrd::image {

// Pictures are small; anything larger than this is not one and is refused unread.
inline constexpr std::uintmax_t kMaxPictureFileSize = 64u << 20;

// The file's bytes, or nothing when it cannot be opened or read or is too large.
std::optional<std::vector<std::uint8_t>> readPictureFile(const std::filesystem::path& path);

}  // namespace volta::wrd::image
