#pragma once
// Where the performance monitor draws its header fields and the items of a row.
// Rows are 21 pixels high from y = 66; the columns below fit a 640-pixel pane, and
// a wider window shows the full ten-octave keyboard instead of the folded octave.

#include <QRect>

#include "player/monitor/monitor_model.h"

namespace volta::shell::monitor_layout {

inline constexpr int kLabelLeft = 2, kLabelWidth = 24;
inline constexpr int kKeyboardLeft = 496;
inline constexpr int kOctaveWidth = 28;
inline constexpr int kFullKeyboardWidth = kOctaveWidth * 10;
inline constexpr int kChordMinimum = 100;
inline constexpr int kItemTop = 3, kItemHeight = 15;

// The row's top edge when it is the n-th visible row.
inline int rowTop(int visibleIndex) {
  return monitor::kFirstRowTop + visibleIndex * monitor::kRowHeight;
}
// The full keyboard when the window is wide enough for it and a chord beside it.
inline bool foldedKeyboard(int windowWidth) {
  return windowWidth < kKeyboardLeft + kFullKeyboardWidth + kChordMinimum;
}

// An item's rectangle in a row whose top is `top`.
QRect itemRect(monitor::RowItem item, int top, bool folded);
QRect labelRect(int top);
// The row item under x, if any (the label is not an item).
std::optional<monitor::RowItem> itemAt(int x, bool folded);

// A key of a keyboard drawn in `keyboard`: a note 0-119, or a pitch class when folded.
// White keys are 3 pixels wide every 4; black keys lie over them, 3/5 as high.
QRect keyRect(int key, const QRect& keyboard);
bool isBlackKey(int key);

enum class HeaderField {
  kTitle,
  kSubtitle,
  kBpm,
  kTimeBase,
  kMeter,
  kKey,
  kTransposition,
  kVolume,
  kNotes,
  kNoteSlider
};
QRect headerRect(HeaderField field);

}  // namespace volta::shell::monitor_layout
