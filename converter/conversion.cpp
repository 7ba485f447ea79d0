#include "converter/conversion.h"

#include <algorithm>
#include <cstdio>

#include "platform/file_types.h"
#include "platform/message_target.h"

namespace volta::converter {
namespace {

constexpr std::uint8_t kTextMeta = 0x03;

using Callback = void (*)(const std::int32_t* record);

bool familyOfName(const char* fileName, rcp::Family& family) {
  const platform::SongFormat format = platform::songFormatOf(fileName);
  if (!platform::isRcpFamily(format)) return false;
  family = format == platform::SongFormat::kRcp ? rcp::Family::Rcp : rcp::Family::G36;
  return true;
}

bool readWhole(const char* fileName, std::vector<std::uint8_t>& bytes, std::size_t& length) {
  std::FILE* file = std::fopen(fileName, "rb");
  if (file == nullptr) return false;
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(file) : -1;
  ok = size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    length = static_cast<std::size_t>(size);
    bytes.assign(length + rcp::kImagePadding, 0);
    ok = std::fread(bytes.data(), 1, length, file) == length;
  }
  std::fclose(file);
  return ok;
}

}  // namespace

rcp::Rules conversionRules() {
  rcp::Rules rules;
  rules.loopLimit = rcp::kMaxLoopDepth;
  rules.recordLimit = 100;
  rules.inlineExclusiveLimit = rcp::kTemplateMessageLimit;
  rules.reportErrors = false;
  rules.endlessRepeat = 1;
  return rules;
}

Conversion::~Conversion() {
  validity_ = 0;
}

std::unique_ptr<Conversion> Conversion::fromImage(const std::uint8_t* image, std::size_t length, std::size_t readable,
                                                  rcp::Family family, const Notifier& notifier) {
  if (image == nullptr || length == 0) return nullptr;
  std::unique_ptr<Conversion> conversion(new Conversion(notifier));
  if (!conversion->run({image, length, std::max(readable, length)}, family)) return nullptr;
  return conversion;
}

std::unique_ptr<Conversion> Conversion::fromFile(const char* fileName, const Notifier& notifier) {
  rcp::Family family{};
  if (fileName == nullptr || !familyOfName(fileName, family)) return nullptr;
  std::unique_ptr<Conversion> conversion(new Conversion(notifier));
  std::size_t length = 0;
  if (!readWhole(fileName, conversion->owned_, length)) return nullptr;
  // Collections hold G36 songs named .rcp and the reverse: the header's signature wins.
  rcp::recognise(conversion->owned_.data(), length, family);
  const rcp::Image image{conversion->owned_.data(), length, conversion->owned_.size()};
  if (!conversion->run(image, family)) return nullptr;
  return conversion;
}

bool Conversion::run(const rcp::Image& image, rcp::Family family) {
  song_ = std::make_unique<rcp::Song>();
  if (!rcp::readSong(image, family, rcp::StepShiftRule::UnsignedForOldRcp, *song_)) return false;
  const rcp::Song& song = *song_;
  fileType_ = song.converterFileType();
  writer_.setTime(0);
  writer_.tempo(song.initialTempo());
  track_ = std::make_unique<rcp::Track>();
  rcp::Interpreter interpreter(image, song, conversionRules(), *this);
  for (int i = 0; i < song.trackCount; ++i)
    convertTrack(interpreter, i);
  smf_ = writer_.finish(
      {song.title.data(), song.numerator, song.denominator, song.key, static_cast<std::uint16_t>(song.timeBase)});
  notify(std::max(song.trackCount - 1, 0), 99);
  return true;
}

void Conversion::convertTrack(rcp::Interpreter& interpreter, int index) {
  notify(index, index * 100 / song_->trackCount);
  writer_.startTrack();
  const rcp::TrackHeader& header = song_->tracks[static_cast<std::size_t>(index)];
  const std::string name(reinterpret_cast<const char*>(header.comment.data()), rcp::trimmedCommentLength(header));
  writer_.text(kTextMeta, name);
  rcp::Track& track = *track_;
  interpreter.resetTrack(track, index);
  std::uint64_t tick = 0;
  playTrack(interpreter, track, tick);
  finishNotes(interpreter, track, tick);
  writer_.endTrack();
}

// Ticks through one track; ticks in which nothing can happen are passed in one step.
void Conversion::playTrack(rcp::Interpreter& interpreter, rcp::Track& track, std::uint64_t& tick) {
  while (!track.ended) {
    if (tick > SmfWriter::kMaxTime || interpreter.recordsRead() > kRecordBudget) {
      track.ended = true;
      break;
    }
    writer_.setTime(tick);
    interpreter.beforeTick(track);
    if (track.ended) break;
    if (track.deltaCounter == 0 || --track.deltaCounter == 0) interpreter.playEvents(track, rcp::Mode::Play);
    if (track.ended) break;
    // An end mark with notes still sounding leaves the counter at 0: only the gates run on.
    const std::uint32_t waiting =
        track.deltaCounter > 0 ? static_cast<std::uint32_t>(track.deltaCounter - 1) : UINT32_MAX;
    const std::uint32_t skip = std::min(waiting, interpreter.quietTicks(track));
    interpreter.skipQuietTicks(track, skip);
    if (track.deltaCounter > 0) track.deltaCounter -= static_cast<std::int32_t>(skip);
    tick += 1 + skip;
  }
}

// Notes still sounding when a track ends are let run to the end of their gates.
void Conversion::finishNotes(rcp::Interpreter& interpreter, rcp::Track& track, std::uint64_t tick) {
  while (track.soundingCount > 0 && !track.chased) {
    const std::uint32_t skip = interpreter.quietTicks(track);
    interpreter.skipQuietTicks(track, skip);
    tick += 1 + skip;
    writer_.setTime(tick);
    interpreter.countDownNotes(track);
  }
}

void Conversion::notify(int index, int percent) const {
  const std::int32_t record[4] = {index, song_->trackCount, percent, notifier_.userValue};
  if (notifier_.kind == 2 && notifier_.target != nullptr) {
    reinterpret_cast<Callback>(notifier_.target)(record);
  } else if (notifier_.kind == 1) {
    platform::sendMessage(static_cast<const platform::MessageTarget*>(notifier_.target), notifier_.message, 0,
                          reinterpret_cast<std::intptr_t>(record));
  }
}

void Conversion::sendChannel(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  writer_.channel(port, status, data1, data2);
}

void Conversion::sendExclusive(int port, const std::uint8_t* message, std::size_t length) {
  writer_.exclusive(port, message, length);
}

void Conversion::setTempo(std::uint32_t microsecondsPerQuarter) {
  writer_.tempo(microsecondsPerQuarter);
}

void Conversion::comment(const std::uint8_t* text, std::size_t length) {
  writer_.meta(kTextMeta, text, length);
}

}  // namespace volta::converter
