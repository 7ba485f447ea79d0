#include "player/monitor/status_panel.h"

#include <algorithm>

namespace volta::monitor {
namespace {

enum class Role { kLabel, kText, kDigits, kLamp };

struct Placement {
  Role role;
  std::string_view text;
  PanelRect rect;
  bool centred = true;
};

// Three rows: the title, the counters, then the lamps and the module and file type names.
constexpr int kRow1Top = 3, kRow1Bottom = 21, kRow2Top = 24, kRow2Bottom = 42, kRow3Top = 46, kRow3Bottom = 62;

constexpr PanelRect row1(int left, int right) {
  return {left, kRow1Top, right, kRow1Bottom};
}
constexpr PanelRect row2(int left, int right) {
  return {left, kRow2Top, right, kRow2Bottom};
}
constexpr PanelRect row3(int left, int right) {
  return {left, kRow3Top, right, kRow3Bottom};
}
// A digit field wide enough for its characters.
constexpr PanelRect digits(int left, int count) {
  return row2(left, left + count * kDigitWidth + 4);
}

constexpr std::array<Placement, kStatusItemCount> kPlacements{{
    {Role::kLabel, "TITLE", row1(4, 52)},
    {Role::kText, "", row1(56, 636), false},
    {Role::kLabel, "BPM", row2(4, 40)},
    {Role::kDigits, "000", digits(42, 3)},
    {Role::kLabel, "TIME", row2(82, 122)},
    {Role::kDigits, "88:88/88:88", digits(124, 11)},
    {Role::kLabel, "BAR", row2(244, 276)},
    {Role::kDigits, "8888/8888", digits(278, 9)},
    {Role::kLabel, "BEAT", row2(378, 418)},
    {Role::kDigits, "88/88", digits(420, 5)},
    {Role::kDigits, "8888/8888", digits(480, 9)},
    {Role::kLamp, "GS", row3(4, 32)},
    {Role::kLamp, "GM", row3(36, 64)},
    {Role::kLamp, "XG", row3(68, 96)},
    {Role::kDigits, "88", digits(580, 2)},
    {Role::kLabel, "PORT", row3(106, 144)},
    {Role::kLamp, "A", row3(148, 166)},
    {Role::kLamp, "B", row3(170, 188)},
    {Role::kLamp, "C", row3(192, 210)},
    {Role::kLamp, "JAM", row3(220, 254)},
    {Role::kLamp, "WRD", row3(258, 292)},
    {Role::kLamp, "DOC", row3(296, 330)},
    {Role::kText, "SC-55mkII  ", row3(340, 462), false},
    {Role::kLabel, "", row3(466, 588)},
    {Role::kLamp, "SMFK", row3(594, 636)},
}};

LiquidText makeItem(const Placement& placement) {
  LiquidText item;
  item.rect = placement.rect;
  item.text = placement.text;
  item.centred = placement.centred;
  switch (placement.role) {
    case Role::kLabel:
      item.kind = kLabelFont;
      break;
    case Role::kText:
      item.kind = kTextFont;
      break;
    case Role::kDigits:
      item.kind = kDigitFont;
      break;
    case Role::kLamp:
      item.kind = kLabelFont;
      item.foreground = kLight;
      item.background = kUnlitLamp;
      return item;
  }
  item.foreground = kInk;
  item.background = kLight;
  return item;
}

}  // namespace

std::array<LiquidText, kStatusItemCount> statusPanelItems() {
  std::array<LiquidText, kStatusItemCount> items;
  std::ranges::transform(kPlacements, items.begin(), makeItem);
  return items;
}

void defineStatusPanel(LiquidTextModel& model) {
  const auto items = statusPanelItems();
  for (std::size_t index = 0; index < items.size(); ++index)
    model.define(index, items[index]);
}

bool isLamp(std::size_t index) {
  return index < kPlacements.size() && kPlacements[index].role == Role::kLamp;
}

bool setLamp(LiquidTextModel& model, std::size_t index, bool lit) {
  return isLamp(index) && model.setBackground(index, lit ? kInk : kUnlitLamp);
}

const std::vector<ResetText>& stopResetTexts() {
  static const std::vector<ResetText> kTexts{
      {item::kTime, "00:00/00:00"}, {item::kBar, "0000/0000"}, {item::kTempo, "000"}, {item::kBeat, "00/00"},
      {item::kTicks, "0000/0000"},  {item::kTitle, ""},        {item::kFileType, ""}};
  return kTexts;
}

std::vector<std::size_t> resetStatusPanel(LiquidTextModel& model) {
  std::vector<std::size_t> changed;
  for (const auto& [index, text] : stopResetTexts()) {
    if (model.setText(index, text)) changed.push_back(index);
  }
  for (std::size_t index = 0; index < kPlacements.size(); ++index) {
    if (setLamp(model, index, false)) changed.push_back(index);
  }
  return changed;
}

std::string_view fileTypeName(int code) {
  switch (code) {
    case 0:
      return "SMF Format0";
    case 1:
      return "SMF Format1";
    case 8:
      return "RCM ver1.0";
    case 9:
      return "RCM ver2.0";
    case 10:
      return "RCM ver2.5F";
    case 11:
      return "RCM ver2.5G";
    case 12:
      return "RCFW 95";
    case 16:
      return "Ballade";
    case 32:
      return "MicroMusician2";
    case 64:
      return "VOLTA Import";
    case 128:
      return "WAVE";
    default:
      return {};
  }
}

}  // namespace volta::monitor
