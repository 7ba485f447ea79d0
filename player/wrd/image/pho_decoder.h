#pragma once
// PHO pictures: 640x400 pixels of 8 colours, stored as three uncompressed bit planes.

#include <cstdint>
#include <filesystem>
#include <span>

#include "player/wrd/image/indexed_image.h"

namespace volta::wrd::image {

inline constexpr int kPhoWidth = 640;
inline constexpr int kPhoHeight = 400;
inline constexpr std::size_t kPhoPlaneSize = kPhoWidth / 8 * kPhoHeight;
inline constexpr std::size_t kPhoFileSize = 3 * kPhoPlaneSize;

// The picture in `file`: the first plane gives bit 0 of each colour, the second bit 1, the
// third bit 2. Bytes missing from a short file count as 0; bytes past 96000 are ignored.
IndexedImage decodePho(std::span<const std::uint8_t> file);

// Replaces rows 0..399 of `page` (as far as it reaches) with the picture; false, leaving the
// page untouched, when the file cannot be read.
bool loadPho(const std::filesystem::path& path, ImageTarget& page);

}  // namespace volta::wrd::image
