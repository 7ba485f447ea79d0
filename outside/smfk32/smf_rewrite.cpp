#include "outside/smfk32/smf_rewrite.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace smfk32 {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kHeaderSize = 14;
constexpr std::uint8_t kMeta = 0xFF, kExclusive = 0xF0, kEscape = 0xF7, kEndOfTrack = 0x2F;

void putBigEndian(Bytes& out, std::uint32_t value, int width) {
  for (int shift = (width - 1) * 8; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void putVarLen(Bytes& out, std::uint32_t value) {
  std::uint8_t groups[5];
  int count = 0;
  do {
    groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (count > 1)
    out.push_back(static_cast<std::uint8_t>(groups[--count] | 0x80));
  out.push_back(groups[0]);
}

// Reads one chunk's bytes; every read fails once past the end.
class Cursor {
 public:
  explicit Cursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool atEnd() const { return at_ >= bytes_.size(); }
  std::optional<std::uint8_t> byte() {
    if (atEnd()) return std::nullopt;
    return bytes_[at_++];
  }
  std::optional<std::uint32_t> varLen() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const auto b = byte();
      if (!b) return std::nullopt;
      value = (value << 7) | (*b & 0x7Fu);
      if ((*b & 0x80) == 0) return value;
    }
    return std::nullopt;
  }
  std::optional<std::span<const std::uint8_t>> take(std::uint32_t count) {
    if (count > bytes_.size() - at_) return std::nullopt;
    const auto part = bytes_.subspan(at_, count);
    at_ += count;
    return part;
  }
  std::optional<std::uint32_t> bigEndian(int width) {
    const auto part = take(static_cast<std::uint32_t>(width));
    if (!part) return std::nullopt;
    std::uint32_t value = 0;
    for (std::uint8_t b : *part)
      value = (value << 8) | b;
    return value;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

int dataLength(std::uint8_t status) {
  const std::uint8_t kind = status & 0xF0;
  return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// One track through the rules; false when it is not a valid track.
class TrackRewriter {
 public:
  TrackRewriter(const Rules& rules, Bytes& out) : rules_(rules), out_(out) {}

  bool run(Cursor& in) {
    while (!in.atEnd()) {
      const auto delta = in.varLen();
      const auto first = in.byte();
      if (!delta || !first) return false;
      pending_ += *delta;
      bool ended = false;
      if (!event(in, *first, ended)) return false;
      if (ended) return true;
    }
    // A track without its end gets one, so that players know where it stops.
    writeEvent({kMeta, kEndOfTrack, 0x00});
    return true;
  }

 private:
  bool event(Cursor& in, std::uint8_t first, bool& ended) {
    if (first == kMeta) return meta(in, ended);
    if (first == kExclusive || first == kEscape) return exclusive(in, first);
    if (first >= 0xF0) return false;  // system messages have no place in a file
    std::uint8_t status = first;
    std::optional<std::uint8_t> data1;
    if (first < 0x80) {
      if (running_ == 0) return false;
      status = running_;
      data1 = first;
    } else {
      running_ = first;
      data1 = in.byte();
    }
    const auto data2 = dataLength(status) == 2 ? in.byte() : std::optional<std::uint8_t>(0);
    if (!data1 || !data2 || *data1 >= 0x80 || *data2 >= 0x80) return false;
    channelMessage(status, *data1, *data2);
    return true;
  }

  bool meta(Cursor& in, bool& ended) {
    const auto type = in.byte();
    const auto length = in.varLen();
    const auto body = length ? in.take(*length) : std::nullopt;
    if (!type || !body) return false;
    Bytes event{kMeta, *type};
    putVarLen(event, *length);
    event.insert(event.end(), body->begin(), body->end());
    writeEvent(event);
    ended = *type == kEndOfTrack;
    return true;
  }

  bool exclusive(Cursor& in, std::uint8_t status) {
    const auto length = in.varLen();
    const auto body = length ? in.take(*length) : std::nullopt;
    if (!body) return false;
    running_ = 0;
    if (dropped(status, *body)) return true;
    Bytes event{status};
    putVarLen(event, *length);
    event.insert(event.end(), body->begin(), body->end());
    writeEvent(event);
    return true;
  }

  bool dropped(std::uint8_t status, std::span<const std::uint8_t> body) const {
    if (rules_.dropAllExclusives) return true;
    if (status != kExclusive) return false;
    return std::ranges::any_of(rules_.droppedExclusives, [body](const std::vector<std::uint8_t>& prefix) {
      return prefix.size() <= body.size() && std::equal(prefix.begin(), prefix.end(), body.begin());
    });
  }

  void channelMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    const std::size_t channel = status & 0x0F;
    const std::uint8_t kind = status & 0xF0;
    int first = data1;
    if (kind == 0x80 || kind == 0x90 || kind == 0xA0) first += rules_.semitones(channel);
    if (kind == 0xB0)
      first = rules_.controller(channel, data1) == kUnchanged ? data1 : rules_.controller(channel, data1);
    if (kind == 0xC0) first = rules_.program(channel, data1) == kUnchanged ? data1 : rules_.program(channel, data1);
    if (first < 0 || first > 127) return;  // a note moved out of range, or a dropped controller
    const auto newStatus = static_cast<std::uint8_t>(kind | rules_.channels[channel]);
    if (dataLength(status) == 1) {
      writeEvent({newStatus, static_cast<std::uint8_t>(first)});
    } else {
      writeEvent({newStatus, static_cast<std::uint8_t>(first), data2});
    }
  }

  void writeEvent(const Bytes& event) {
    putVarLen(out_, static_cast<std::uint32_t>(std::min<std::uint64_t>(pending_, 0x0FFFFFFF)));
    pending_ = 0;
    out_.insert(out_.end(), event.begin(), event.end());
  }

  const Rules& rules_;
  Bytes& out_;
  std::uint64_t pending_ = 0;
  std::uint8_t running_ = 0;
};

struct Header {
  std::uint16_t format = 0, tracks = 0, division = 0;
};

std::optional<Header> readHeader(Cursor& in) {
  const auto id = in.take(4);
  const auto length = in.bigEndian(4);
  if (!id || !length || std::string_view(reinterpret_cast<const char*>(id->data()), 4) != "MThd" || *length < 6)
    return std::nullopt;
  const auto body = in.take(*length);
  if (!body) return std::nullopt;
  Cursor fields(*body);
  Header header{static_cast<std::uint16_t>(*fields.bigEndian(2)), static_cast<std::uint16_t>(*fields.bigEndian(2)),
                static_cast<std::uint16_t>(*fields.bigEndian(2))};
  if (header.format > 2) return std::nullopt;
  return header;
}

}  // namespace

Rewritten rewrite(std::span<const std::uint8_t> smf, const Rules& rules, const RewriteProgress& progress) {
  Cursor in(smf);
  const auto header = readHeader(in);
  if (!header) return {RewriteStatus::kInvalidFile, {}};
  Bytes out;
  out.reserve(smf.size() + kHeaderSize);
  out.insert(out.end(), {'M', 'T', 'h', 'd', 0, 0, 0, 6});
  putBigEndian(out, header->format, 2);
  putBigEndian(out, 0, 2);  // the track count, once known
  putBigEndian(out, header->division, 2);
  std::uint32_t tracks = 0;
  const std::uint32_t expected = std::max<std::uint32_t>(header->tracks, 1);
  while (!in.atEnd()) {
    const auto id = in.take(4);
    const auto length = in.bigEndian(4);
    const auto body = length ? in.take(*length) : std::nullopt;
    if (!id || !body) break;  // bytes after the last whole chunk are not music
    const bool track = std::string_view(reinterpret_cast<const char*>(id->data()), 4) == "MTrk";
    if (track && progress && !progress(static_cast<int>(std::min<std::uint32_t>(tracks * 100 / expected, 99))))
      return {RewriteStatus::kStopped, {}};
    out.insert(out.end(), id->begin(), id->end());
    const std::size_t lengthAt = out.size();
    putBigEndian(out, 0, 4);
    if (!track) {
      out.insert(out.end(), body->begin(), body->end());
    } else {
      Cursor events(*body);
      if (!TrackRewriter(rules, out).run(events)) return {RewriteStatus::kInvalidFile, {}};
      ++tracks;
    }
    const auto written = static_cast<std::uint32_t>(out.size() - lengthAt - 4);
    for (int i = 0; i < 4; ++i)
      out[lengthAt + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(written >> (24 - 8 * i));
  }
  if (tracks == 0 || tracks > 0xFFFF) return {RewriteStatus::kInvalidFile, {}};
  out[10] = static_cast<std::uint8_t>(tracks >> 8);
  out[11] = static_cast<std::uint8_t>(tracks);
  return {RewriteStatus::kDone, std::move(out)};
}

}  // namespace smfk32
