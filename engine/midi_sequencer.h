#pragma once
// MidiSequencer: the base of every song sequencer. Owns the song's shared blocks,
// keeps song time on the periodic timer and steps all tracks one tick at a time;
// formats are left to the subclasses (SMFSequencer, RCPSequencer, RCP95Sequencer).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "engine/protocol/records.h"

namespace volta::engine {

class MidiOutput;

enum class StepMode { Play = 0, Chase = 1, Scan = 2 };

// One track's reading state, shared by the base class and its subclasses.
struct SequencerTrack {
  const std::uint8_t* start;
  const std::uint8_t* position;
  const std::uint8_t* end;
  std::uint32_t length;
  std::int32_t index;
  std::int32_t port;
  std::int32_t channel;
  std::int32_t ended;
  std::uint8_t runningStatus;
  std::int32_t deltaCounter;
  char name[128];
};

inline constexpr int kMaxTracks = 128;
inline constexpr std::uint32_t kDataPadding = 2048;  // zero bytes after the song data
inline constexpr std::uint32_t kDefaultTempo = 500000;
inline constexpr std::uint16_t kDefaultTimeBase = 48;

// Length of one tick in engine time units (10 us). Never 0, so that the clock always
// moves forwards, whatever tempo and time base a song declares.
std::int32_t tickDurationFor(std::uint32_t tempo, std::uint32_t timeBase);

class MidiSequencer {
 public:
  // Allocates the status block and the data buffer (declared size + 2048 bytes) and
  // starts the timer unless another sequencer owns it. Check allocated() afterwards.
  MidiSequencer(MidiOutput* output, std::uint32_t dataSize);
  virtual ~MidiSequencer();
  MidiSequencer(const MidiSequencer&) = delete;
  MidiSequencer& operator=(const MidiSequencer&) = delete;

  std::uint32_t validity() const { return validity_; }
  void markValid() { validity_ = protocol::kValidityWord; }
  bool allocated() const { return status_ && data_; }

  protocol::SequencerStatus* status() { return status_; }
  std::uint8_t* data() { return data_; }
  std::uint32_t dataSize() const { return dataSize_; }
  bool songValid() const { return songValid_ != 0; }

  // The timer routine (slot 0). Public so that tests can call it directly.
  virtual void onTimer();
  virtual void step(StepMode mode);
  virtual void seek(std::uint32_t targetTime);
  // Returns the song's total time; the measure counter then holds the measure count.
  virtual std::uint32_t scanLength();
  virtual void prepare();
  virtual void pause();
  virtual void play();
  void setTimerPeriod(std::uint32_t periodMs);

  // The song's title (the first track's name) and comment, after prepare.
  virtual void copyTitle(char* title, std::size_t size) const;
  virtual void copyComment(char* comment, std::size_t size) const;

  // Commands that move the clock hold this lock, so they never interleave with a
  // timer call; the timer routine only tries it and skips a period it cannot get.
  std::mutex& commandLock() { return lock_; }

  // Stops this sequencer's timer and frees the timer for the next sequencer; called
  // before destruction so that no timer call reaches a half-destroyed object.
  void releaseTimer();
  bool timerOwned() const { return timerId_ != 0; }

  // Forgets the output when it is this one: an output closed before its songs
  // must not be reached through them afterwards.
  void detachOutput(const MidiOutput* output);

 protected:
  virtual void playTrackEvents(SequencerTrack& track, StepMode mode) = 0;
  virtual void beforeTrackTick(SequencerTrack&) {}
  virtual void scanTrackEvents(SequencerTrack& track) = 0;
  virtual void resetTrack(SequencerTrack&) {}
  virtual void rewind() {}
  // True when beforeTrackTick does nothing, so that chasing and the head skip may pass
  // the ticks at which no track has an event in one go, as scanning always does.
  virtual bool passesQuietTicks() const { return false; }

  // Back to the start of the song: time, position, measures, tempo and metre.
  void resetClock();
  void setError(std::uint8_t code) { status_->error = code; }
  void fail(std::uint8_t code) {
    setError(code);
    songValid_ = 0;
  }
  bool playing() const { return status_->playing != 0; }
  bool songPlays() const { return songValid_ && status_->playing != 0; }
  // Allocates the track array at the first parse and clears it; false (error 8) when
  // it cannot be allocated.
  bool ensureTracks();
  // Starts a new measure at a tick: measure counter, tick within the measure, table.
  void startMeasure(std::uint32_t tick);
  // The tick the current step works on (the song position, or the scan's own count).
  std::uint32_t stepTick() const { return stepTick_; }
  void setTempo(std::uint32_t tempo);
  // Adds ticks of the current duration to the next tick time; a wrap is error 1.
  void advanceNextTickTime(std::uint64_t ticks);

  MidiOutput* output_;
  std::uint8_t message_[4096]{};
  SequencerTrack* tracks_ = nullptr;
  std::int32_t trackCount_ = 0;
  std::int32_t tickDuration_ = 1041;
  std::atomic<std::int32_t> songValid_{0};
  std::atomic<std::int32_t> running_{0};
  std::int32_t noteSounded_ = 0;
  std::uint32_t nextTickTime_ = 0;

 private:
  static void timerProc(std::uint32_t timerId, void* user);
  void startTimer();
  void tickPanelClock();
  void runClock();
  void skipHead();
  std::uint64_t songTimeDelta(std::uint32_t elapsedMs) const;
  bool anyTrackRunning() const;
  void bookMeasure();
  // Passes up to `limit` ticks at which no track has an event in one go, with the
  // same effect as so many steps in the mode; returns the ticks passed.
  std::uint32_t skipQuietTicks(StepMode mode, std::uint32_t limit);
  // Ticks from now at which no track has an event (0 when the next tick has one or
  // every track has ended).
  std::uint32_t quietTicks() const;
  // Ends the song (error 1) when the next event lies beyond the 32-bit song time.
  void endBeforeUnreachableEvent();
  // Steps it takes the next tick time to reach a time.
  std::uint32_t ticksToReach(std::uint32_t time) const;
  void advanceMeasureTicks(std::uint32_t ticks, std::uint32_t firstTick);
  // Chases until the song time reaches a time (or the song ends).
  void chaseTo(std::uint32_t targetTime);

  std::uint32_t validity_ = 0;
  protocol::SequencerStatus* status_ = nullptr;
  std::uint8_t* data_ = nullptr;
  std::uint32_t dataSize_ = 0;
  std::uint32_t timerId_ = 0;
  std::uint32_t lastWallTime_ = 0;
  std::mutex lock_;
  std::uint8_t tickDivider_ = 0;
  std::atomic<std::int32_t> resyncMode_{0};
  std::atomic<std::int32_t> busy_{0};
  std::uint32_t timerPeriod_ = 5;
  std::uint32_t stepTick_ = 0;
  std::uint32_t scanTick_ = 0;
};

}  // namespace volta::engine
