#pragma once
// A small PNG writer for 8-bit indexed images, compressed with zlib.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace volta::tools {

// The PNG file of a `width` x `height` image of palette indices (rows top-down) with up to
// 256 palette colours given as 0xAARRGGBB (alpha ignored); empty when compression fails.
std::vector<std::uint8_t> encodeIndexedPng(int width, int height, std::span<const std::uint8_t> pixels,
                                           std::span<const std::uint32_t> palette);

bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace volta::tools
