#include "tests/support/rcp_writer.h"

#include <algorithm>

namespace volta::test {
namespace {

void put(std::vector<std::uint8_t>& out, std::size_t offset, const std::string& text, std::size_t size, char pad) {
  for (std::size_t i = 0; i < size; ++i)
    out[offset + i] = static_cast<std::uint8_t>(i < text.size() ? text[i] : pad);
}

void put16(std::vector<std::uint8_t>& out, std::size_t offset, std::uint32_t value) {
  out[offset] = static_cast<std::uint8_t>(value);
  out[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

void RcpWriter::writeHeader(std::vector<std::uint8_t>& out) const {
  out.assign(headerSize(), 0);
  put(out, 0, "VOLTATEST", 32, ' ');
  out[g36_ ? 28 : 9] = g36_ ? '3' : '2';
  put(out, 32, title, 64, titlePad);
  const std::uint8_t count =
      static_cast<std::uint8_t>(trackCountByte < 0 ? static_cast<int>(tracks.size()) : trackCountByte);
  if (g36_) {
    put(out, 160, memo, memo.size(), ' ');
    out[520] = count;
    put16(out, 522, timeBase);
    out[524] = tempo;
    out[526] = numerator;
    out[527] = denominator;
    out[528] = key;
    out[529] = static_cast<std::uint8_t>(playBias);
  } else {
    put(out, 96, memo, memo.size(), ' ');
    out[448] = static_cast<std::uint8_t>(timeBase);
    out[487] = static_cast<std::uint8_t>(timeBase >> 8);
    out[449] = tempo;
    out[450] = numerator;
    out[451] = denominator;
    out[452] = key;
    out[453] = static_cast<std::uint8_t>(playBias);
    out[486] = count;
  }
  const std::size_t table = g36_ ? 2840 : 1030;
  for (std::size_t n = 0; n < 8; ++n) {
    const auto& bytes = userExclusive[n];
    std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), 24),
                out.begin() + static_cast<long>(table + n * 48 + 24));
  }
}

void RcpWriter::writeRecord(std::vector<std::uint8_t>& out, const RcpRecord& r) const {
  out.push_back(r.code);
  if (g36_) {
    out.push_back(static_cast<std::uint8_t>(r.velocity));
    out.push_back(static_cast<std::uint8_t>(r.step));
    out.push_back(static_cast<std::uint8_t>(r.step >> 8));
    out.push_back(static_cast<std::uint8_t>(r.gate));
    out.push_back(static_cast<std::uint8_t>(r.gate >> 8));
  } else {
    out.push_back(static_cast<std::uint8_t>(r.step));
    out.push_back(static_cast<std::uint8_t>(r.gate));
    out.push_back(static_cast<std::uint8_t>(r.velocity));
  }
}

void RcpWriter::writeTrack(std::vector<std::uint8_t>& out, const RcpTrackSpec& track) const {
  const std::size_t at = out.size();
  out.resize(at + trackHeaderSize(), 0);
  const std::uint32_t length =
      track.lengthOverride != 0 ? track.lengthOverride
                                : static_cast<std::uint32_t>(trackHeaderSize() + track.records.size() * recordSize());
  put16(out, at, length);
  if (g36_ && track.wideLength) put16(out, at + 2, length >> 16);
  const std::size_t fields = at + (g36_ ? 6 : 4);
  out[fields] = track.output;
  out[fields + 1] = track.keyShift;
  out[fields + 2] = static_cast<std::uint8_t>(track.stepShift);
  out[fields + 3] = track.muted ? 1 : 0;
  put(out, fields + 4, track.comment, 36, ' ');
  for (const RcpRecord& r : track.records)
    writeRecord(out, r);
}

std::vector<std::uint8_t> RcpWriter::build() const {
  std::vector<std::uint8_t> out;
  writeHeader(out);
  for (const RcpTrackSpec& track : tracks)
    writeTrack(out, track);
  if (g36_ && marker) {
    const std::string tail = "RCFW";
    out.insert(out.end(), tail.begin(), tail.end());
    out.resize(out.size() + 12, 0);
  }
  return out;
}

std::size_t RcpWriter::recordOffset(std::size_t track, std::size_t index) const {
  std::size_t offset = headerSize();
  for (std::size_t t = 0; t < track; ++t)
    offset += trackHeaderSize() + tracks[t].records.size() * recordSize();
  return offset + trackHeaderSize() + index * recordSize();
}

}  // namespace volta::test
