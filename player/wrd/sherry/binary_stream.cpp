#include "player/wrd/sherry/binary_stream.h"

#include "player/wrd/sherry/sherry_errors.h"

namespace volta::wrd::sherry {
namespace {
constexpr int kMaxVarNumberBytes = 3;
}

void SBinaryStream::open(std::vector<std::uint8_t> bytes) {
  bytes_ = std::move(bytes);
  position_ = 0;
  record_ = 0;
  open_ = true;
}

void SBinaryStream::close() {
  bytes_.clear();
  bytes_.shrink_to_fit();
  position_ = 0;
  record_ = 0;
  open_ = false;
}

const std::uint8_t* SBinaryStream::take(std::size_t count) {
  if (!open_) throw SErrorInternal("not open a file");
  if (position_ > bytes_.size() || count > bytes_.size() - position_)
    throw SErrorInput(recordOffset(), "Unexpected reached end of file");
  const std::uint8_t* at = bytes_.data() + position_;
  position_ += count;
  return at;
}

std::uint8_t SBinaryStream::readU8() {
  return *take(1);
}

std::uint16_t SBinaryStream::readU16() {
  const std::uint8_t* p = take(2);
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t SBinaryStream::readU32() {
  const std::uint8_t* p = take(4);
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint32_t SBinaryStream::readVarNumber() {
  std::uint32_t value = 0;
  for (int i = 0; i < kMaxVarNumberBytes; ++i) {
    const std::uint8_t byte = readU8();
    value = value << 7 | (byte & 0x7Fu);
    if ((byte & 0x80) == 0) return value;
  }
  throw SErrorInput(recordOffset(), "Invalid variable number format");
}

std::span<const std::uint8_t> SBinaryStream::readBytes(std::size_t count) {
  return {take(count), count};
}

}  // namespace volta::wrd::sherry
