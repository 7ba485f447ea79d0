#include "tests/converter/smf_reader.h"

#include <cstdio>
#include <cstring>

namespace volta::converter::testing {
namespace {

class Cursor {
 public:
  Cursor(const std::uint8_t* data, std::size_t length) : data_(data), length_(length) {}
  bool more() const { return at_ < length_; }
  bool take(std::size_t count, const std::uint8_t*& out) {
    if (length_ - at_ < count) return false;
    out = data_ + at_;
    at_ += count;
    return true;
  }
  bool byte(std::uint8_t& out) {
    const std::uint8_t* p = nullptr;
    if (!take(1, p)) return false;
    out = *p;
    return true;
  }
  bool big(std::size_t count, std::uint32_t& out) {
    const std::uint8_t* p = nullptr;
    if (!take(count, p)) return false;
    out = 0;
    for (std::size_t i = 0; i < count; ++i)
      out = out << 8 | p[i];
    return true;
  }
  bool quantity(std::uint32_t& out) {
    out = 0;
    for (int i = 0; i < 4; ++i) {
      std::uint8_t b = 0;
      if (!byte(b)) return false;
      out = out << 7 | (b & 0x7F);
      if ((b & 0x80) == 0) return true;
    }
    return false;
  }

 private:
  const std::uint8_t* data_;
  std::size_t length_;
  std::size_t at_ = 0;
};

bool readEvent(Cursor& in, SmfEvent& event) {
  if (!in.byte(event.status) || event.status < 0x80) return false;
  std::uint32_t length = 0;
  if (event.status == 0xFF) {
    if (!in.byte(event.metaType) || !in.quantity(length)) return false;
  } else if (event.status == 0xF0 || event.status == 0xF7) {
    if (!in.quantity(length)) return false;
  } else {
    length = (event.status & 0xE0) == 0xC0 ? 1 : 2;
  }
  const std::uint8_t* p = nullptr;
  if (!in.take(length, p)) return false;
  event.data.assign(p, p + length);
  if (event.status < 0xF0) {
    for (std::uint8_t b : event.data) {
      if (b >= 0x80) return false;
    }
  }
  return true;
}

std::string readTrack(Cursor& in, std::vector<SmfEvent>& track) {
  std::uint64_t tick = 0;
  while (in.more()) {
    std::uint32_t delta = 0;
    if (!in.quantity(delta)) return "bad delta";
    tick += delta;
    SmfEvent event;
    event.tick = tick;
    if (!readEvent(in, event)) return "bad event";
    track.push_back(event);
    if (event.isMeta(0x2F)) return in.more() ? "bytes after end of track" : "";
  }
  return "no end of track";
}

}  // namespace

std::string SmfEvent::hex() const {
  std::string text;
  char part[4];
  std::snprintf(part, sizeof part, "%02X", status);
  text = part;
  if (status == 0xFF) {
    std::snprintf(part, sizeof part, "%02X", metaType);
    text += ' ';
    text += part;
  }
  for (std::uint8_t b : data) {
    std::snprintf(part, sizeof part, "%02X", b);
    text += ' ';
    text += part;
  }
  return text;
}

SmfFile readSmf(const std::uint8_t* data, std::size_t length) {
  SmfFile file;
  Cursor in(data, length);
  const std::uint8_t* id = nullptr;
  std::uint32_t size = 0, format = 0, count = 0, division = 0;
  if (!in.take(4, id) || std::memcmp(id, "MThd", 4) != 0 || !in.big(4, size) || size != 6 || !in.big(2, format) ||
      !in.big(2, count) || !in.big(2, division)) {
    file.error = "bad header";
    return file;
  }
  file.format = static_cast<int>(format);
  file.division = static_cast<int>(division);
  for (std::uint32_t t = 0; t < count; ++t) {
    const std::uint8_t* body = nullptr;
    if (!in.take(4, id) || std::memcmp(id, "MTrk", 4) != 0 || !in.big(4, size) || !in.take(size, body)) {
      file.error = "bad track chunk";
      return file;
    }
    Cursor track(body, size);
    file.tracks.emplace_back();
    file.error = readTrack(track, file.tracks.back());
    if (!file.error.empty()) return file;
  }
  if (in.more()) file.error = "bytes after the last track";
  return file;
}

}  // namespace volta::converter::testing
