#pragma once
// Builds Standard MIDI Files for tests: tracks of delta-timed events (channel
// messages with or without running status, meta events, exclusives, raw bytes),
// raw chunks of any identifier and junk in front of the header.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace volta::test {

using Bytes = std::vector<std::uint8_t>;

// Appends a variable-length quantity (7 bits a byte, high bits first).
void appendVarLen(Bytes& out, std::uint32_t value);
void appendBigEndian(Bytes& out, std::uint32_t value, int width);

class SmfTrack {
 public:
  // With running status, a channel message whose status equals the previous one is
  // written without its status byte.
  explicit SmfTrack(bool runningStatus = false) : runningStatus_(runningStatus) {}

  // A channel message (status, then one or two data bytes).
  SmfTrack& channel(std::uint32_t delta, std::uint8_t status, std::uint8_t data1);
  SmfTrack& channel(std::uint32_t delta, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
  SmfTrack& noteOn(std::uint32_t delta, int channel, int note, int velocity);
  SmfTrack& noteOff(std::uint32_t delta, int channel, int note);
  SmfTrack& controller(std::uint32_t delta, int channel, int number, int value);
  SmfTrack& program(std::uint32_t delta, int channel, int program);

  SmfTrack& meta(std::uint32_t delta, std::uint8_t type, const Bytes& data);
  SmfTrack& text(std::uint32_t delta, std::uint8_t type, const std::string& text);
  SmfTrack& trackName(std::uint32_t delta, const std::string& name) { return text(delta, 0x03, name); }
  SmfTrack& lyric(std::uint32_t delta, const std::string& words) { return text(delta, 0x05, words); }
  SmfTrack& tempo(std::uint32_t delta, std::uint32_t microsecondsPerQuarter);
  SmfTrack& timeSignature(std::uint32_t delta, int numerator, int denominatorPower);
  SmfTrack& keySignature(std::uint32_t delta, int sharpsOrFlats, bool minor);
  SmfTrack& port(std::uint32_t delta, int port) { return meta(delta, 0x21, {static_cast<std::uint8_t>(port)}); }
  SmfTrack& endOfTrack(std::uint32_t delta = 0) { return meta(delta, 0x2F, {}); }

  // F0, length, body (the body normally ends with F7); or F7, length, body.
  SmfTrack& sysex(std::uint32_t delta, const Bytes& body);
  SmfTrack& escape(std::uint32_t delta, const Bytes& body);
  // Bytes appended as they stand (no delta time).
  SmfTrack& raw(const Bytes& bytes);

  const Bytes& bytes() const { return bytes_; }

 private:
  SmfTrack& event(std::uint32_t delta, std::uint8_t status, std::initializer_list<std::uint8_t> data);
  SmfTrack& lengthPrefixed(std::uint32_t delta, std::uint8_t status, const Bytes& body);

  bool runningStatus_;
  std::uint8_t lastStatus_ = 0;
  Bytes bytes_;
};

class SmfWriter {
 public:
  SmfWriter(int format, int division) : format_(format), division_(division) {}

  SmfWriter& junk(std::size_t count, std::uint8_t fill = 'x');
  // Track count written in the header; by default the number of tracks added.
  SmfWriter& declaredTracks(int count);
  SmfWriter& track(const SmfTrack& track) { return chunk("MTrk", track.bytes()); }
  // A chunk with any identifier (four characters) and body.
  SmfWriter& chunk(const std::string& id, const Bytes& body);
  // A chunk whose length field says otherwise than its body.
  SmfWriter& chunkWithLength(const std::string& id, std::uint32_t length, const Bytes& body);
  // Bytes after the last chunk.
  SmfWriter& trailer(const Bytes& bytes);

  Bytes build() const;

 private:
  int format_;
  int division_;
  int declared_ = -1;
  int tracks_ = 0;
  std::size_t junk_ = 0;
  std::uint8_t junkFill_ = 'x';
  Bytes chunks_;
};

}  // namespace volta::test
