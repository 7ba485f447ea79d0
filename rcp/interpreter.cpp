#include "rcp/interpreter.h"

#include <algorithm>
#include <limits>

#include "rcp/exclusive.h"

namespace volta::rcp {
namespace {

constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kKeyPressure = 0xA0;
constexpr std::uint8_t kControl = 0xB0;
constexpr std::uint8_t kProgram = 0xC0;
constexpr std::uint8_t kChannelPressure = 0xD0;
constexpr std::uint8_t kPitchBend = 0xE0;
constexpr std::uint8_t kVolumeController = 7;
constexpr std::uint8_t kEox = 0xF7;
// A chain of references to references longer than this is taken to be circular.
constexpr int kReferenceChainLimit = 64;

std::uint8_t data7(std::uint32_t value) {
  return static_cast<std::uint8_t>(std::min<std::uint32_t>(value, 0x7F));
}

}  // namespace

Interpreter::Interpreter(const Image& image, const Song& song, const Rules& rules, Sink& sink)
    : image_(image), song_(song), layout_(layoutOf(song.family)), rules_(rules), sink_(sink) {}

void Interpreter::resetTrack(Track& track, int index) const {
  const TrackHeader& header = song_.tracks[static_cast<std::size_t>(index)];
  track = Track{};
  track.index = index;
  track.start = header.eventStart;
  track.position = header.eventStart;
  track.end = header.end;
  track.port = header.port();
  track.channel = header.channel();
  track.keyShift = header.keyShift;
  track.deltaCounter = header.initialWait;
  track.ended = header.silent || !fits(track, track.start);
}

Record Interpreter::decode(std::size_t p) const {
  Record r;
  r.code = image_.byte(p);
  if (song_.family == Family::Rcp) {
    r.step = image_.byte(p + 1);
    r.gate = image_.byte(p + 2);
    r.velocity = image_.byte(p + 3);
  } else {
    r.velocity = image_.byte(p + 1);
    r.step = image_.word(p + 2);
    r.gate = image_.word(p + 4);
  }
  return r;
}

bool Interpreter::fits(const Track& track, std::size_t position) const {
  return position >= track.start && position + layout_.recordSize <= track.end;
}

bool Interpreter::advance(Track& track, Mode mode) const {
  const std::size_t next = track.position + layout_.recordSize;
  if (fits(track, next)) {
    track.position = next;
    return true;
  }
  // Out of records: notes still sounding run out their gate first, as after an end
  // mark, so that a track's last notes are not cut short.
  if (mode != Mode::Scan && track.soundingCount > 0) {
    track.endMark = true;
  } else {
    track.ended = true;
  }
  return false;
}

void Interpreter::playEvents(Track& track, Mode mode) {
  if (track.ended || track.endMark) return;
  track.chased = mode == Mode::Chase;
  run(track, mode);
}

void Interpreter::scanEvents(Track& track) {
  if (track.ended) return;
  run(track, Mode::Scan);
}

void Interpreter::run(Track& track, Mode mode) {
  for (int n = 0; n < rules_.recordLimit; ++n) {
    ++recordsRead_;
    const Record record = decode(track.position);
    const std::uint32_t step = mode == Mode::Scan ? flowAct(track, record, mode) : act(track, record, mode);
    track.deltaCounter = static_cast<std::int32_t>(step);
    if (track.ended || !advance(track, mode) || step != 0) return;
  }
  if (rules_.reportErrors) sink_.fail(12);
  track.ended = true;
}

std::uint32_t Interpreter::act(Track& track, const Record& r, Mode mode) {
  if (r.code < 0x80) {
    note(track, r, mode);
    return r.step;
  }
  if (r.code >= 0x90 && r.code <= 0x97) {
    userExclusive(track, r);
    return r.step;
  }
  switch (r.code) {
    case 0x98:
      inlineExclusive(track, r);
      return r.step;
    case 0xDD:
      track.addressHigh = static_cast<std::uint8_t>(r.gate);
      track.addressMiddle = static_cast<std::uint8_t>(r.velocity);
      return r.step;
    case 0xDE:
      rolandParameter(track, r);
      return r.step;
    case 0xDF:
      track.rolandDevice = static_cast<std::uint8_t>(r.gate);
      track.rolandModel = static_cast<std::uint8_t>(r.velocity);
      return r.step;
    case 0xE1:
      if (song_.family == Family::G36) {
        send(track, kControl, 32, r.velocity);
        send(track, kProgram, r.gate);
      }
      return r.step;
    case 0xE2:
      send(track, kControl, 0, r.velocity);
      send(track, kProgram, r.gate);
      return r.step;
    case 0xE6:
      channelChange(track, r.gate);
      return r.step;
    case 0xE7:
      tempoChange(r.gate);
      return r.step;
    case 0xEA:
      send(track, kChannelPressure, r.gate);
      return r.step;
    case 0xEB:
      controlChange(track, r);
      return r.step;
    case 0xEC:
      send(track, kProgram, r.gate);
      return r.step;
    case 0xED:
      send(track, kKeyPressure, r.gate, r.velocity);
      return r.step;
    case 0xEE:
      send(track, kPitchBend, r.gate, r.velocity);
      return r.step;
    case 0xF5:
      sink_.setKey(r.step);
      return 0;
    case 0xF6:
      comment(track, r);
      return 0;
    case 0x99:
    case 0xF7:
      return 0;
    default:
      return flowAct(track, r, mode);
  }
}

// Flow records act the same in every mode; everything else only takes time.
std::uint32_t Interpreter::flowAct(Track& track, const Record& r, Mode mode) {
  switch (r.code) {
    case 0xE7:
      tempoChange(r.gate);
      return r.step;
    case 0xF8:
      loopEnd(track, r.step, mode == Mode::Scan);
      return 0;
    case 0xF9:
      loopStart(track);
      return 0;
    case 0xFC:
      sameMeasure(track, r);
      return 0;
    case 0xFD:
      measureEnd(track);
      return 0;
    case 0xFE:
    case 0xFF:
      track.endMark = true;
      return r.step;
    case 0x99:
    case 0xF5:
    case 0xF6:
    case 0xF7:
      return 0;
    default:
      return r.step;
  }
}

void Interpreter::send(const Track& track, std::uint8_t status, std::uint32_t data1, std::uint32_t data2) {
  sink_.sendChannel(track.port, static_cast<std::uint8_t>(status | track.channel), data7(data1), data7(data2));
}

void Interpreter::note(Track& track, const Record& r, Mode mode) {
  int key = r.code;
  if ((track.keyShift & 0x80) == 0) key = (key + track.keyShift + song_.playBias) & 0x7F;
  if (song_.family == Family::Rcp) {
    if (r.velocity != 0) sink_.noteSounded();
    if (r.gate != 0 && r.velocity != 0 && mode != Mode::Chase) startNote(track, key, r, true);
    return;
  }
  if (r.gate == 0 || r.velocity == 0) return;
  startNote(track, key, r, mode != Mode::Chase);
  sink_.noteSounded();
}

void Interpreter::startNote(Track& track, int key, const Record& r, bool sound) {
  // Entries above the highest one in use are all free.
  int free = track.highest + 1 < kSoundingNotes ? track.highest + 1 : -1;
  for (int i = 0; i <= track.highest; ++i) {
    SoundingNote& entry = track.notes[static_cast<std::size_t>(i)];
    if (entry.gate == 0) {
      if (free < 0 || free > i) free = i;
    } else if (entry.note == key) {
      entry.gate = static_cast<std::uint16_t>(r.gate);
      return;
    }
  }
  if (free < 0) return;
  if (sound) send(track, kNoteOn, static_cast<std::uint32_t>(key), r.velocity);
  track.notes[static_cast<std::size_t>(free)] = {static_cast<std::uint8_t>(key), static_cast<std::uint16_t>(r.gate)};
  track.lastNote = key;
  ++track.soundingCount;
  track.highest = std::max(track.highest, free);
}

void Interpreter::controlChange(Track& track, const Record& r) {
  std::uint32_t value = r.velocity;
  if (r.gate == kVolumeController) {
    track.volume = static_cast<int>(r.velocity);
    if (track.fadeLevel != 0) value = static_cast<std::uint32_t>(track.fadeLevel) * r.velocity / kFadeStart;
  }
  send(track, kControl, r.gate, value);
}

void Interpreter::channelChange(Track& track, std::uint32_t gate) const {
  // Gate 0 wraps round to channel 16 of the second port.
  const std::int32_t target = static_cast<std::int32_t>(gate) - 1;
  track.channel = target & 0x0F;
  if (!rules_.fixedPorts) track.port = (target >> 4) & 1;
}

void Interpreter::tempoChange(std::uint32_t gate) {
  // Products below 64 would make a tempo of zero quarter notes per minute.
  const std::uint64_t quarters = std::uint64_t{gate} * static_cast<std::uint32_t>(song_.headerTempo) / 64;
  if (quarters == 0) return;
  sink_.setTempo(static_cast<std::uint32_t>(60000000u / quarters));
}

void Interpreter::userExclusive(const Track& track, const Record& r) {
  ExclusiveBuilder message(message_.data(), kTemplateMessageLimit, r.gate, r.velocity, track.channel);
  const std::size_t entry = layout_.exclusiveTableOffset + (r.code - 0x90u) * kExclusiveEntryBytes;
  for (std::size_t i = 0; i < kExclusiveTemplateBytes && !message.endsWithEox() && !message.full(); ++i) {
    message.add(image_.byte(entry + kExclusiveTemplateOffset + i));
  }
  message.terminate();
  sink_.sendExclusive(track.port, message.data(), message.length());
}

bool Interpreter::nextContinuation(Track& track) const {
  const std::size_t next = track.position + layout_.recordSize;
  if (!fits(track, next) || image_.byte(next) != kEox) return false;
  track.position = next;
  return true;
}

void Interpreter::inlineExclusive(Track& track, const Record& r) {
  ExclusiveBuilder message(message_.data(), rules_.inlineExclusiveLimit, r.gate, r.velocity, track.channel);
  const std::size_t first = layout_.recordSize - layout_.continuationBytes;
  while (!message.full() && nextContinuation(track)) {
    for (std::size_t i = 0; i < layout_.continuationBytes; ++i)
      message.add(image_.byte(track.position + first + i));
  }
  sink_.sendExclusive(track.port, message.data(), message.length());
}

void Interpreter::rolandParameter(const Track& track, const Record& r) {
  const std::uint8_t value1 = data7(r.gate);
  const std::uint8_t value2 = data7(r.velocity);
  const std::uint8_t sum = rolandChecksum(track.addressHigh + track.addressMiddle + value1 + value2);
  const std::uint8_t message[] = {
      0xF0, 0x41, track.rolandDevice, track.rolandModel, 0x12, track.addressHigh, track.addressMiddle, value1, value2,
      sum,  kEox};
  sink_.sendExclusive(track.port, message, sizeof message);
}

void Interpreter::comment(Track& track, const Record& r) {
  std::size_t length = 0;
  auto take = [&](std::uint32_t value) {
    if (length < kCommentBufferBytes) message_[length++] = static_cast<std::uint8_t>(value);
  };
  take(r.gate & 0xFF);
  take(r.velocity);
  const std::size_t first = layout_.recordSize - layout_.continuationBytes;
  while (length < kCommentBufferBytes && nextContinuation(track)) {
    for (std::size_t i = 0; i < layout_.continuationBytes; ++i)
      take(image_.byte(track.position + first + i));
  }
  sink_.comment(message_.data(), length);
}

void Interpreter::loopStart(Track& track) {
  if (track.depth >= rules_.loopLimit) {
    if (rules_.reportErrors) sink_.fail(13);
    track.ended = true;
    return;
  }
  track.loops[static_cast<std::size_t>(track.depth++)] = {track.position,       0,    track.sameMeasureActive, false,
                                                          track.returnPosition, false};
}

void Interpreter::loopEnd(Track& track, std::uint32_t count, bool scan) {
  if (track.depth == 0) return;
  LoopEntry& entry = track.loops[static_cast<std::size_t>(track.depth - 1)];
  if (entry.remaining == 0) {
    entry.remaining = count;
    if (count == 0) {
      const std::uint32_t repeat = rules_.endlessRepeat;
      entry.infinite = !scan || repeat != 0;
      entry.remaining = !scan && repeat == 0 ? 1 : repeat + 1;
    }
  }
  --entry.remaining;
  if (entry.infinite && entry.remaining == 1) {
    if (scan) {
      --track.depth;
      return;
    }
    startFade(track);
    track.position = entry.returnPosition;
  } else if (entry.remaining == 0 && !entry.infinite) {
    --track.depth;
  } else {
    jumpBack(track, entry);
  }
}

void Interpreter::jumpBack(Track& track, const LoopEntry& entry) {
  if (track.sameMeasureActive && entry.measurePassed) track.sameMeasureActive = false;
  if (entry.savedSameMeasure) {
    track.returnPending = true;
    track.returnPosition = entry.savedReturnPosition;
  }
  track.position = entry.returnPosition;
}

// A fade already under way runs on: restarting it on every other pass of a short
// loop body would keep the track from ever fading out.
void Interpreter::startFade(Track& track) const {
  if (track.fadeLevel != 0) return;
  track.fadeLevel = kFadeStart;
  track.fadeCounter = song_.timeBase;
}

void Interpreter::measureEnd(Track& track) {
  if (track.depth > 0) track.loops[static_cast<std::size_t>(track.depth - 1)].measurePassed = true;
  if (track.sameMeasureActive) {
    track.position = track.returnPosition;
    track.sameMeasureActive = false;
    track.returnPending = false;
  } else if (track.returnPending) {
    track.position = track.returnPosition;
    track.returnPending = false;
  }
}

void Interpreter::sameMeasure(Track& track, const Record& r) {
  const bool first = track.position == track.start;
  if (!first && image_.byte(track.position - layout_.recordSize) != 0xFD) {
    if (track.depth > 0) track.loops[static_cast<std::size_t>(track.depth - 1)].measurePassed = true;
    if (track.sameMeasureActive || track.returnPending) {
      track.position = track.returnPosition;
      track.sameMeasureActive = false;
      track.returnPending = false;
      return;
    }
  }
  track.sameMeasureActive = true;
  track.returnPosition = track.position;
  std::uint32_t gate = r.gate;
  std::uint32_t velocity = r.velocity;
  for (int hops = 0;; ++hops) {
    std::size_t target = 0;
    if (!referenceTarget(track, gate, velocity, target)) return dropReference(track);
    if (image_.byte(target) != 0xFC) {
      track.position = target - layout_.recordSize;
      return;
    }
    if (target == track.start || hops == kReferenceChainLimit) return dropReference(track);
    const Record next = decode(target);
    gate = next.gate;
    velocity = next.velocity;
  }
}

bool Interpreter::referenceTarget(const Track& track, std::uint32_t gate, std::uint32_t velocity,
                                  std::size_t& target) const {
  if (song_.family == Family::Rcp) {
    const std::uint32_t offset = velocity * 256 + (gate & ~3u);
    target = track.start + ((offset - layout_.trackHeaderSize) & 0xFFFF);
  } else if (song_.marked) {
    target = track.start + ((gate - 48) & 0xFFFF) * layout_.recordSize;
  } else {
    target = track.start + ((gate - layout_.trackHeaderSize) & 0xFFFF);
  }
  return fits(track, target);
}

// A reference that leads nowhere playable is passed over like a measure end.
void Interpreter::dropReference(Track& track) const {
  track.position = track.returnPosition;
  track.sameMeasureActive = false;
  measureEnd(track);
}

void Interpreter::beforeTick(Track& track) {
  if (track.fadeLevel != 0 && !track.ended && --track.fadeCounter <= 0) {
    sink_.sendChannel(track.port, static_cast<std::uint8_t>(kControl | track.channel), kVolumeController,
                      data7(static_cast<std::uint32_t>(track.volume * track.fadeLevel / kFadeStart)));
    track.fadeLevel -= kFadeStep;
    track.fadeCounter = song_.timeBase;
    if (track.fadeLevel <= 0) {
      track.fadeLevel = 0;
      track.ended = true;
      return;
    }
  }
  if (!track.chased) countDownNotes(track);
  if (track.endMark && (track.soundingCount == 0 || track.chased)) track.ended = true;
}

void Interpreter::countDownNotes(Track& track) {
  int highest = 0;
  for (int i = 0; i <= track.highest && track.soundingCount > 0; ++i) {
    SoundingNote& entry = track.notes[static_cast<std::size_t>(i)];
    if (entry.gate == 0) continue;
    if (--entry.gate == 0) {
      send(track, kNoteOn, entry.note, 0);
      --track.soundingCount;
    } else {
      highest = i;
    }
  }
  track.highest = highest;
}

std::uint32_t Interpreter::quietTicks(const Track& track) const {
  if (track.endMark && (track.soundingCount == 0 || track.chased)) return 0;
  std::uint32_t quiet = std::numeric_limits<std::uint32_t>::max();
  if (track.fadeLevel != 0 && !track.ended) quiet = static_cast<std::uint32_t>(std::max(track.fadeCounter - 1, 0));
  if (track.chased || track.soundingCount == 0) return quiet;
  for (int i = 0; i <= track.highest; ++i) {
    const std::uint16_t gate = track.notes[static_cast<std::size_t>(i)].gate;
    if (gate != 0) quiet = std::min<std::uint32_t>(quiet, gate - 1u);
  }
  return quiet;
}

void Interpreter::skipQuietTicks(Track& track, std::uint32_t ticks) const {
  if (track.fadeLevel != 0 && !track.ended) track.fadeCounter -= static_cast<std::int32_t>(ticks);
  if (track.chased) return;
  for (int i = 0; i <= track.highest; ++i) {
    SoundingNote& entry = track.notes[static_cast<std::size_t>(i)];
    if (entry.gate != 0) entry.gate = static_cast<std::uint16_t>(entry.gate - ticks);
  }
}

}  // namespace volta::rcp
