#include "picture_writers.h"

#include <map>
#include <random>

namespace volta::wrd::image::test {
namespace {

void put16(Bytes& out, int value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(Bytes& out, std::size_t value) {
  put16(out, static_cast<int>(value & 0xFFFF));
  put16(out, static_cast<int>(value >> 16));
}

// The MAG copy offsets in words to the left and rows up, by flag nibble.
constexpr std::array<std::pair<int, int>, 16> kMagCopies{{{0, 0},
                                                          {1, 0},
                                                          {2, 0},
                                                          {4, 0},
                                                          {0, 1},
                                                          {1, 1},
                                                          {0, 2},
                                                          {1, 2},
                                                          {2, 2},
                                                          {0, 4},
                                                          {1, 4},
                                                          {2, 4},
                                                          {0, 8},
                                                          {1, 8},
                                                          {2, 8},
                                                          {0, 16}}};

bool sameWord(const IndexedImage& image, int row, int word, int otherRow, int otherWord) {
  for (int i = 0; i < 4; ++i) {
    if (image.at(4 * word + i, row) != image.at(4 * otherWord + i, otherRow)) return false;
  }
  return true;
}

// The flag nibble for one word; a literal word is appended to `pixels`.
int magNibble(const IndexedImage& image, int row, int word, Bytes& pixels) {
  for (int n = 1; n < 16; ++n) {
    const auto [dx, dy] = kMagCopies[n];
    if (row >= dy && word >= dx && sameWord(image, row, word, row - dy, word - dx)) return n;
  }
  const auto at = [&](int i) { return image.at(4 * word + i, row); };
  pixels.push_back(static_cast<std::uint8_t>(at(0) << 4 | at(1)));
  pixels.push_back(static_cast<std::uint8_t>(at(2) << 4 | at(3)));
  return 0;
}

// Bits, most significant first.
class MsbBitWriter {
 public:
  void put(bool bit) {
    if (count_ % 8 == 0) bytes_.push_back(0);
    if (bit) bytes_.back() |= static_cast<std::uint8_t>(0x80 >> (count_ % 8));
    ++count_;
  }
  Bytes take() { return std::move(bytes_); }

 private:
  Bytes bytes_;
  std::size_t count_ = 0;
};

// Codes, least significant bit first.
class LsbBitWriter {
 public:
  void put(int code, int width) {
    bits_ |= static_cast<std::uint32_t>(code) << count_;
    count_ += width;
    while (count_ >= 8) {
      bytes_.push_back(static_cast<std::uint8_t>(bits_));
      bits_ >>= 8;
      count_ -= 8;
    }
  }
  Bytes take() {
    if (count_ > 0) bytes_.push_back(static_cast<std::uint8_t>(bits_));
    count_ = 0;
    bits_ = 0;
    return std::move(bytes_);
  }

 private:
  Bytes bytes_;
  std::uint32_t bits_ = 0;
  int count_ = 0;
};

void putColourTable(Bytes& out, const std::vector<GifColour>& table) {
  for (const GifColour& c : table)
    out.insert(out.end(), {c.red, c.green, c.blue});
}

// The size field of a table's flags: 2^(field + 1) entries.
int tableSizeField(const std::vector<GifColour>& table) {
  int field = 0;
  while ((2u << field) < table.size())
    ++field;
  return field;
}

int tableFlags(const std::vector<GifColour>& table) {
  return table.empty() ? 0 : 0x80 | tableSizeField(table);
}

std::vector<std::uint8_t> storedRows(const GifContent& gif) {
  if (!gif.interlaced) return gif.pixels;
  std::vector<std::uint8_t> stored;
  for (const auto& [start, step] : {std::pair{0, 8}, std::pair{4, 8}, std::pair{2, 4}, std::pair{1, 2}}) {
    for (int row = start; row < gif.height; row += step) {
      const auto first = gif.pixels.begin() + static_cast<std::ptrdiff_t>(row) * gif.width;
      stored.insert(stored.end(), first, first + gif.width);
    }
  }
  return stored;
}

void putSubBlocks(Bytes& out, const Bytes& data, std::size_t blockSize) {
  for (std::size_t at = 0; at < data.size(); at += blockSize) {
    const std::size_t size = std::min(blockSize, data.size() - at);
    out.push_back(static_cast<std::uint8_t>(size));
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
               data.begin() + static_cast<std::ptrdiff_t>(at + size));
  }
  out.push_back(0);
}

}  // namespace

Bytes assembleMag(const MagStreams& s) {
  Bytes out(s.comment.begin(), s.comment.end());
  out.push_back(0x1A);
  out.insert(out.end(), {0, 0, 0, 0});  // reserved, machine code, machine flags, screen mode
  for (const int v : {s.xStart, s.yStart, s.xEnd, s.yEnd})
    put16(out, v);
  const std::size_t flagA = 32 + 48;
  const std::size_t flagB = flagA + s.flagA.size();
  const std::size_t pixels = flagB + s.flagB.size();
  for (const std::size_t v : {flagA, flagB, s.flagB.size(), pixels, s.pixels.size()})
    put32(out, v);
  for (const MagColour& c : s.palette)
    out.insert(out.end(), {c.green, c.red, c.blue});
  for (const Bytes* stream : {&s.flagA, &s.flagB, &s.pixels})
    out.insert(out.end(), stream->begin(), stream->end());
  return out;
}

Bytes encodeMag(const IndexedImage& image, int xStart, int yStart, const std::array<MagColour, 16>& palette) {
  const int units = image.width / 8;
  MagStreams s;
  s.xStart = xStart;
  s.yStart = yStart;
  s.xEnd = ((xStart >> 3) + units - 1) * 8 + 7;
  s.yEnd = yStart + image.height - 1;
  s.palette = palette;
  std::vector<std::uint8_t> previous(static_cast<std::size_t>(units), 0);
  MsbBitWriter flagA;
  for (int row = 0; row < image.height; ++row) {
    for (int unit = 0; unit < units; ++unit) {
      const int high = magNibble(image, row, 2 * unit, s.pixels);
      const int low = magNibble(image, row, 2 * unit + 1, s.pixels);
      const auto flag = static_cast<std::uint8_t>(high << 4 | low);
      // Flag bytes are stored as changes against the same byte of the row above.
      const auto change = static_cast<std::uint8_t>(flag ^ previous[unit]);
      flagA.put(change != 0);
      if (change != 0) s.flagB.push_back(change);
      previous[unit] = flag;
    }
  }
  s.flagA = flagA.take();
  return assembleMag(s);
}

Bytes writePho(const IndexedImage& image) {
  Bytes out(96000, 0);
  for (int y = 0; y < 400; ++y) {
    for (int x = 0; x < 640; ++x) {
      const int colour = image.at(x, y);
      const std::size_t byte = static_cast<std::size_t>(y) * 80 + x / 8;
      for (int plane = 0; plane < 3; ++plane) {
        if (colour >> plane & 1) out[plane * 32000 + byte] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
  }
  return out;
}

Bytes packBits(const std::vector<bool>& bits) {
  MsbBitWriter writer;
  for (const bool bit : bits)
    writer.put(bit);
  return writer.take();
}

Bytes packCodes(const std::vector<std::pair<int, int>>& codesAndWidths) {
  LsbBitWriter writer;
  for (const auto& [code, width] : codesAndWidths)
    writer.put(code, width);
  return writer.take();
}

Bytes encodeLzw(const std::vector<std::uint8_t>& pixels, const LzwOptions& options) {
  const int clearCode = 1 << options.minCodeSize;
  const int endCode = clearCode + 1;
  std::map<std::pair<int, int>, int> table;  // (prefix code, pixel) -> code
  LsbBitWriter writer;
  int width = options.minCodeSize + 1;
  int next = endCode + 1;
  const auto restart = [&] {
    writer.put(clearCode, width);
    table.clear();
    width = options.minCodeSize + 1;
    next = endCode + 1;
  };
  // Each code the decoder reads after the first gives it one more entry, so the width
  // grows one code later than the entry is made here.
  const auto emit = [&](int code) {
    writer.put(code, width);
    if (next < 4096 && ++next > (1 << width) && width < 12) ++width;
  };
  restart();
  int prefix = -1;
  for (const std::uint8_t pixel : pixels) {
    if (prefix < 0) {
      prefix = pixel;
      continue;
    }
    if (const auto found = table.find({prefix, pixel}); found != table.end()) {
      prefix = found->second;
      continue;
    }
    const bool full = next == 4096;
    if (!full) table[{prefix, pixel}] = next;
    emit(prefix);
    if (full && options.clearWhenFull) restart();
    prefix = pixel;
  }
  if (prefix >= 0) emit(prefix);
  writer.put(endCode, width);
  return writer.take();
}

Bytes encodeGif(const GifContent& gif) {
  const std::string signature = gif.gif89a ? "GIF89a" : "GIF87a";
  Bytes out(signature.begin(), signature.end());
  put16(out, gif.width);
  put16(out, gif.height);
  out.insert(out.end(), {static_cast<std::uint8_t>(tableFlags(gif.globalTable) | 0x70), 0, 0});
  putColourTable(out, gif.globalTable);
  if (gif.transparentIndex >= 0) {
    out.insert(out.end(), {'!', 0xF9, 4, 0x01, 0, 0, static_cast<std::uint8_t>(gif.transparentIndex), 0});
  }
  if (gif.commentExtension) {
    out.insert(out.end(), {'!', 0xFE});
    putSubBlocks(out, Bytes(300, 'c'), 255);
  }
  out.push_back(',');
  put16(out, 0);
  put16(out, 0);
  put16(out, gif.width);
  put16(out, gif.height);
  out.push_back(static_cast<std::uint8_t>(tableFlags(gif.localTable) | (gif.interlaced ? 0x40 : 0)));
  putColourTable(out, gif.localTable);
  out.push_back(static_cast<std::uint8_t>(gif.lzw.minCodeSize));
  putSubBlocks(out, encodeLzw(storedRows(gif), gif.lzw), gif.subBlockSize);
  out.push_back(';');
  return out;
}

std::vector<GifColour> colourRamp(int count) {
  std::vector<GifColour> ramp;
  for (int i = 0; i < count; ++i) {
    ramp.push_back(GifColour{static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(255 - i),
                             static_cast<std::uint8_t>(i * 7)});
  }
  return ramp;
}

IndexedImage samplePicture(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  IndexedImage image{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int area = (x / 40 + y / 25) % 4;
      int colour = (x / 40 ^ y / 25) & 15;                      // flat area
      if (area == 1) colour = (x / 3 + y) % 16;                 // slanted stripes
      if (area == 2) colour = static_cast<int>(random() % 16);  // noise
      image.pixels[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(colour);
    }
  }
  return image;
}

}  // namespace volta::wrd::image::test
