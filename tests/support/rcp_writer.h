#pragma once
// Writes RCP and G36 song files for tests: a header, the user exclusive table and
// tracks of records, with every field the readers look at under the test's control.

#include <cstdint>
#include <string>
#include <vector>

namespace volta::test {

struct RcpRecord {
  std::uint8_t code = 0;
  std::uint32_t step = 0;
  std::uint32_t gate = 0;
  std::uint32_t velocity = 0;
};

struct RcpTrackSpec {
  std::uint8_t output = 0;  // port nibble, channel nibble; 0xFF: off
  std::uint8_t keyShift = 0;
  std::int8_t stepShift = 0;
  bool muted = false;
  std::string comment;
  std::vector<RcpRecord> records;
  // Overrides the stored track length (bytes, header included) when non-zero.
  std::uint32_t lengthOverride = 0;
  // G36 only: store the length as 32 bits.
  bool wideLength = false;

  RcpTrackSpec& add(std::uint8_t code, std::uint32_t step, std::uint32_t gate = 0, std::uint32_t velocity = 0) {
    records.push_back({code, step, gate, velocity});
    return *this;
  }
  RcpTrackSpec& end() { return add(0xFE, 0); }
};

class RcpWriter {
 public:
  explicit RcpWriter(bool g36) : g36_(g36) {}

  bool g36() const { return g36_; }
  std::size_t recordSize() const { return g36_ ? 6 : 4; }
  std::size_t headerSize() const { return g36_ ? 3224 : 1414; }
  std::size_t trackHeaderSize() const { return g36_ ? 46 : 44; }

  std::string title;  // written as is, padded with `titlePad`
  char titlePad = ' ';
  std::string memo;  // raw bytes at the memo offset
  std::uint16_t timeBase = 48;
  std::uint8_t tempo = 120;
  std::uint8_t numerator = 4;
  std::uint8_t denominator = 4;
  std::uint8_t key = 0;
  std::int8_t playBias = 0;
  // The stored track-count byte; -1 writes the number of tracks added.
  int trackCountByte = -1;
  bool marker = false;  // G36: append "RCFW" and 12 more bytes after the last track
  std::vector<std::uint8_t> userExclusive[8];
  std::vector<RcpTrackSpec> tracks;

  RcpTrackSpec& addTrack(std::uint8_t output = 0) {
    tracks.emplace_back();
    tracks.back().output = output;
    return tracks.back();
  }
  std::vector<std::uint8_t> build() const;

  // Offset of record `index` of track `track` in the built file.
  std::size_t recordOffset(std::size_t track, std::size_t index) const;

 private:
  void writeHeader(std::vector<std::uint8_t>& out) const;
  void writeTrack(std::vector<std::uint8_t>& out, const RcpTrackSpec& track) const;
  void writeRecord(std::vector<std::uint8_t>& out, const RcpRecord& record) const;

  bool g36_;
};

}  // namespace volta::test
