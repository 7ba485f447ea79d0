#include "player/wrd/image/gif_lzw.h"

#include <algorithm>
#include <array>

namespace volta::wrd::image {
namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kTableSize = 1 << kMaxCodeBits;

// Codes packed least significant bit first.
class CodeReader {
 public:
  explicit CodeReader(std::span<const std::uint8_t> data) : data_(data) {}

  bool read(int width, int& code) {
    while (bitCount_ < width) {
      if (next_ == data_.size()) return false;
      bits_ |= static_cast<std::uint32_t>(data_[next_++]) << bitCount_;
      bitCount_ += 8;
    }
    code = static_cast<int>(bits_ & ((1u << width) - 1));
    bits_ >>= width;
    bitCount_ -= width;
    return true;
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t next_ = 0;
  std::uint32_t bits_ = 0;
  int bitCount_ = 0;
};

// The string table: each code is its prefix code followed by one pixel.
class StringTable {
 public:
  explicit StringTable(int roots) {
    for (int i = 0; i < roots; ++i) {
      suffix_[i] = first_[i] = static_cast<std::uint8_t>(i);
      length_[i] = 1;
    }
  }

  std::uint8_t first(int code) const { return first_[code]; }

  void add(int code, int prefix, std::uint8_t pixel) {
    prefix_[code] = static_cast<std::uint16_t>(prefix);
    suffix_[code] = pixel;
    first_[code] = first_[prefix];
    length_[code] = static_cast<std::uint16_t>(length_[prefix] + 1);
  }

  // Appends the string of `code`, cut to `room` pixels.
  void append(int code, std::size_t room, std::vector<std::uint8_t>& out) const {
    const std::size_t length = length_[code];
    const std::size_t kept = std::min(length, room);
    const std::size_t start = out.size();
    out.resize(start + kept);
    // The string is walked from its last pixel back to its first.
    for (std::size_t position = length; position-- > 0; code = prefix_[code]) {
      if (position < kept) out[start + position] = suffix_[code];
    }
  }

 private:
  std::array<std::uint16_t, kTableSize> prefix_{};
  std::array<std::uint8_t, kTableSize> suffix_{};
  std::array<std::uint8_t, kTableSize> first_{};
  std::array<std::uint16_t, kTableSize> length_{};
};

}  // namespace

bool decodeGifLzw(std::span<const std::uint8_t> codes, int minCodeSize, std::size_t pixelCount,
                  std::vector<std::uint8_t>& pixels) {
  pixels.clear();
  // Two-colour pictures use code size 2 too: with 1 the first free code would not fit its width.
  if (minCodeSize < 2 || minCodeSize > 8) return false;
  const int clearCode = 1 << minCodeSize;
  const int endCode = clearCode + 1;
  StringTable table(clearCode);
  CodeReader reader(codes);
  int width = minCodeSize + 1;
  int next = endCode + 1;
  int previous = -1;  // none right after a clear
  while (pixels.size() < pixelCount) {
    int code = 0;
    if (!reader.read(width, code) || code == endCode) return false;
    if (code == clearCode) {
      width = minCodeSize + 1;
      next = endCode + 1;
      previous = -1;
      continue;
    }
    // After a clear only single pixels are known; otherwise the next free code is allowed too.
    if (previous < 0 ? code >= clearCode : code > next) return false;
    if (previous >= 0 && next < kTableSize) {
      // A code not yet in the table stands for the previous string and its own first pixel.
      table.add(next, previous, code < next ? table.first(code) : table.first(previous));
      ++next;
      if (next == 1 << width && width < kMaxCodeBits) ++width;
    }
    table.append(code, pixelCount - pixels.size(), pixels);
    previous = code;
  }
  return true;
}

std::vector<int> interlacedRowOrder(int height) {
  constexpr std::array<std::pair<int, int>, 4> kPasses{{{0, 8}, {4, 8}, {2, 4}, {1, 2}}};
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(std::max(height, 0)));
  for (const auto& [start, step] : kPasses) {
    for (int row = start; row < height; row += step)
      order.push_back(row);
  }
  return order;
}

}  // namespace volta::wrd::image
