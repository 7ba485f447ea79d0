#include "engine/rcp_sequencer.h"

#include <algorithm>
#include <cstring>

#include "engine/midi_output.h"

namespace volta::engine {
namespace {

// Records a length scan reads before it stops counting: nested counted loops can make
// a small file last longer than any song.
constexpr std::uint64_t kScanRecordBudget = 1u << 22;

rcp::Mode modeOf(StepMode mode) {
  return mode == StepMode::Chase ? rcp::Mode::Chase : rcp::Mode::Play;
}

}  // namespace

RCPSequencer::RCPSequencer(MidiOutput* output, std::uint32_t dataSize, rcp::Family family)
    : MidiSequencer(output, dataSize), family_(family) {}

rcp::Image RCPSequencer::image() const {
  // The base hands out its buffer only through non-const access; nothing is written.
  const std::uint8_t* bytes = const_cast<RCPSequencer*>(this)->data();
  return {bytes, dataSize(), std::size_t{dataSize()} + kDataPadding};
}

// Port assignment types 3 and 4 put every track on port A or port B.
bool RCPSequencer::fixedPorts() {
  const std::uint16_t assignment = status()->playControl.portAssignment;
  return assignment == 3 || assignment == 4;
}

void RCPSequencer::rewind() {
  songValid_ = 1;
  setError(0);
  interpreter_.reset();
  // A file shorter than its header holds no song.
  read_ = rcp::readSong(image(), family_, rcp::StepShiftRule::Signed, song_);
  if (!read_) return MidiSequencer::fail(protocol::kErrChunkStructure);
  protocol::SequencerStatus& s = *status();
  s.smfFormat = song_.engineFileType();
  s.timeBase = static_cast<std::uint16_t>(song_.timeBase);
  s.numerator = static_cast<std::int16_t>(song_.numerator);
  s.denominator = static_cast<std::int16_t>(song_.denominator);
  s.ticksPerMeasure = song_.ticksPerMeasure();
  s.key = song_.key;
  MidiSequencer::setTempo(song_.initialTempo());
  if (!ensureTracks()) return;
  if (!records_) records_ = std::make_unique<rcp::Track[]>(kMaxTracks);
  rcp::Rules rules;
  rules.inlineExclusiveLimit = family_ == rcp::Family::Rcp ? rcp::kExclusiveBufferBytes : rcp::kTemplateMessageLimit;
  interpreter_.emplace(image(), song_, rules, static_cast<rcp::Sink&>(*this));
  for (trackCount_ = 0; trackCount_ < song_.trackCount; ++trackCount_) {
    SequencerTrack& track = tracks_[trackCount_];
    track.index = trackCount_;
    resetTrack(track);
  }
  if (trackCount_ > 0) s.tickInMeasure = static_cast<std::uint32_t>(tracks_[0].deltaCounter);
}

void RCPSequencer::resetTrack(SequencerTrack& track) {
  if (!interpreter_) return;
  rcp::Track& records = records_[static_cast<std::size_t>(track.index)];
  interpreter_->resetTrack(records, track.index);
  if (fixedPorts()) records.port = status()->playControl.portAssignment - 3;
  const rcp::TrackHeader& header = song_.tracks[static_cast<std::size_t>(track.index)];
  track.start = data() + std::min(header.eventStart, header.end);
  track.end = data() + header.end;
  track.length = static_cast<std::uint32_t>(track.end - track.start);
  std::memset(track.name, 0, sizeof track.name);
  if (track.index == 0) std::memcpy(track.name, song_.title.data(), std::strlen(song_.title.data()));
  publish(records, track);
}

rcp::Track& RCPSequencer::recordsOf(SequencerTrack& track) {
  rcp::Track& records = records_[static_cast<std::size_t>(track.index)];
  records.deltaCounter = track.deltaCounter;
  records.ended = records.ended || track.ended != 0;
  rcp::Rules& rules = interpreter_->rules();
  rules.endlessRepeat = status()->playControl.repeatCount;
  rules.fixedPorts = fixedPorts();
  return records;
}

void RCPSequencer::publish(const rcp::Track& records, SequencerTrack& track) {
  track.position = data() + std::min(records.position, records.end);
  track.deltaCounter = records.deltaCounter;
  track.ended = records.ended ? 1 : 0;
  track.port = records.port;
  track.channel = records.channel;
}

void RCPSequencer::playTrackEvents(SequencerTrack& track, StepMode mode) {
  if (!interpreter_) return;
  rcp::Track& records = recordsOf(track);
  interpreter_->playEvents(records, modeOf(mode));
  publish(records, track);
}

void RCPSequencer::beforeTrackTick(SequencerTrack& track) {
  if (!interpreter_) return;
  rcp::Track& records = recordsOf(track);
  interpreter_->beforeTick(records);
  publish(records, track);
}

void RCPSequencer::scanTrackEvents(SequencerTrack& track) {
  if (!interpreter_) return;
  rcp::Track& records = recordsOf(track);
  if (interpreter_->recordsRead() > kScanRecordBudget) records.ended = true;
  interpreter_->scanEvents(records);
  publish(records, track);
}

void RCPSequencer::copyTitle(char* title, std::size_t size) const {
  if (size == 0) return;
  std::memset(title, 0, size);
  if (!read_) return;
  std::memcpy(title, song_.title.data(), std::min(size - 1, std::strlen(song_.title.data())));
}

void RCPSequencer::copyComment(char* comment, std::size_t size) const {
  std::memset(comment, 0, size);
  if (!read_) return;
  std::array<std::uint8_t, rcp::kMemoBytes> memo{};
  rcp::readMemo(image(), family_, memo);
  std::memcpy(comment, memo.data(), std::min(size, memo.size()));
}

void RCPSequencer::sendChannel(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  if (output_) output_->sendFiltered(port, status | std::uint32_t{data1} << 8 | std::uint32_t{data2} << 16);
}

void RCPSequencer::sendExclusive(int port, const std::uint8_t* message, std::size_t length) {
  if (output_) output_->sendExclusive(port, message, length);
}

void RCPSequencer::setTempo(std::uint32_t microsecondsPerQuarter) {
  MidiSequencer::setTempo(microsecondsPerQuarter);
}

void RCPSequencer::setKey(std::uint32_t key) {
  status()->key = static_cast<std::int16_t>(key);
}

void RCPSequencer::noteSounded() {
  noteSounded_ = 1;
}

void RCPSequencer::fail(std::uint8_t code) {
  MidiSequencer::fail(code);
}

}  // namespace volta::engine
