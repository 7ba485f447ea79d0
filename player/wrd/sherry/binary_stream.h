#pragma once
// The bytes of a Sherry file with a read position. Every read is checked against the end;
// errors name the offset of the record being read, which the caller marks.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace volta::wrd::sherry {

class SBinaryStream {
 public:
  void open(std::vector<std::uint8_t> bytes);
  void close();
  bool isOpen() const { return open_; }
  std::size_t size() const { return bytes_.size(); }

  std::size_t tell() const { return position_; }
  // Any position may be set; reads beyond the end fail.
  void seek(std::size_t position) { position_ = position; }

  // The offset that errors report: the start of the record being read.
  void markRecord() { record_ = position_; }
  std::uint32_t recordOffset() const { return static_cast<std::uint32_t>(record_); }

  std::uint8_t readU8();
  std::uint16_t readU16();
  std::uint32_t readU32();
  // 7 bits a byte, most significant group first, at most three bytes.
  std::uint32_t readVarNumber();
  // `count` bytes at the read position, which moves past them.
  std::span<const std::uint8_t> readBytes(std::size_t count);

 private:
  const std::uint8_t* take(std::size_t count);

  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
  std::size_t record_ = 0;
  bool open_ = false;
};

}  // namespace volta::wrd::sherry
