#pragma once
// The WRD screen's memory surfaces and palette banks.
//
// A surface is 640x480 bytes. Rows are stored bottom-up, the layout the window hands to
// the display in one transfer; every accessor here takes top-down row numbers, so
// callers never see the storage order.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace volta::wrd {

inline constexpr int kSurfaceWidth = 640;
inline constexpr int kSurfaceHeight = 480;

class Surface {
 public:
  Surface() : bytes_(static_cast<std::size_t>(kSurfaceWidth) * kSurfaceHeight, 0) {}

  static constexpr int width() { return kSurfaceWidth; }
  static constexpr int height() { return kSurfaceHeight; }
  static constexpr bool contains(int x, int y) { return x >= 0 && x < kSurfaceWidth && y >= 0 && y < kSurfaceHeight; }

  // Out-of-surface reads give 0; out-of-surface writes are dropped.
  std::uint8_t pixel(int x, int y) const { return contains(x, y) ? row(y)[x] : 0; }
  void setPixel(int x, int y, std::uint8_t value) {
    if (contains(x, y)) row(y)[x] = value;
  }

  // Added to a row's pointer, gives the row below it.
  static constexpr std::ptrdiff_t kNextRow = -kSurfaceWidth;

  // Row y counted from the top (0..479); the 640 bytes of one row are contiguous.
  std::uint8_t* row(int y) { return bytes_.data() + storageOffset(y); }
  const std::uint8_t* row(int y) const { return bytes_.data() + storageOffset(y); }

  void fill(std::uint8_t value);
  // Rows from..from+count-1 moved to start at row `to` (they may overlap) in one move, and
  // rows first..first+count-1 filled; every row named must lie on the surface.
  void moveRows(int to, int from, int count);
  void fillRows(int first, int count, std::uint8_t value);

  // Raw storage, bottom row first, for handing the whole image to a display.
  const std::uint8_t* bottomUpData() const { return bytes_.data(); }

 private:
  static std::size_t bandBytes(int rows) { return static_cast<std::size_t>(rows) * kSurfaceWidth; }
  static std::size_t storageOffset(int y) {
    return static_cast<std::size_t>(kSurfaceHeight - 1 - y) * static_cast<std::size_t>(kSurfaceWidth);
  }

  std::vector<std::uint8_t> bytes_;
};

// One palette bank: 16 entries of 0xRGB, four bits per component.
struct PaletteBank {
  std::array<std::uint16_t, 16> entries{};

  std::uint16_t& operator[](std::size_t i) { return entries[i]; }
  std::uint16_t operator[](std::size_t i) const { return entries[i]; }
  bool operator==(const PaletteBank&) const = default;
};

inline constexpr int kPaletteBankCount = 22;
using PaletteBanks = std::array<PaletteBank, kPaletteBankCount>;

// Bank roles: 0 is on display, 1..17 free for scripts, 18/19 pictures of even/odd pages,
// 20 the built-in picture, 21 the fade work bank.
inline constexpr int kPictureBankEven = 18;
inline constexpr int kPictureBankOdd = 19;
inline constexpr int kBuiltInPictureBank = 20;
inline constexpr int kFadeWorkBank = 21;

// A 4-bit component as an 8-bit intensity: 0 stays 0, c becomes c * 16 + 15.
constexpr std::uint8_t componentIntensity(unsigned c) {
  c &= 0xF;
  return c == 0 ? 0 : static_cast<std::uint8_t>(c * 16 + 15);
}

// 0xRGB as an opaque 0xAARRGGBB colour.
constexpr std::uint32_t rgbOf(std::uint16_t entry) {
  return 0xFF000000u | static_cast<std::uint32_t>(componentIntensity(entry >> 8)) << 16 |
         static_cast<std::uint32_t>(componentIntensity(entry >> 4)) << 8 | componentIntensity(entry);
}

}  // namespace volta::wrd
