#pragma once
// Decoded pictures as plain one-byte-per-pixel images, and the small interface through which
// they are placed onto a page, so that the decoders know nothing of the screen's surfaces.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace volta::wrd::image {

// Pictures of more pixels than this are refused: the screen has 640x480, and a few bytes of
// compressed data must not be able to claim gigabytes.
inline constexpr std::size_t kMaxPicturePixels = 4096 * 4096;

// A picture of colour indices, rows top-down, `width` bytes per row.
struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;

  std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Where pictures are drawn: a page addressed top-down. Callers of writeSpan keep the span
// inside the page; each byte replaces the page's byte.
class ImageTarget {
 public:
  virtual ~ImageTarget() = default;
  virtual int width() const = 0;
  virtual int height() const = 0;
  virtual void writeSpan(int x, int y, std::span<const std::uint8_t> pixels) = 0;
};

// A page held in memory, for decoding into a buffer (the built-in picture) and for checks.
class BufferTarget final : public ImageTarget {
 public:
  BufferTarget(int width, int height, std::uint8_t fill = 0);
  int width() const override { return image_.width; }
  int height() const override { return image_.height; }
  void writeSpan(int x, int y, std::span<const std::uint8_t> pixels) override;
  const IndexedImage& image() const { return image_; }

 private:
  IndexedImage image_;
};

// Writes every `reduction`-th pixel of every `reduction`-th row of `image` (starting with the
// first) to the target with its top left corner at (x, y); what falls outside the target is
// dropped.
void placeImage(const IndexedImage& image, ImageTarget& target, int x, int y, int reduction = 1);

// The number of pixels or rows that remain of `size` when only every `reduction`-th is kept.
int reducedSize(int size, int reduction);

}  // namespace volta::wrd::image
