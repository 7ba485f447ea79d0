#include "player/wrd/image/gif_decoder.h"

#include <algorithm>
#include <string_view>

#include "player/wrd/image/byte_reader.h"
#include "player/wrd/image/file_bytes.h"
#include "player/wrd/image/gif_lzw.h"
#include "player/wrd/image/indexed_image.h"

namespace volta::wrd::image {
namespace {

constexpr std::uint8_t kExtension = '!';
constexpr std::uint8_t kImageSeparator = ',';
constexpr std::uint8_t kTrailer = ';';
constexpr std::uint8_t kGraphicControl = 0xF9;
constexpr std::uint8_t kTableFlag = 0x80;
constexpr std::uint8_t kInterlaceFlag = 0x40;
constexpr std::uint8_t kTransparencyFlag = 0x01;

bool readSignature(ByteReader& reader) {
  std::span<const std::uint8_t> bytes;
  if (!reader.take(bytes, 6)) return false;
  const std::string_view signature(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return signature == "GIF87a" || signature == "GIF89a";
}

// A colour table of 2^(n+1) entries when `flags` announces one; it replaces the palette.
bool readColourTable(ByteReader& reader, std::uint8_t flags, GifImage& image) {
  if (!(flags & kTableFlag)) return true;
  const int count = 2 << (flags & 0x07);
  std::span<const std::uint8_t> table;
  if (!reader.take(table, 3 * static_cast<std::size_t>(count))) return false;
  image.palette = {};
  for (int i = 0; i < count; ++i)
    image.palette[i] = GifColour{table[3 * i], table[3 * i + 1], table[3 * i + 2]};
  image.colourCount = count;
  return true;
}

// Sub-blocks up to and including the empty one, their data joined into `data`.
bool readSubBlocks(ByteReader& reader, std::vector<std::uint8_t>& data) {
  data.clear();
  for (;;) {
    std::uint8_t size = 0;
    std::span<const std::uint8_t> block;
    if (!reader.u8(size)) return false;
    if (size == 0) return true;
    if (!reader.take(block, size)) return false;
    data.insert(data.end(), block.begin(), block.end());
  }
}

bool readExtension(ByteReader& reader, GifImage& image) {
  std::uint8_t label = 0;
  std::vector<std::uint8_t> data;
  if (!reader.u8(label) || !readSubBlocks(reader, data)) return false;
  // Graphic control: flags, delay (2 bytes), transparent colour index.
  if (label == kGraphicControl && data.size() >= 4 && (data[0] & kTransparencyFlag)) image.transparentIndex = data[3];
  return true;
}

bool readImage(ByteReader& reader, GifImage& image) {
  std::uint16_t width = 0, height = 0;
  std::uint8_t flags = 0, minCodeSize = 0;
  std::vector<std::uint8_t> codes;
  // The image's position on the logical screen is not needed: the picture is used whole.
  if (!reader.skip(4) || !reader.u16(width) || !reader.u16(height) || !reader.u8(flags) ||
      !readColourTable(reader, flags, image) || !reader.u8(minCodeSize) || !readSubBlocks(reader, codes)) {
    return false;
  }
  const std::size_t pixelCount = static_cast<std::size_t>(width) * height;
  if (pixelCount == 0 || pixelCount > kMaxPicturePixels) return false;
  image.width = width;
  image.height = height;
  image.interlaced = (flags & kInterlaceFlag) != 0;
  std::vector<std::uint8_t> stored;
  if (!decodeGifLzw(codes, minCodeSize, pixelCount, stored)) return false;
  if (!image.interlaced) {
    image.pixels = std::move(stored);
    return true;
  }
  image.pixels.resize(stored.size());
  const std::vector<int> order = interlacedRowOrder(height);
  for (std::size_t k = 0; k < order.size(); ++k) {
    std::copy_n(&stored[k * width], width, &image.pixels[static_cast<std::size_t>(order[k]) * width]);
  }
  return true;
}

bool decodeFirstImage(std::span<const std::uint8_t> file, GifImage& image) {
  ByteReader reader(file);
  std::uint8_t flags = 0;
  // Of the logical screen descriptor only the colour table flags matter: the size, background
  // colour and aspect ratio around them are skipped.
  if (!readSignature(reader) || !reader.skip(4) || !reader.u8(flags) || !reader.skip(2) ||
      !readColourTable(reader, flags, image)) {
    return false;
  }
  for (;;) {
    std::uint8_t introducer = 0;
    if (!reader.u8(introducer)) return false;
    switch (introducer) {
      case kImageSeparator:
        return readImage(reader, image);
      case kExtension:
        if (!readExtension(reader, image)) return false;
        break;
      case kTrailer:  // the file ends without an image
      default:        // not a GIF block
        return false;
    }
  }
}

}  // namespace

bool decodeGif(std::span<const std::uint8_t> file, GifImage& image) {
  image = GifImage{};
  if (decodeFirstImage(file, image)) return true;
  image = GifImage{};
  return false;
}

bool loadGif(const std::filesystem::path& path, GifImage& image) {
  const auto bytes = readPictureFile(path);
  if (bytes) return decodeGif(*bytes, image);
  image = GifImage{};
  return false;
}

}  // namespace volta::wrd::image
