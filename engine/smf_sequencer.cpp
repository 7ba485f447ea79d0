#include "engine/smf_sequencer.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "engine/midi_output.h"

namespace volta::engine {
namespace {

constexpr std::uint32_t kHeaderSearchRange = 1024;
constexpr std::int32_t kMaxSmfTracks = 127;
constexpr int kEventLimit = 8192;                 // events of one track in one tick
constexpr std::uint32_t kMaxVarLen = 0x0FFFFFFF;  // four bytes' worth; longer ones saturate
constexpr std::uint32_t kMaxMessage = 4095;       // exclusives and metas of this size or more are skipped
constexpr int kMaxDenominatorPower = 14;          // 2^14 still fits the status word

std::uint32_t be16(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 8 | p[1];
}
std::uint32_t be32(const std::uint8_t* p) {
  return be16(p) << 16 | be16(p + 2);
}

// Bytes left to read; none once the track has ended.
// The XF format's texts ("XFhd:", "XFln:", "XFkm:" ...) describe the song for karaoke devices;
// they are no title.
bool isXfMarker(const std::uint8_t* text, std::size_t length) {
  return length >= 5 && text[0] == 'X' && text[1] == 'F' && std::isalpha(text[2]) && std::isalpha(text[3]) &&
         text[4] == ':';
}

std::size_t remaining(const SequencerTrack& track) {
  return track.ended ? 0 : static_cast<std::size_t>(track.end - track.position);
}

// Moves the read position by k bytes. Reaching the end ends the track and leaves the
// position where it is, so a read position never leaves the track's data.
void advance(SequencerTrack& track, std::size_t k) {
  if (remaining(track) <= k) {
    track.ended = 1;
  } else {
    track.position += k;
  }
}

struct VarLen {
  std::uint32_t value;
  bool complete;  // false when the track ran out before the last byte
};

VarLen readVarLen(SequencerTrack& track) {
  std::uint64_t value = 0;
  while (!track.ended) {
    const std::uint8_t byte = *track.position;
    value = std::min<std::uint64_t>(value << 7 | (byte & 0x7F), kMaxVarLen);
    advance(track, 1);
    if (!(byte & 0x80)) return {static_cast<std::uint32_t>(value), true};
  }
  return {static_cast<std::uint32_t>(value), false};
}

std::int32_t portFor(std::uint16_t assignment, std::int32_t index) {
  switch (assignment) {
    case 0:
    case 3:
      return 0;
    case 1:
      return index == 2 ? 1 : 0;
    case 2:
      return index < 17 ? 0 : 1;
    default:
      return 1;
  }
}

// Key value: the number of accidentals, 8 for flats, 16 for a minor key.
std::int16_t keyCode(std::uint8_t sharpsOrFlats, std::uint8_t minor) {
  const int signedCount = static_cast<std::int8_t>(sharpsOrFlats);
  const int count = std::min(signedCount < 0 ? -signedCount : signedCount, 7);
  const int code = (signedCount < 0 ? 8 + count : count) + (minor != 0 ? 16 : 0);
  return static_cast<std::int16_t>(code);
}

}  // namespace

void SMFSequencer::rewind() {
  songValid_ = 1;
  setError(0);
  const std::int64_t header = findHeader();
  if (header < 0) return;
  const std::uint8_t* chunk = data() + header;
  const std::uint32_t format = be16(chunk + 8);
  std::int32_t count = static_cast<std::int32_t>(be16(chunk + 10));
  const std::uint32_t division = be16(chunk + 12);
  status()->smfFormat = static_cast<std::uint16_t>(format);
  if (format > 1) return fail(protocol::kErrFormat);
  status()->timeBase = static_cast<std::uint16_t>(division);
  status()->ticksPerMeasure = division * 4;
  setTempo(status()->tempo);
  if (count < 1 || count > kMaxSmfTracks) return fail(protocol::kErrTrackCount);
  if (format == 0) count = 1;
  if (!ensureTracks()) return;
  walkChunks(static_cast<std::uint64_t>(header) + 8 + be32(chunk + 4), count);
}

std::int64_t SMFSequencer::findHeader() {
  const std::uint32_t last = std::min(kHeaderSearchRange, dataSize() < 4 ? 0 : dataSize() - 3);
  for (std::uint32_t offset = 0; offset < last; ++offset) {
    // The header's fields lie within the zero padding after the data at worst.
    if (std::memcmp(data() + offset, "MThd", 4) == 0) return offset;
  }
  fail(protocol::kErrNoHeader);
  return -1;
}

bool SMFSequencer::walkChunks(std::uint64_t offset, std::int32_t count) {
  const std::uint64_t size = dataSize();
  while (trackCount_ < count) {
    if (offset + 8 > size) {
      fail(protocol::kErrChunkStructure);
      return false;
    }
    const std::uint8_t* chunk = data() + offset;
    const std::uint64_t length = be32(chunk + 4);
    if (std::memcmp(chunk, "MTrk", 4) == 0) {
      SequencerTrack& track = tracks_[trackCount_];
      track.start = chunk + 8;
      // A chunk that claims more than the data holds ends with the data.
      track.end = data() + std::min(offset + 8 + length, size);
      track.length = static_cast<std::uint32_t>(track.end - track.start);
      track.index = trackCount_++;
      resetTrack(track);
    }
    offset += 8 + length;
  }
  return true;
}

void SMFSequencer::resetTrack(SequencerTrack& track) {
  track.position = track.start;
  track.ended = !track.start || track.start >= track.end;
  track.runningStatus = 0;
  track.name[0] = 0;
  track.channel = 0;
  track.port = portFor(status()->playControl.portAssignment, track.index);
  track.deltaCounter = 0;
  if (track.ended) return;
  readDelta(track);
  ++track.deltaCounter;
}

void SMFSequencer::readDelta(SequencerTrack& track) {
  const VarLen delta = readVarLen(track);
  if (!delta.complete) {
    fail(protocol::kErrPastEnd);
    track.ended = 1;
    return;
  }
  track.deltaCounter = static_cast<std::int32_t>(delta.value);
}

void SMFSequencer::playTrackEvents(SequencerTrack& track, StepMode mode) {
  runEvents(track, mode);
}

void SMFSequencer::scanTrackEvents(SequencerTrack& track) {
  runEvents(track, StepMode::Scan);
}

void SMFSequencer::runEvents(SequencerTrack& track, StepMode mode) {
  for (int i = 0; i < kEventLimit; ++i) {
    processEvent(track, mode);
    if (track.ended || !songPlays()) return;
    readDelta(track);
    if (track.ended || !songPlays() || track.deltaCounter != 0) return;
  }
  fail(protocol::kErrInfiniteLoop);
  track.ended = 1;
}

void SMFSequencer::processEvent(SequencerTrack& track, StepMode mode) {
  if (track.ended) return;
  std::uint8_t status = *track.position;
  if (status < 0x80) {
    // A data byte: running status, or error 6 with nothing consumed.
    status = track.runningStatus;
    if (status == 0) return setError(protocol::kErrInvalidEvent);
  } else {
    if (status < 0xF0) track.runningStatus = status;
    advance(track, 1);
    if (track.ended) return;
  }
  switch (status) {
    case 0xF0:
      return processExclusive(track, mode, true);
    case 0xF7:
      return processExclusive(track, mode, false);
    case 0xFF:
      return processMeta(track, mode);
    default:
      // Other system bytes carry nothing here.
      if (status < 0xF0) processChannelMessage(track, mode, status);
  }
}

void SMFSequencer::processExclusive(SequencerTrack& track, StepMode mode, bool withF0) {
  const std::uint32_t length = readVarLen(track).value;
  const std::uint32_t limit = withF0 ? kMaxMessage : kMaxMessage + 1;
  if (mode != StepMode::Scan && output_ && length > 0 && length < limit && length <= remaining(track)) {
    if (withF0) {
      message_[0] = 0xF0;
      std::memcpy(message_ + 1, track.position, length);
      output_->sendExclusive(track.port, message_, length + 1);
    } else {
      output_->sendExclusive(track.port, track.position, length);
    }
  }
  advance(track, length);
}

void SMFSequencer::processMeta(SequencerTrack& track, StepMode mode) {
  const std::uint8_t type = *track.position;
  advance(track, 1);
  if (type == 0x2F) {
    track.ended = 1;
    return;
  }
  const std::uint32_t length = readVarLen(track).value;
  if (length > 0 && length < kMaxMessage && length <= remaining(track)) {
    std::memcpy(message_, track.position, length);
    message_[length] = 0;
    actOnMeta(track, mode, type, length);
  }
  advance(track, length);
}

void SMFSequencer::actOnMeta(SequencerTrack& track, StepMode mode, std::uint8_t type, std::uint32_t length) {
  switch (type) {
    case 0x01:  // text
    case 0x03:  // sequence or track name
      if (track.name[0] == 0 && !isXfMarker(message_, length)) {
        const std::size_t size = strnlen(reinterpret_cast<const char*>(message_), sizeof track.name - 1);
        std::memcpy(track.name, message_, size);
        track.name[size] = 0;
      }
      break;
    case 0x05:  // lyric; a scan only measures the song and leaves the display alone
      if (output_ && mode != StepMode::Scan) output_->setLyric(reinterpret_cast<const char*>(message_));
      break;
    case 0x58:
      if (length >= 2) setTimeSignature(message_[0], message_[1]);
      break;
    case 0x21: {
      const std::uint16_t assignment = status()->playControl.portAssignment;
      if (assignment != 3 && assignment != 4) track.port = message_[0] < 3 ? message_[0] : 0;
      break;
    }
    case 0x51:
      if (length >= 3) setTempo(std::uint32_t{message_[0]} << 16 | std::uint32_t{message_[1]} << 8 | message_[2]);
      break;
    case 0x59:
      if (length >= 2) status()->key = keyCode(message_[0], message_[1]);
      break;
    default:
      break;
  }
}

void SMFSequencer::setTimeSignature(std::uint8_t numeratorByte, std::uint8_t power) {
  protocol::SequencerStatus* s = status();
  const std::int16_t numerator = numeratorByte == 0 ? 4 : numeratorByte;
  const auto denominator = static_cast<std::int16_t>(1 << std::min<int>(power, kMaxDenominatorPower));
  const bool changed = numerator != s->numerator || denominator != s->denominator;
  // A change at the very end of a measure opens the next one with the next tick.
  if (changed && std::int64_t{s->tickInMeasure} >= std::int64_t{s->ticksPerMeasure} - 1) startMeasure(stepTick() + 1);
  s->numerator = numerator;
  s->denominator = denominator;
  s->ticksPerMeasure =
      std::uint32_t{s->timeBase} * 4 * static_cast<std::uint32_t>(numerator) / static_cast<std::uint32_t>(denominator);
}

void SMFSequencer::processChannelMessage(SequencerTrack& track, StepMode mode, std::uint8_t status) {
  const std::uint8_t kind = status & 0xF0;
  if (kind == 0xC0 || kind == 0xD0) {
    if (mode != StepMode::Scan) send(track, status | std::uint32_t{track.position[0]} << 8);
    advance(track, 1);
    return;
  }
  if (mode != StepMode::Scan && remaining(track) >= 2) {
    const std::uint8_t data1 = track.position[0];
    const std::uint8_t data2 = track.position[1];
    track.channel = status & 0x0F;
    if (kind == 0x90 && data2 > 0) noteSounded_ = 1;
    // Chasing sends everything but notes.
    if (mode == StepMode::Play || status >= 0xA0)
      send(track, status | std::uint32_t{data1} << 8 | std::uint32_t{data2} << 16);
  }
  advance(track, 2);
}

void SMFSequencer::send(const SequencerTrack& track, std::uint32_t message) {
  if (output_) output_->sendFiltered(track.port, message);
}

}  // namespace volta::engine
