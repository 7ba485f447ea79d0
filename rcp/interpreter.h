#pragma once
// The meaning of every record code, the notes still sounding, loops, fades and
// same-measure references of one track. The engine's sequencers and the converter
// drive the same Interpreter; what they do with the resulting messages is their Sink,
// and where they differ is their Rules.

#include <array>
#include <cstddef>
#include <cstdint>

#include "rcp/song.h"

namespace volta::rcp {

enum class Mode : std::uint8_t { Play = 0, Chase = 1, Scan = 2 };

inline constexpr int kSoundingNotes = 64;
inline constexpr int kMaxLoopDepth = 32;
inline constexpr std::size_t kExclusiveBufferBytes = 4096;
inline constexpr std::size_t kCommentBufferBytes = 1024;
inline constexpr std::size_t kTemplateMessageLimit = 256;
inline constexpr int kInitialVolume = 110;
inline constexpr int kFadeStart = 128;
inline constexpr int kFadeStep = 8;

struct SoundingNote {
  std::uint8_t note = 0;
  std::uint16_t gate = 0;  // 0: the entry is free
};

struct LoopEntry {
  std::size_t returnPosition = 0;
  std::uint32_t remaining = 0;
  bool savedSameMeasure = false;
  bool measurePassed = false;
  std::size_t savedReturnPosition = 0;
  bool infinite = false;
};

// One track's reading state. Positions are byte offsets into the song image.
struct Track {
  std::size_t start = 0;
  std::size_t position = 0;
  std::size_t end = 0;
  int index = 0;
  int port = 0;
  int channel = 0;
  std::uint8_t keyShift = 0;
  std::array<SoundingNote, kSoundingNotes> notes{};
  int soundingCount = 0;
  int highest = 0;
  int lastNote = 0;
  bool ended = false;
  bool endMark = false;
  bool chased = false;  // the last call of playEvents was a chase
  int fadeLevel = 0;
  std::int32_t fadeCounter = 0;
  int volume = kInitialVolume;
  std::int32_t deltaCounter = 1;
  std::array<LoopEntry, kMaxLoopDepth> loops{};
  int depth = 0;
  bool sameMeasureActive = false;
  bool returnPending = false;
  std::size_t returnPosition = 0;
  std::uint8_t rolandDevice = 0x10;
  std::uint8_t rolandModel = 0x16;
  std::uint8_t addressHigh = 0x10;
  std::uint8_t addressMiddle = 0x00;
};

// Where the messages go. Channel data bytes arrive clamped to 0..127.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual void sendChannel(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) = 0;
  virtual void sendExclusive(int port, const std::uint8_t* message, std::size_t length) = 0;
  virtual void setTempo(std::uint32_t microsecondsPerQuarter) = 0;
  virtual void setKey(std::uint32_t) {}
  virtual void comment(const std::uint8_t*, std::size_t) {}
  virtual void noteSounded() {}
  // Error 12 (no time after the record limit) or 13 (loops nested too deep).
  virtual void fail(std::uint8_t) {}
};

// What distinguishes the player's reading from the converter's.
struct Rules {
  int loopLimit = 8;
  int recordLimit = 8192;
  std::size_t inlineExclusiveLimit = kExclusiveBufferBytes;
  bool reportErrors = true;
  // Passes of an endless loop before its fade starts; 0 repeats it for ever.
  std::uint32_t endlessRepeat = 2;
  // Port assignment types that put every track on one port: channel changes keep it.
  bool fixedPorts = false;
};

struct Record {
  std::uint8_t code = 0;
  std::uint32_t step = 0;
  std::uint32_t gate = 0;
  std::uint32_t velocity = 0;
};

class Interpreter {
 public:
  Interpreter(const Image& image, const Song& song, const Rules& rules, Sink& sink);

  Rules& rules() { return rules_; }
  const Song& song() const { return song_; }

  // Prepares track `index` of the song to play from its start.
  void resetTrack(Track& track, int index) const;
  // Reads records until one carries time or the track ends.
  void playEvents(Track& track, Mode mode);
  // The same for length scanning: only flow and tempo records act.
  void scanEvents(Track& track);
  // Steps the fade and ends notes whose gate has run out; once per tick.
  void beforeTick(Track& track);

  // Ticks ahead in which beforeTick would change nothing but its counters.
  std::uint32_t quietTicks(const Track& track) const;
  // Counts those quiet ticks down at once.
  void skipQuietTicks(Track& track, std::uint32_t ticks) const;
  // Counts the sounding notes down one tick, ending those that run out.
  void countDownNotes(Track& track);

  Record decode(std::size_t position) const;
  // Records read by playEvents and scanEvents so far.
  std::uint64_t recordsRead() const { return recordsRead_; }

 private:
  void run(Track& track, Mode mode);
  std::uint32_t act(Track& track, const Record& record, Mode mode);
  std::uint32_t flowAct(Track& track, const Record& record, Mode mode);
  bool advance(Track& track, Mode mode) const;
  bool fits(const Track& track, std::size_t position) const;

  void send(const Track& track, std::uint8_t status, std::uint32_t data1, std::uint32_t data2 = 0);
  void note(Track& track, const Record& record, Mode mode);
  void startNote(Track& track, int key, const Record& record, bool sound);
  void controlChange(Track& track, const Record& record);
  void channelChange(Track& track, std::uint32_t gate) const;
  void tempoChange(std::uint32_t gate);

  void userExclusive(const Track& track, const Record& record);
  void inlineExclusive(Track& track, const Record& record);
  void rolandParameter(const Track& track, const Record& record);
  void comment(Track& track, const Record& record);
  // Moves onto the following continuation record when there is one.
  bool nextContinuation(Track& track) const;

  void loopStart(Track& track);
  void loopEnd(Track& track, std::uint32_t count, bool scan);
  static void jumpBack(Track& track, const LoopEntry& entry);
  void startFade(Track& track) const;
  static void measureEnd(Track& track);
  void sameMeasure(Track& track, const Record& record);
  bool referenceTarget(const Track& track, std::uint32_t gate, std::uint32_t velocity, std::size_t& target) const;
  void dropReference(Track& track) const;

  Image image_;
  const Song& song_;
  const Layout& layout_;
  Rules rules_;
  Sink& sink_;
  std::array<std::uint8_t, kExclusiveBufferBytes> message_{};
  std::uint64_t recordsRead_ = 0;
};

}  // namespace volta::rcp
