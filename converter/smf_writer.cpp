#include "converter/smf_writer.h"

#include <algorithm>
#include <bit>

namespace volta::converter {
namespace {

// The exponent of the denominator; denominators that are no power of two round down.
std::uint8_t denominatorPower(int denominator) {
  const auto value = static_cast<std::uint32_t>(std::clamp(denominator, 1, 32768));
  return static_cast<std::uint8_t>(std::bit_width(value) - 1);
}

}  // namespace

void ByteBuffer::grow(std::size_t needed) {
  // Whole 64 KiB steps; a buffer that is already large at least doubles, so that
  // very long tracks are not copied over and over.
  const std::size_t capacity = std::max((needed / kGrowthStep + 1) * kGrowthStep, 2 * capacity_);
  auto data = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
  if (size_ != 0) std::memcpy(data.get(), data_.get(), size_);
  data_ = std::move(data);
  capacity_ = capacity;
}

void ByteBuffer::prepend(const std::uint8_t* bytes, std::size_t count) {
  if (size_ + count > capacity_) grow(size_ + count);
  std::memmove(data_.get() + count, data_.get(), size_);
  std::memcpy(data_.get(), bytes, count);
  size_ += count;
}

void ByteBuffer::patch32(std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i)
    data_[offset + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

void SmfWriter::openChunk() {
  const std::uint8_t head[] = {'M', 'T', 'r', 'k', 0, 0, 0, 0};
  current_->append(head, sizeof head);
  chunkStart_ = current_->size();
  time_ = 0;
  pending_ = 0;
  port_ = 0;
}

void SmfWriter::startTrack() {
  current_ = &image_;
  openChunk();
  ++trackCount_;
}

void SmfWriter::setTime(std::uint64_t tick) {
  if (tick < time_) return;
  pending_ += tick - time_;
  time_ = tick;
}

// Encodes a variable-length quantity at `out`; returns its length (1 to 4 bytes).
std::size_t SmfWriter::encode(std::uint64_t value, std::uint8_t* out) {
  value = std::min(value, kMaxTime);
  std::size_t count = 1;
  for (std::uint64_t rest = value >> 7; rest != 0; rest >>= 7)
    ++count;
  for (std::size_t i = count; i-- > 0; value >>= 7) {
    out[i] = static_cast<std::uint8_t>((value & 0x7F) | (i + 1 < count ? 0x80 : 0));
  }
  return count;
}

void SmfWriter::quantity(std::uint64_t value) {
  std::uint8_t bytes[4];
  current_->append(bytes, encode(value, bytes));
}

// The pending delta time and the event's leading bytes, in one append.
void SmfWriter::event(const std::uint8_t* head, std::size_t length) {
  std::uint8_t bytes[8];
  const std::size_t delta = encode(pending_, bytes);
  pending_ = 0;
  std::memcpy(bytes + delta, head, length);
  current_->append(bytes, delta + length);
}

void SmfWriter::announcePort(int port) {
  if (port == port_) return;
  port_ = port;
  const auto byte = static_cast<std::uint8_t>(port);
  meta(0x21, &byte, 1);
}

void SmfWriter::channel(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  announcePort(port);
  const std::uint8_t bytes[] = {status, data1, data2};
  event(bytes, (status & 0xE0) == 0xC0 ? 2 : 3);
}

void SmfWriter::exclusive(int port, const std::uint8_t* message, std::size_t length) {
  if (length == 0) return;
  announcePort(port);
  const bool framed = message[0] == 0xF0;
  const std::uint8_t status = framed ? 0xF0 : 0xF7;
  event(&status, 1);
  const std::size_t skip = framed ? 1 : 0;
  quantity(length - skip);
  current_->append(message + skip, length - skip);
}

void SmfWriter::meta(std::uint8_t type, const std::uint8_t* data, std::size_t length) {
  const std::uint8_t head[] = {0xFF, type};
  event(head, 2);
  quantity(length);
  current_->append(data, length);
}

void SmfWriter::text(std::uint8_t type, const std::string& text) {
  meta(type, reinterpret_cast<const std::uint8_t*>(text.c_str()), text.size() + 1);
}

void SmfWriter::tempo(std::uint32_t microsecondsPerQuarter) {
  tempos_.push_back({microsecondsPerQuarter, time_});
}

void SmfWriter::endTrack() {
  meta(0x2F, nullptr, 0);
  current_->patch32(chunkStart_ - 4, static_cast<std::uint32_t>(current_->size() - chunkStart_));
}

void SmfWriter::writeConductor(const SongInfo& song) {
  text(0x03, song.title);
  const int accidentals = song.key & 7;
  const std::uint8_t key[] = {static_cast<std::uint8_t>((song.key & 8) ? -accidentals : accidentals),
                              static_cast<std::uint8_t>((song.key & 16) ? 1 : 0)};
  meta(0x59, key, sizeof key);
  const std::uint8_t signature[] = {static_cast<std::uint8_t>(song.numerator), denominatorPower(song.denominator), 24,
                                    8};
  meta(0x58, signature, sizeof signature);
  std::stable_sort(tempos_.begin(), tempos_.end(), [](const Tempo& a, const Tempo& b) { return a.tick < b.tick; });
  for (const Tempo& t : tempos_) {
    setTime(t.tick);
    const std::uint8_t bytes[] = {static_cast<std::uint8_t>(t.microseconds >> 16),
                                  static_cast<std::uint8_t>(t.microseconds >> 8),
                                  static_cast<std::uint8_t>(t.microseconds)};
    meta(0x51, bytes, sizeof bytes);
  }
  endTrack();
}

ByteBuffer SmfWriter::finish(const SongInfo& song) {
  ByteBuffer head;
  const auto tracks = static_cast<std::uint16_t>(trackCount_ + 1);
  const std::uint8_t header[] = {'M',
                                 'T',
                                 'h',
                                 'd',
                                 0,
                                 0,
                                 0,
                                 6,
                                 0,
                                 1,
                                 static_cast<std::uint8_t>(tracks >> 8),
                                 static_cast<std::uint8_t>(tracks),
                                 static_cast<std::uint8_t>(song.division >> 8),
                                 static_cast<std::uint8_t>(song.division)};
  head.append(header, sizeof header);
  current_ = &head;
  openChunk();
  writeConductor(song);
  image_.prepend(head.data(), head.size());
  current_ = nullptr;
  ByteBuffer image = std::move(image_);
  image_ = ByteBuffer{};
  return image;
}

}  // namespace volta::converter
