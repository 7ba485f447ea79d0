#pragma once
// MidiSequencer: the base of every song sequencer. Owns the song's shared blocks,
// keeps song time on the periodic timer and steps all tracks one tick at a time;
// formats are left to the subclasses (SMFSequencer, RCPSequencer, RCP95Sequencer).

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

class MidiSequencer {
 public:
  // Allocates the status block and the data buffer (declared size + 2048 bytes) and
  // starts the timer unless another sequencer owns it. Check error() afterwards.
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

  // The timer routine (slot 0). Public so that tests can call it directly.
  virtual void onTimer();
  virtual void step(StepMode mode);
  virtual void seek(std::uint32_t targetTime);
  virtual std::uint32_t scanLength();
  virtual void prepare();
  virtual void pause();
  virtual void play();
  void setTimerPeriod(std::uint32_t periodMs);

  bool timerOwned() const { return timerId_ != 0; }

 protected:
  virtual void playTrackEvents(SequencerTrack& track, StepMode mode) = 0;
  virtual void beforeTrackTick(SequencerTrack&) {}
  virtual void scanTrackEvents(SequencerTrack& track) = 0;
  virtual void resetTrack(SequencerTrack&) {}
  virtual void rewind() {}

  void resetClock(bool withTempo);
  void setError(std::uint8_t code) { status_->error = code; }
  void fail(std::uint8_t code) {
    setError(code);
    songValid_ = 0;
  }
  bool playing() const { return status_->playing != 0; }
  // Allocates the track array at the first parse; false (error 8) when it fails.
  bool ensureTracks();
  // Starts a new measure when the tick within it has reached the measure's length.
  void bookMeasure();

  MidiOutput* output_;
  std::uint8_t message_[4096]{};
  SequencerTrack* tracks_ = nullptr;
  std::int32_t trackCount_ = 0;
  std::int32_t tickDuration_ = 1041;
  std::int32_t songValid_ = 0;
  std::int32_t running_ = 0;
  std::int32_t noteSounded_ = 0;
  std::uint32_t nextTickTime_ = 0;

 private:
  static void timerProc(std::uint32_t timerId, void* user);
  void startTimer();
  void stopTimer();
  void advance();

  std::uint32_t validity_ = 0;
  protocol::SequencerStatus* status_ = nullptr;
  std::uint8_t* data_ = nullptr;
  std::uint32_t dataSize_ = 0;
  std::uint32_t timerId_ = 0;
  std::uint32_t lastWallTime_ = 0;
  std::mutex lock_;
  std::uint8_t tickDivider_ = 0;
  std::int32_t resyncMode_ = 0;
  std::int32_t busy_ = 0;
  std::uint32_t timerPeriod_ = 5;
};

}  // namespace volta::engine
