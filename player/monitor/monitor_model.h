#pragma once
// The performance monitor's model: 48 channel rows (ports A-C), the header, and
// the state the monitor's controls set. Each update reports which items changed so
// that the view repaints only those.

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/protocol/records.h"
#include "player/monitor/instrument_lookup.h"

namespace volta::monitor {

inline constexpr int kMonitorRows = 48;
inline constexpr int kRowHeight = 21;
inline constexpr int kFirstRowTop = 66;
inline constexpr int kKeyboardNotes = 120;

enum RowItem : int {
  kVolume,
  kPan,
  kExpression,
  kPitchBend,
  kReverb,
  kChorus,
  kDelay,
  kModulation,  // sliders
  kVibratoRate,
  kVibratoDepth,
  kVibratoDelay,
  kCutoff,
  kResonance,
  kAttack,
  kDecay,
  kRelease,  // synthesis
  kHold,
  kSostenuto,
  kSoft,  // indicators
  kProgram,
  kBank,
  kValueItems,  // the items above hold an integer
  kName = kValueItems,
  kMap,
  kKeyboard,
  kChord,
  kRowItems
};
using RowChanges = std::bitset<kRowItems>;

struct ItemRange {
  int minimum, maximum;
};
// The range a value item shows and its controls accept.
ItemRange itemRange(RowItem item);
bool isSlider(RowItem item);
bool isSynthesis(RowItem item);
bool isIndicator(RowItem item);

struct BarSpan {
  int from = 0, to = 0;  // pixels, from <= to; equal when no bar is drawn
  bool operator==(const BarSpan&) const = default;
};
// A slider's bar in a track `width` pixels wide; with a negative minimum it grows from the zero point.
BarSpan sliderBar(int value, ItemRange range, int width);

// Looks up a channel's names in the module's instrument section.
using InstrumentResolver = std::function<InstrumentNames(const InstrumentKey&)>;

class MonitorRow {
 public:
  // Takes the channel's record (null: every item to 0, no name) and the current key value.
  RowChanges update(const protocol::ChannelState* channel, int key, const InstrumentResolver& resolve);

  int value(RowItem item) const { return values_[static_cast<std::size_t>(item)]; }
  // The item as the row shows it: numbers with their sign and width, indicators 0/1.
  std::string text(RowItem item) const;
  const std::bitset<kKeyboardNotes>& keys() const { return keys_; }
  // The keys whose pressed state the last update changed.
  const std::bitset<kKeyboardNotes>& changedKeys() const { return changedKeys_; }
  // One octave, key k pressed when any sounding note has pitch class k.
  std::bitset<12> foldedKeys() const { return fold(keys_); }
  static std::bitset<12> fold(const std::bitset<kKeyboardNotes>& keys);
  const std::string& chord() const { return chord_; }
  const InstrumentNames& names() const { return names_; }

 private:
  std::array<int, kValueItems> values_{};
  std::bitset<kKeyboardNotes> keys_, changedKeys_;
  std::string chord_;
  InstrumentNames names_;
  std::optional<InstrumentKey> looked_;
};

// The channel messages (status | data1 << 8 | data2 << 16) a changed row control sends.
std::vector<std::uint32_t> controlMessages(RowItem item, int channel, int value, int program, BankType bankType);

struct HeaderTexts {
  std::string bpm, timeBase, meter, key, transposition, notes;
  int noteSlider = 0, notePeak = 0;
  bool operator==(const HeaderTexts&) const = default;
};

class MonitorHeader {
 public:
  static constexpr std::uint32_t kPeakHoldMs = 2500;

  // Null records: no song or no output open.
  void update(const protocol::SequencerStatus* song, const protocol::OutputStatus* output, std::uint32_t nowMs);
  void setTransposition(int semitones);
  // The next update shows the key again.
  void forgetKey() { key_ = -1; }
  const HeaderTexts& texts() const { return texts_; }
  int key() const { return key_ < 0 ? 0 : key_; }

 private:
  HeaderTexts texts_;
  int key_ = -1;
  std::optional<std::uint32_t> peakSince_;
};

// The visible rows for a client area: from the scroll position, as many whole rows as fit.
struct RowSpan {
  int first = 0, last = -1;  // inclusive; last < first when none fits
};
RowSpan visibleRows(int clientHeight, int scroll);

// The 32-bit mute mask: row r is muted by bit r mod 32, so rows C share the bits of rows A.
bool rowMuted(std::uint32_t mask, int row);
std::uint32_t toggleRowMute(std::uint32_t mask, int row);

// What the monitor's controls set, and the lock every update and timer handler takes.
struct MonitorState {
  std::mutex lock;
  std::uint32_t muteMask = 0;
  int transposition = 0;
  int masterVolume = 0;
  std::uint16_t lyricCounter = 0;
};

}  // namespace volta::monitor
