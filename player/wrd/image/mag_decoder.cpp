#include "player/wrd/image/mag_decoder.h"

#include <algorithm>
#include <cstring>

#include "player/wrd/image/byte_reader.h"
#include "player/wrd/image/file_bytes.h"

namespace volta::wrd::image {
namespace {

constexpr std::uint8_t kCommentEnd = 0x1A;

// Where a flag nibble copies its word from: dx words to the left, dy rows up. Nibble 0 takes
// the next word of pixel data instead.
constexpr std::array<int, 16> kCopyDx{0, 1, 2, 4, 0, 1, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0};
constexpr std::array<int, 16> kCopyDy{0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};

// Decodes the word whose first pixel is pixels[word] as flag nibble `nibble` says.
bool decodeWord(int nibble, std::uint8_t* pixels, std::size_t word, int width, ByteReader& data) {
  std::uint8_t* out = pixels + word;
  if (nibble == 0) {
    std::span<const std::uint8_t> bytes;
    if (!data.take(bytes, 2)) return false;
    out[0] = bytes[0] >> 4;
    out[1] = bytes[0] & 0x0F;
    out[2] = bytes[1] >> 4;
    out[3] = bytes[1] & 0x0F;
    return true;
  }
  // Rows above the picture and words before its first read as colour 0 (the image starts
  // zeroed); a copy from the left of a row's start takes the end of the row above, as the
  // rows lie end to end.
  const std::size_t back = static_cast<std::size_t>(kCopyDy[nibble]) * width + 4 * kCopyDx[nibble];
  if (back <= word) std::memcpy(out, out - back, 4);
  return true;
}

}  // namespace

std::optional<MagHeader> readMagHeader(std::span<const std::uint8_t> file) {
  const auto commentEnd = std::find(file.begin(), file.end(), kCommentEnd);
  if (commentEnd == file.end()) return std::nullopt;
  MagHeader header;
  header.headerStart = static_cast<std::size_t>(commentEnd - file.begin()) + 1;
  ByteReader reader(file, header.headerStart);
  std::uint16_t xStart = 0, yStart = 0, xEnd = 0, yEnd = 0;
  std::uint32_t flagBSize = 0, pixelSize = 0;  // the streams are bounded by the file instead
  std::span<const std::uint8_t> palette;
  // Reserved byte, machine code, machine flags and screen mode come first.
  if (!reader.skip(4) || !reader.u16(xStart) || !reader.u16(yStart) || !reader.u16(xEnd) || !reader.u16(yEnd) ||
      !reader.u32(header.flagAOffset) || !reader.u32(header.flagBOffset) || !reader.u32(flagBSize) ||
      !reader.u32(header.pixelOffset) || !reader.u32(pixelSize) || !reader.take(palette, 16 * 3)) {
    return std::nullopt;
  }
  header.xStart = xStart;
  header.yStart = yStart;
  header.xEnd = xEnd;
  header.yEnd = yEnd;
  if (header.units() < 1 || header.height() < 1) return std::nullopt;
  for (std::size_t i = 0; i < header.palette.size(); ++i) {
    header.palette[i] = MagColour{palette[3 * i + 1], palette[3 * i], palette[3 * i + 2]};  // stored G, R, B
  }
  return header;
}

std::optional<IndexedImage> decodeMagPixels(std::span<const std::uint8_t> file, const MagHeader& header) {
  const int units = header.units();
  const std::size_t flagBits = static_cast<std::size_t>(units) * header.height();
  if (flagBits * 8 > kMaxPicturePixels) return std::nullopt;
  // Flag A holds one bit per flag byte of the picture.
  ByteReader flagAReader(file, header.headerStart + header.flagAOffset);
  std::span<const std::uint8_t> flagA;
  if (!flagAReader.take(flagA, (flagBits + 7) / 8)) return std::nullopt;
  ByteReader flagB(file, header.headerStart + header.flagBOffset);
  ByteReader data(file, header.headerStart + header.pixelOffset);

  IndexedImage image{header.width(), header.height(), {}};
  image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, 0);
  std::vector<std::uint8_t> flags(static_cast<std::size_t>(units), 0);
  std::size_t bit = 0;
  std::size_t word = 0;  // pixel index of the next word
  for (int row = 0; row < image.height; ++row) {
    for (auto& flag : flags) {
      if (flagA[bit >> 3] & (0x80 >> (bit & 7))) {
        std::uint8_t change = 0;
        if (!flagB.u8(change)) return std::nullopt;
        flag ^= change;
      }
      ++bit;
    }
    for (const std::uint8_t flag : flags) {
      if (!decodeWord(flag >> 4, image.pixels.data(), word, image.width, data) ||
          !decodeWord(flag & 0x0F, image.pixels.data(), word + 4, image.width, data)) {
        return std::nullopt;
      }
      word += 8;
    }
  }
  return image;
}

Rgb12Palette toRgb12(const std::array<MagColour, 16>& palette) {
  Rgb12Palette out{};
  for (std::size_t i = 0; i < out.size(); ++i) {
    const MagColour& c = palette[i];
    out[i] = static_cast<std::uint16_t>((c.red >> 4) << 8 | (c.green & 0xF0) | c.blue >> 4);
  }
  return out;
}

bool drawMag(std::span<const std::uint8_t> file, ImageTarget& page, Rgb12Palette& palette, const MagRequest& request,
             MagPlacement* placement) {
  const std::optional<MagHeader> header = readMagHeader(file);
  if (!header) return false;
  const int reduction = std::max(request.reduction, 1);
  const MagPlacement place{(request.x == -1 ? header->xStart : request.x) & ~7,
                           request.y == -1 ? header->yStart : request.y, reducedSize(header->width(), reduction),
                           reducedSize(header->height(), reduction)};
  std::optional<IndexedImage> image;
  if (!request.paletteOnly) {
    image = decodeMagPixels(file, *header);
    if (!image) return false;
  }
  palette = toRgb12(header->palette);
  if (placement) *placement = place;
  if (!image) return false;
  placeImage(*image, page, place.x, place.y, reduction);
  return true;
}

bool loadMag(const std::filesystem::path& path, ImageTarget& page, Rgb12Palette& palette, const MagRequest& request,
             MagPlacement* placement) {
  const auto bytes = readPictureFile(path);
  return bytes && drawMag(*bytes, page, palette, request, placement);
}

}  // namespace volta::wrd::image
