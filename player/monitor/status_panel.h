#pragma once
// The main window's status panel: its 25 items, where they sit on a panel 640 pixels
// wide, the texts they start with and the texts Stop puts back.

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "player/monitor/liquid_text.h"

namespace volta::monitor {

namespace item {
inline constexpr std::size_t kTitleLabel = 0, kTitle = 1, kTempoLabel = 2, kTempo = 3, kTimeLabel = 4, kTime = 5,
                             kBarLabel = 6, kBar = 7, kBeatLabel = 8, kBeat = 9, kTicks = 10, kGs = 11, kGm = 12,
                             kXg = 13, kValue14 = 14, kPortLabel = 15, kPortA = 16, kPortB = 17, kPortC = 18, kJam = 19,
                             kWrd = 20, kDoc = 21, kModuleName = 22, kFileType = 23, kSmfKnife = 24;
}  // namespace item
inline constexpr std::size_t kStatusItemCount = 25;

// Item kinds beyond the digit bitmap (kind 0).
enum ItemFont : int { kDigitFont = 0, kLabelFont = 1, kTextFont = 2 };

// Palette uses of the panel.
inline constexpr int kInk = 2;        // label text, lit digits, lit lamp background
inline constexpr int kLight = 1;      // panel background, lamp text
inline constexpr int kUnlitLamp = 3;  // unlit lamp background, unlit digit segments

inline constexpr int kPanelWidth = 640;
inline constexpr int kPanelHeight = 66;
// One glyph of the digit bitmap.
inline constexpr int kDigitWidth = 10;
inline constexpr int kDigitHeight = 16;

// Every item of the panel with its initial text, layout and colours.
std::array<LiquidText, kStatusItemCount> statusPanelItems();
void defineStatusPanel(LiquidTextModel& model);

bool isLamp(std::size_t index);
// A lamp lights by taking the ink as its background; returns whether it changed.
bool setLamp(LiquidTextModel& model, std::size_t index, bool lit);

struct ResetText {
  std::size_t item;
  std::string_view text;
};
// What Stop writes back: the counters to zero, the song's own texts empty.
const std::vector<ResetText>& stopResetTexts();
// Applies the texts above and puts every lamp out; returns the items that changed.
std::vector<std::size_t> resetStatusPanel(LiquidTextModel& model);

// The name item 23 shows for a song's file type code; empty for unknown codes.
std::string_view fileTypeName(int code);

}  // namespace volta::monitor
