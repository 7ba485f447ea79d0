#pragma once
// Bounds-checked little-endian reading of a picture held in memory: every read reports
// whether the bytes were there, and a failed read consumes nothing.

#include <cstddef>
#include <cstdint>
#include <span>

namespace volta::wrd::image {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> data, std::size_t position = 0)
      : data_(data), position_(position <= data.size() ? position : data.size()), valid_(position <= data.size()) {}

  std::size_t remaining() const { return valid_ ? data_.size() - position_ : 0; }

  bool take(std::span<const std::uint8_t>& out, std::size_t count) {
    if (count > remaining()) return false;
    out = data_.subspan(position_, count);
    position_ += count;
    return true;
  }
  bool u8(std::uint8_t& out) {
    std::span<const std::uint8_t> bytes;
    if (!take(bytes, 1)) return false;
    out = bytes[0];
    return true;
  }
  bool u16(std::uint16_t& out) {
    std::span<const std::uint8_t> bytes;
    if (!take(bytes, 2)) return false;
    out = static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
    return true;
  }
  bool u32(std::uint32_t& out) {
    std::span<const std::uint8_t> bytes;
    if (!take(bytes, 4)) return false;
    out = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
          static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return true;
  }
  bool skip(std::size_t count) {
    std::span<const std::uint8_t> bytes;
    return take(bytes, count);
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t position_;
  bool valid_;  // false when started past the end, so that nothing can be read
};

}  // namespace volta::wrd::image
