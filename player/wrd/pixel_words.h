#pragma once
// Eight one-byte pixels handled as one 64-bit word, for drawing a row of pixels at a time.

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace volta::wrd {

inline constexpr std::uint64_t kEachByte = 0x0101010101010101u;
inline constexpr std::uint64_t kLowNibbles = kEachByte * 0x0F;

// Eight bits (leftmost pixel in the most significant bit, as in glyph rows and line styles)
// as eight bytes of 0xFF or 0, the leftmost pixel first in memory.
inline constexpr std::array<std::uint64_t, 256> kPixelMasks = [] {
  std::array<std::uint64_t, 256> masks{};
  for (unsigned bits = 0; bits < 256; ++bits) {
    std::array<std::uint8_t, 8> pixels{};
    for (unsigned i = 0; i < 8; ++i)
      pixels[i] = (bits & (0x80u >> i)) != 0 ? 0xFF : 0;
    masks[bits] = std::bit_cast<std::uint64_t>(pixels);
  }
  return masks;
}();

inline std::uint64_t load8(const std::uint8_t* at) {
  std::uint64_t value = 0;
  std::memcpy(&value, at, 8);
  return value;
}

inline void store8(std::uint8_t* at, std::uint64_t value) {
  std::memcpy(at, &value, 8);
}

}  // namespace volta::wrd
