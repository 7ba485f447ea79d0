#include "converter/smf_writer.h"

#include <algorithm>
#include <bit>

namespace volta::converter {
namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

void chunk(std::vector<std::uint8_t>& out, const char* id, const std::vector<std::uint8_t>& body) {
  out.insert(out.end(), id, id + 4);
  put32(out, static_cast<std::uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
}

// The exponent of the denominator; denominators that are no power of two round down.
std::uint8_t denominatorPower(int denominator) {
  const auto value = static_cast<std::uint32_t>(std::clamp(denominator, 1, 32768));
  return static_cast<std::uint8_t>(std::bit_width(value) - 1);
}

}  // namespace

void ByteBuffer::append(const std::uint8_t* bytes, std::size_t count) {
  const std::size_t needed = bytes_.size() + count;
  if (needed > bytes_.capacity()) {
    // Whole 64 KiB steps; a buffer that is already large at least doubles, so that
    // very long tracks are not copied over and over.
    bytes_.reserve(std::max((needed / kGrowthStep + 1) * kGrowthStep, 2 * bytes_.capacity()));
  }
  bytes_.insert(bytes_.end(), bytes, bytes + count);
}

void SmfWriter::startTrack() {
  current_ = &tracks_.emplace_back();
  time_ = 0;
  pending_ = 0;
  port_ = 0;
}

void SmfWriter::setTime(std::uint64_t tick) {
  if (tick < time_) return;
  pending_ += tick - time_;
  time_ = tick;
}

void SmfWriter::quantity(std::uint64_t value) {
  value = std::min(value, kMaxTime);
  std::uint8_t bytes[4];
  std::size_t count = 0;
  do {
    bytes[count++] = static_cast<std::uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (count > 0) {
    --count;
    current_->push(static_cast<std::uint8_t>(bytes[count] | (count > 0 ? 0x80 : 0)));
  }
}

void SmfWriter::writeDelta() {
  quantity(pending_);
  pending_ = 0;
}

void SmfWriter::announcePort(int port) {
  if (port == port_) return;
  port_ = port;
  const auto byte = static_cast<std::uint8_t>(port);
  meta(0x21, &byte, 1);
}

void SmfWriter::channel(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  announcePort(port);
  writeDelta();
  const std::uint8_t bytes[] = {status, data1, data2};
  current_->append(bytes, (status & 0xE0) == 0xC0 ? 2 : 3);
}

void SmfWriter::exclusive(int port, const std::uint8_t* message, std::size_t length) {
  if (length == 0) return;
  announcePort(port);
  writeDelta();
  const bool framed = message[0] == 0xF0;
  current_->push(framed ? 0xF0 : 0xF7);
  const std::size_t skip = framed ? 1 : 0;
  quantity(length - skip);
  current_->append(message + skip, length - skip);
}

void SmfWriter::meta(std::uint8_t type, const std::uint8_t* data, std::size_t length) {
  writeDelta();
  const std::uint8_t head[] = {0xFF, type};
  current_->append(head, 2);
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

std::vector<std::uint8_t> SmfWriter::finish(const SongInfo& song) {
  ByteBuffer conductor;
  current_ = &conductor;
  time_ = 0;
  pending_ = 0;
  port_ = 0;
  writeConductor(song);
  std::vector<std::uint8_t> image;
  std::size_t total = 14 + 8 + conductor.size();
  for (const ByteBuffer& track : tracks_)
    total += 8 + track.size();
  image.reserve(total);
  std::vector<std::uint8_t> header;
  put16(header, 1);
  put16(header, static_cast<std::uint32_t>(tracks_.size() + 1));
  put16(header, song.division);
  chunk(image, "MThd", header);
  chunk(image, "MTrk", conductor.bytes());
  for (const ByteBuffer& track : tracks_)
    chunk(image, "MTrk", track.bytes());
  tracks_.clear();
  current_ = nullptr;
  return image;
}

}  // namespace volta::converter
