#include "engine/midi_sequencer.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "engine/midi_output.h"
#include "platform/clock.h"
#include "platform/low_memory.h"
#include "platform/timer.h"

namespace volta::engine {
namespace {

// One sequencer at a time owns the engine's timer.
std::atomic<bool> timerTaken{false};

constexpr std::uint32_t kPanelClockDivider = 8;
constexpr std::uint8_t kPanelClockMask = kPanelClockDivider - 1;
constexpr std::uint64_t kUnitsPerMillisecond = 100;
constexpr std::uint64_t kHeadSkipFactor = 8;
constexpr std::uint32_t kNoLimit = std::numeric_limits<std::uint32_t>::max();

}  // namespace

std::int32_t tickDurationFor(std::uint32_t tempo, std::uint32_t timeBase) {
  const std::uint32_t duration = tempo / 10 / std::max<std::uint32_t>(timeBase, 1);
  return static_cast<std::int32_t>(std::max<std::uint32_t>(duration, 1));
}

MidiSequencer::MidiSequencer(MidiOutput* output, std::uint32_t dataSize) : output_(output), dataSize_(dataSize) {
  status_ = static_cast<protocol::SequencerStatus*>(platform::allocateLow(sizeof(protocol::SequencerStatus)));
  if (!status_) return;
  data_ = static_cast<std::uint8_t*>(platform::allocateLow(std::size_t{dataSize} + kDataPadding));
  status_->playControl = protocol::PlayControl{0, 0, 0, 2};
  status_->numerator = 4;
  status_->denominator = 4;
  status_->ticksPerMeasure = kDefaultTimeBase * 4;
  status_->timeBase = kDefaultTimeBase;
  setTempo(kDefaultTempo);
  if (!data_) {
    setError(protocol::kErrNoMemory);
    return;
  }
  startTimer();
}

MidiSequencer::~MidiSequencer() {
  releaseTimer();
  if (output_) {
    output_->allNotesOff();
    output_->clearSoundingNotes();
    output_->flush(0);
  }
  platform::freeLow(tracks_);
  platform::freeLow(data_);
  platform::freeLow(status_);
}

void MidiSequencer::startTimer() {
  bool expected = false;
  if (!timerTaken.compare_exchange_strong(expected, true)) return;
  timerId_ = platform::timerService().start(timerPeriod_, &MidiSequencer::timerProc, this);
  if (timerId_ == 0) timerTaken.store(false);
}

void MidiSequencer::releaseTimer() {
  if (timerId_ == 0) return;
  platform::timerService().stop(timerId_);
  timerId_ = 0;
  timerTaken.store(false);
}

void MidiSequencer::detachOutput(const MidiOutput* output) {
  std::lock_guard lock(lock_);
  if (output_ == output) output_ = nullptr;
}

void MidiSequencer::setTimerPeriod(std::uint32_t periodMs) {
  // A period of 0 would stop the clock for good; keep the current one.
  if (periodMs == 0 || periodMs == timerPeriod_) return;
  timerPeriod_ = periodMs;
  if (timerId_ == 0) return;
  releaseTimer();
  startTimer();
}

void MidiSequencer::timerProc(std::uint32_t, void* user) {
  static_cast<MidiSequencer*>(user)->onTimer();
}

void MidiSequencer::onTimer() {
  if (busy_ || !songValid_) return;
  std::unique_lock lock(lock_, std::try_to_lock);
  if (!lock.owns_lock()) return;
  busy_ = 1;
  tickPanelClock();
  if (resyncMode_ != 0 && output_) {
    // Wait for the output queues to drain before the clock starts to run.
    output_->flush(timerPeriod_);
    if (!output_->pending() && resyncMode_ == 2) resyncMode_ = 0;
    lastWallTime_ = platform::millisecondCounter();
  } else if (!running_ || !playing()) {
    if (output_) output_->flush(timerPeriod_);
    lastWallTime_ = platform::millisecondCounter();
  } else {
    runClock();
  }
  busy_ = 0;
}

void MidiSequencer::tickPanelClock() {
  if (!output_) return;
  ++tickDivider_;
  if ((tickDivider_ & kPanelClockMask) == 0) output_->panelClock(kPanelClockDivider * timerPeriod_);
}

void MidiSequencer::skipHead() {
  noteSounded_ = 0;
  while (!noteSounded_ && songPlays()) {
    if (!passesQuietTicks() || skipQuietTicks(StepMode::Play, kNoLimit) == 0) step(StepMode::Play);
    status_->songTime = nextTickTime_;
  }
}

std::uint64_t MidiSequencer::songTimeDelta(std::uint32_t elapsedMs) const {
  const std::uint64_t elapsed = elapsedMs;
  const bool headSkip = status_->playControl.headSkip != 0;
  if (!noteSounded_ && headSkip) return elapsed * kUnitsPerMillisecond * kHeadSkipFactor;
  const std::int64_t speed = status_->playControl.speed;
  const std::uint64_t d = elapsed * kUnitsPerMillisecond;
  if (speed >= 2) return d * static_cast<std::uint64_t>(speed);
  if (speed <= -2) return d / static_cast<std::uint64_t>(-speed);
  if (speed == -1) return (elapsed * 300) >> 2;
  if (speed == 1) return (elapsed * 300) >> 1;
  return d;
}

void MidiSequencer::runClock() {
  if (status_->songTime == 0 && status_->playControl.headSkip != 0) skipHead();
  const std::uint32_t now = platform::millisecondCounter();
  const std::uint32_t elapsed = now - lastWallTime_;
  lastWallTime_ = now;
  const std::uint64_t d = std::max<std::uint64_t>(songTimeDelta(elapsed), 1);
  const std::uint64_t time = std::uint64_t{status_->songTime} + d;
  if (time > std::numeric_limits<std::uint32_t>::max()) {
    fail(protocol::kErrTimeOverflow);
  } else {
    status_->songTime = static_cast<std::uint32_t>(time);
    while (status_->songTime >= nextTickTime_ && songPlays())
      step(StepMode::Play);
  }
  if (output_) output_->flush(timerPeriod_);
  if (!playing()) running_ = 0;
}

bool MidiSequencer::anyTrackRunning() const {
  for (std::int32_t i = 0; i < trackCount_; ++i) {
    if (!tracks_[i].ended) return true;
  }
  return false;
}

void MidiSequencer::step(StepMode mode) {
  stepTick_ = mode == StepMode::Scan ? scanTick_ : status_->position;
  status_->tickInMeasure = status_->tickInMeasure + 1;
  for (std::int32_t i = 0; i < trackCount_; ++i) {
    SequencerTrack& track = tracks_[i];
    if (mode != StepMode::Scan) beforeTrackTick(track);
    if (track.ended || --track.deltaCounter > 0) continue;
    if (mode == StepMode::Scan) {
      scanTrackEvents(track);
    } else {
      playTrackEvents(track, mode);
    }
  }
  const bool running = anyTrackRunning();
  if (mode == StepMode::Scan || running) bookMeasure();
  if (!running) {
    status_->playing = 0;
    return;
  }
  if (mode == StepMode::Scan) {
    ++scanTick_;
  } else {
    status_->position = status_->position + 1;
  }
  advanceNextTickTime(1);
  if (mode != StepMode::Scan) endBeforeUnreachableEvent();
}

void MidiSequencer::bookMeasure() {
  const std::uint32_t perMeasure = status_->ticksPerMeasure;
  // The measure that starts now begins with the next tick.
  if (perMeasure != 0 && status_->tickInMeasure >= perMeasure) startMeasure(stepTick_ + 1);
}

void MidiSequencer::startMeasure(std::uint32_t tick) {
  status_->tickInMeasure = 0;
  const std::uint32_t next = std::uint32_t{status_->measure} + 1;
  if (next < protocol::kMeasureTableSize) status_->measureTable[next] = tick;
  status_->measure = static_cast<std::uint16_t>(next);
}

void MidiSequencer::advanceNextTickTime(std::uint64_t ticks) {
  const std::uint64_t time = nextTickTime_ + ticks * static_cast<std::uint64_t>(tickDuration_);
  if (time > std::numeric_limits<std::uint32_t>::max()) {
    // The next tick lies beyond the 32-bit song time: the song cannot go on.
    fail(protocol::kErrTimeOverflow);
    status_->playing = 0;
    return;
  }
  nextTickTime_ = static_cast<std::uint32_t>(time);
}

void MidiSequencer::setTempo(std::uint32_t tempo) {
  status_->tempo = tempo;
  tickDuration_ = tickDurationFor(tempo, status_->timeBase);
}

void MidiSequencer::resetClock() {
  nextTickTime_ = 0;
  scanTick_ = 0;
  stepTick_ = 0;
  status_->songTime = 0;
  status_->tickInMeasure = 0;
  status_->measure = 0;
  status_->timeBase = kDefaultTimeBase;
  status_->ticksPerMeasure = kDefaultTimeBase * 4;
  status_->position = 0;
  status_->numerator = 4;
  status_->denominator = 4;
  status_->key = 0;
  setTempo(kDefaultTempo);
}

bool MidiSequencer::ensureTracks() {
  if (!tracks_) tracks_ = static_cast<SequencerTrack*>(platform::allocateLow(sizeof(SequencerTrack) * kMaxTracks));
  trackCount_ = 0;
  if (!tracks_) {
    fail(protocol::kErrNoMemory);
    return false;
  }
  std::memset(static_cast<void*>(tracks_), 0, sizeof(SequencerTrack) * kMaxTracks);
  return true;
}

void MidiSequencer::seek(std::uint32_t targetTime) {
  running_ = 0;
  resyncMode_ = 0;
  if (!playing() || targetTime < status_->songTime) {
    // Backwards: rebuild the whole state from the start of the song.
    resyncMode_ = 1;
    resetClock();
    noteSounded_ = 0;
    if (output_) {
      output_->reset();
      output_->restoreDefaultSettings();
    }
    rewind();
    if (!songValid_) return;
  } else if (output_) {
    output_->allNotesOff();
    output_->flush(0);
  }
  status_->playing = 1;
  chaseTo(targetTime);
}

void MidiSequencer::chaseTo(std::uint32_t targetTime) {
  while (status_->songTime < targetTime && songPlays()) {
    if (!passesQuietTicks() || skipQuietTicks(StepMode::Chase, ticksToReach(targetTime)) == 0) step(StepMode::Chase);
    status_->songTime = nextTickTime_;
    resyncMode_ = 1;
  }
}

std::uint32_t MidiSequencer::ticksToReach(std::uint32_t time) const {
  if (nextTickTime_ >= time) return 0;
  const auto duration = static_cast<std::uint32_t>(tickDuration_);
  return (time - nextTickTime_ - 1) / duration + 1;
}

std::uint32_t MidiSequencer::scanLength() {
  if (playing()) return 0;
  resetClock();
  rewind();
  if (!songValid_) return 0;
  status_->playing = 1;
  while (songPlays()) {
    if (skipQuietTicks(StepMode::Scan, kNoLimit) == 0) step(StepMode::Scan);
  }
  status_->playing = 0;
  status_->songTime = nextTickTime_;
  return nextTickTime_;
}

std::uint32_t MidiSequencer::quietTicks() const {
  std::int32_t quiet = std::numeric_limits<std::int32_t>::max();
  for (std::int32_t i = 0; i < trackCount_; ++i) {
    if (!tracks_[i].ended) quiet = std::min(quiet, tracks_[i].deltaCounter - 1);
  }
  if (quiet <= 0 || quiet == std::numeric_limits<std::int32_t>::max()) return 0;
  return static_cast<std::uint32_t>(quiet);
}

// The scan passes a quiet stretch in one go and meets the overflow at its start; playback,
// tick by tick, would otherwise play silence for hours before meeting it. Both end here.
void MidiSequencer::endBeforeUnreachableEvent() {
  const std::uint64_t next = nextTickTime_ + std::uint64_t{quietTicks()} * static_cast<std::uint64_t>(tickDuration_);
  if (next <= std::numeric_limits<std::uint32_t>::max()) return;
  fail(protocol::kErrTimeOverflow);
  status_->playing = 0;
}

std::uint32_t MidiSequencer::skipQuietTicks(StepMode mode, std::uint32_t limit) {
  const std::uint32_t ticks = std::min(quietTicks(), limit);
  if (ticks == 0) return 0;
  for (std::int32_t i = 0; i < trackCount_; ++i) {
    if (!tracks_[i].ended) tracks_[i].deltaCounter -= static_cast<std::int32_t>(ticks);
  }
  if (mode == StepMode::Scan) {
    advanceMeasureTicks(ticks, scanTick_);
    scanTick_ += ticks;
  } else {
    advanceMeasureTicks(ticks, status_->position);
    status_->position = status_->position + ticks;
  }
  advanceNextTickTime(ticks);
  return ticks;
}

void MidiSequencer::advanceMeasureTicks(std::uint32_t ticks, std::uint32_t firstTick) {
  const std::uint32_t perMeasure = status_->ticksPerMeasure;
  std::uint32_t tick = firstTick;
  while (ticks > 0) {
    const std::uint32_t inMeasure = status_->tickInMeasure;
    if (perMeasure == 0 || std::uint64_t{inMeasure} + ticks < perMeasure) {
      status_->tickInMeasure = inMeasure + ticks;
      return;
    }
    // The step that brings the tick within the measure up to its length starts the
    // next measure with the tick after it.
    const std::uint32_t toBoundary = inMeasure >= perMeasure ? 1 : perMeasure - inMeasure;
    tick += toBoundary;
    ticks -= toBoundary;
    startMeasure(tick);
    if (status_->measure >= protocol::kMeasureTableSize && ticks >= perMeasure) {
      // Past the table only the counter moves: count the whole measures at once.
      const std::uint32_t whole = ticks / perMeasure;
      status_->measure = static_cast<std::uint16_t>(status_->measure + whole);
      tick += whole * perMeasure;
      ticks -= whole * perMeasure;
    }
  }
}

void MidiSequencer::prepare() {
  if (playing()) return;
  resetClock();
  rewind();
  if (!songValid_) return;
  status_->playing = 1;
  step(StepMode::Scan);
  status_->playing = 0;
}

void MidiSequencer::pause() {
  running_ = 0;
  if (status_->paused != 0) return;
  status_->paused = 1;
  if (output_) output_->allNotesOff();
}

void MidiSequencer::play() {
  // The clock counts from here even when no timer call has stored the wall time yet.
  lastWallTime_ = platform::millisecondCounter();
  resyncMode_ = 2;
  status_->paused = 0;
  running_ = 1;
}

void MidiSequencer::copyTitle(char* title, std::size_t size) const {
  if (size == 0) return;
  std::memset(title, 0, size);
  if (!tracks_ || trackCount_ == 0) return;
  const std::size_t length = strnlen(tracks_[0].name, std::min(size - 1, sizeof tracks_[0].name - 1));
  std::memcpy(title, tracks_[0].name, length);
}

void MidiSequencer::copyComment(char* comment, std::size_t size) const {
  std::memset(comment, 0, size);
}

}  // namespace volta::engine
