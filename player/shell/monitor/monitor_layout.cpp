#include "player/shell/monitor/monitor_layout.h"

#include <array>

namespace volta::shell::monitor_layout {

using monitor::RowItem;

namespace {

struct Column {
  int left, width;
};

constexpr int kSliderLeft = 176, kSliderStep = 17, kSliderWidth = 15;
constexpr int kSynthLeft = 314, kSynthStep = 19, kSynthWidth = 18;
constexpr int kPedalLeft = 468, kPedalStep = 8, kPedalWidth = 6;

Column columnOf(RowItem item, bool folded) {
  if (monitor::isSlider(item)) return {kSliderLeft + (item - monitor::kVolume) * kSliderStep, kSliderWidth};
  if (monitor::isSynthesis(item)) return {kSynthLeft + (item - monitor::kVibratoRate) * kSynthStep, kSynthWidth};
  if (monitor::isIndicator(item)) return {kPedalLeft + (item - monitor::kHold) * kPedalStep, kPedalWidth};
  const int keyboardWidth = folded ? kOctaveWidth : kFullKeyboardWidth;
  switch (item) {
    case monitor::kName:
      return {28, 74};
    case monitor::kProgram:
      return {104, 18};
    case monitor::kBank:
      return {124, 18};
    case monitor::kMap:
      return {144, 30};
    case monitor::kKeyboard:
      return {kKeyboardLeft, keyboardWidth};
    case monitor::kChord:
      return {kKeyboardLeft + keyboardWidth + 4, 2000};
    default:
      return {0, 0};
  }
}

}  // namespace

QRect itemRect(RowItem item, int top, bool folded) {
  const Column column = columnOf(item, folded);
  return QRect(column.left, top + kItemTop, column.width, kItemHeight);
}

QRect labelRect(int top) {
  return QRect(kLabelLeft, top + kItemTop, kLabelWidth, kItemHeight);
}

std::optional<RowItem> itemAt(int x, bool folded) {
  for (int item = 0; item < monitor::kRowItems; ++item) {
    const Column column = columnOf(static_cast<RowItem>(item), folded);
    if (x >= column.left && x < column.left + column.width) return static_cast<RowItem>(item);
  }
  return std::nullopt;
}

bool isBlackKey(int key) {
  static constexpr std::array<bool, 12> kBlack = {false, true,  false, true,  false, false,
                                                  true,  false, true,  false, true,  false};
  return kBlack[static_cast<std::size_t>(key % 12)];
}

QRect keyRect(int key, const QRect& keyboard) {
  static constexpr std::array<int, 12> kLeft = {0, 3, 4, 7, 8, 12, 15, 16, 19, 20, 23, 24};
  const int left = keyboard.left() + key / 12 * kOctaveWidth + kLeft[static_cast<std::size_t>(key % 12)];
  return QRect(left, keyboard.top(), 3, isBlackKey(key) ? keyboard.height() * 3 / 5 : keyboard.height());
}

QRect headerRect(HeaderField field) {
  static constexpr std::array<std::array<int, 4>, 10> kRects = {{
      {4, 2, 630, 15},    // title
      {4, 18, 630, 14},   // second line
      {28, 34, 22, 14},   // BPM
      {72, 34, 28, 14},   // TB
      {104, 34, 32, 14},  // metre
      {162, 34, 50, 14},  // key
      {272, 34, 22, 14},  // transposition
      {320, 36, 80, 10},  // master volume
      {444, 34, 22, 14},  // note count
      {470, 36, 100, 10}  // note slider
  }};
  const auto& r = kRects[static_cast<std::size_t>(field)];
  return QRect(r[0], r[1], r[2], r[3]);
}

}  // namespace volta::shell::monitor_layout
