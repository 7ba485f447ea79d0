#include "tests/support/smf_writer.h"

namespace volta::test {

void appendVarLen(Bytes& out, std::uint32_t value) {
  std::uint8_t groups[5];
  int count = 0;
  do {
    groups[count++] = value & 0x7F;
    value >>= 7;
  } while (value != 0);
  while (count > 1)
    out.push_back(groups[--count] | 0x80);
  out.push_back(groups[0]);
}

void appendBigEndian(Bytes& out, std::uint32_t value, int width) {
  for (int shift = (width - 1) * 8; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

SmfTrack& SmfTrack::event(std::uint32_t delta, std::uint8_t status, std::initializer_list<std::uint8_t> data) {
  appendVarLen(bytes_, delta);
  if (!(runningStatus_ && status == lastStatus_)) bytes_.push_back(status);
  lastStatus_ = status;
  bytes_.insert(bytes_.end(), data);
  return *this;
}

SmfTrack& SmfTrack::channel(std::uint32_t delta, std::uint8_t status, std::uint8_t data1) {
  return event(delta, status, {data1});
}

SmfTrack& SmfTrack::channel(std::uint32_t delta, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  return event(delta, status, {data1, data2});
}

SmfTrack& SmfTrack::noteOn(std::uint32_t delta, int channel, int note, int velocity) {
  return event(delta, static_cast<std::uint8_t>(0x90 | channel),
               {static_cast<std::uint8_t>(note), static_cast<std::uint8_t>(velocity)});
}

SmfTrack& SmfTrack::noteOff(std::uint32_t delta, int channel, int note) {
  return event(delta, static_cast<std::uint8_t>(0x80 | channel), {static_cast<std::uint8_t>(note), 0});
}

SmfTrack& SmfTrack::controller(std::uint32_t delta, int channel, int number, int value) {
  return event(delta, static_cast<std::uint8_t>(0xB0 | channel),
               {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(value)});
}

SmfTrack& SmfTrack::program(std::uint32_t delta, int channel, int program) {
  return event(delta, static_cast<std::uint8_t>(0xC0 | channel), {static_cast<std::uint8_t>(program)});
}

SmfTrack& SmfTrack::lengthPrefixed(std::uint32_t delta, std::uint8_t status, const Bytes& body) {
  appendVarLen(bytes_, delta);
  bytes_.push_back(status);
  appendVarLen(bytes_, static_cast<std::uint32_t>(body.size()));
  bytes_.insert(bytes_.end(), body.begin(), body.end());
  lastStatus_ = 0;  // system events cancel running status
  return *this;
}

SmfTrack& SmfTrack::meta(std::uint32_t delta, std::uint8_t type, const Bytes& data) {
  appendVarLen(bytes_, delta);
  bytes_.push_back(0xFF);
  bytes_.push_back(type);
  appendVarLen(bytes_, static_cast<std::uint32_t>(data.size()));
  bytes_.insert(bytes_.end(), data.begin(), data.end());
  lastStatus_ = 0;
  return *this;
}

SmfTrack& SmfTrack::text(std::uint32_t delta, std::uint8_t type, const std::string& text) {
  return meta(delta, type, Bytes(text.begin(), text.end()));
}

SmfTrack& SmfTrack::tempo(std::uint32_t delta, std::uint32_t microsecondsPerQuarter) {
  Bytes data;
  appendBigEndian(data, microsecondsPerQuarter, 3);
  return meta(delta, 0x51, data);
}

SmfTrack& SmfTrack::timeSignature(std::uint32_t delta, int numerator, int denominatorPower) {
  return meta(delta, 0x58, {static_cast<std::uint8_t>(numerator), static_cast<std::uint8_t>(denominatorPower), 24, 8});
}

SmfTrack& SmfTrack::keySignature(std::uint32_t delta, int sharpsOrFlats, bool minor) {
  return meta(delta, 0x59, {static_cast<std::uint8_t>(sharpsOrFlats), static_cast<std::uint8_t>(minor ? 1 : 0)});
}

SmfTrack& SmfTrack::sysex(std::uint32_t delta, const Bytes& body) {
  return lengthPrefixed(delta, 0xF0, body);
}

SmfTrack& SmfTrack::escape(std::uint32_t delta, const Bytes& body) {
  return lengthPrefixed(delta, 0xF7, body);
}

SmfTrack& SmfTrack::raw(const Bytes& bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

SmfWriter& SmfWriter::junk(std::size_t count, std::uint8_t fill) {
  junk_ = count;
  junkFill_ = fill;
  return *this;
}

SmfWriter& SmfWriter::declaredTracks(int count) {
  declared_ = count;
  return *this;
}

SmfWriter& SmfWriter::chunk(const std::string& id, const Bytes& body) {
  return chunkWithLength(id, static_cast<std::uint32_t>(body.size()), body);
}

SmfWriter& SmfWriter::chunkWithLength(const std::string& id, std::uint32_t length, const Bytes& body) {
  chunks_.insert(chunks_.end(), id.begin(), id.end());
  appendBigEndian(chunks_, length, 4);
  chunks_.insert(chunks_.end(), body.begin(), body.end());
  if (id == "MTrk") ++tracks_;
  return *this;
}

SmfWriter& SmfWriter::trailer(const Bytes& bytes) {
  chunks_.insert(chunks_.end(), bytes.begin(), bytes.end());
  return *this;
}

Bytes SmfWriter::build() const {
  Bytes out(junk_, junkFill_);
  const std::string magic = "MThd";
  out.insert(out.end(), magic.begin(), magic.end());
  appendBigEndian(out, 6, 4);
  appendBigEndian(out, static_cast<std::uint32_t>(format_), 2);
  appendBigEndian(out, static_cast<std::uint32_t>(declared_ >= 0 ? declared_ : tracks_), 2);
  appendBigEndian(out, static_cast<std::uint32_t>(division_), 2);
  out.insert(out.end(), chunks_.begin(), chunks_.end());
  return out;
}

}  // namespace volta::test
