#include "tests/player/wrd/sherry/sherry_writer.h"

namespace volta::wrd::sherry::test {

Params& Params::u8(int value) {
  bytes.push_back(static_cast<std::uint8_t>(value));
  return *this;
}

Params& Params::u16(int value) {
  return u8(value & 0xFF).u8(value >> 8 & 0xFF);
}

Params& Params::text(const std::string& value) {
  bytes.insert(bytes.end(), value.begin(), value.end());
  return *this;
}

Params& Params::raw(const Bytes& value) {
  bytes.insert(bytes.end(), value.begin(), value.end());
  return *this;
}

Bytes varNumber(std::uint32_t value) {
  Bytes out{static_cast<std::uint8_t>(value & 0x7F)};
  for (value >>= 7; value != 0; value >>= 7)
    out.insert(out.begin(), static_cast<std::uint8_t>(0x80 | (value & 0x7F)));
  return out;
}

Bytes encodeEvent(int code, const Params& params) {
  Bytes out = varNumber(static_cast<std::uint32_t>(params.bytes.size() + 1));
  out.push_back(static_cast<std::uint8_t>(code));
  out.insert(out.end(), params.bytes.begin(), params.bytes.end());
  return out;
}

SherryWriter::SherryWriter(int timebase) {
  if (timebase >= 0) headerEvent(0x20, Params().u16(timebase));
}

SherryWriter& SherryWriter::version(std::uint32_t value) {
  version_ = value;
  return *this;
}

SherryWriter& SherryWriter::headerEvent(int code, const Params& params) {
  const Bytes event = encodeEvent(code, params);
  header_.insert(header_.end(), event.begin(), event.end());
  return *this;
}

SherryWriter& SherryWriter::event(int code, const Params& params) {
  return rawEvent(encodeEvent(code, params));
}

SherryWriter& SherryWriter::rawEvent(const Bytes& bytes) {
  body_.push_back({bytes, 0});
  return *this;
}

SherryWriter& SherryWriter::wait(std::uint32_t delta) {
  body_.back().delta = delta;
  return *this;
}

Bytes SherryWriter::bytes() const {
  Bytes out{'S', 'h', 'e', 'r', 'r', 'y', ' ', 'W', 'R', 'D', 0, 0};
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(version_ >> shift));
  out.insert(out.end(), header_.begin(), header_.end());
  const Bytes headerEnd = encodeEvent(0x00, {});
  out.insert(out.end(), headerEnd.begin(), headerEnd.end());
  out.push_back(0);  // the unused number before the body
  for (const Body& body : body_) {
    out.insert(out.end(), body.event.begin(), body.event.end());
    const Bytes delta = varNumber(body.delta);
    out.insert(out.end(), delta.begin(), delta.end());
  }
  return out;
}

Params ids(std::initializer_list<int> list) {
  Params p;
  for (int id : list)
    p.u16(id);
  return p;
}

Params newScreen(int id, int width, int height, int fill) {
  return Params().u16(id).u16(width).u16(height).u8(fill);
}

Params setColour(int palette, int index, int red, int green, int blue) {
  return Params().u16(palette).u8(index).u8(red).u8(green).u8(blue);
}

Params showRect(int screen, int sx, int sy, int dx, int dy, int width, int height) {
  return Params().u16(screen).u16(sx).u16(sy).u16(dx).u16(dy).u16(width).u16(height);
}

Params box(int screen, int mask, int x1, int y1, int x2, int y2, int colour) {
  return Params().u16(screen).u8(mask).u16(x1).u16(y1).u16(x2).u16(y2).u8(colour);
}

Params copy(int source, int dest, int mask, int x1, int y1, int x2, int y2, int dx, int dy) {
  return Params().u16(source).u16(dest).u8(mask).u16(x1).u16(y1).u16(x2).u16(y2).u16(dx).u16(dy);
}

}  // namespace volta::wrd::sherry::test
