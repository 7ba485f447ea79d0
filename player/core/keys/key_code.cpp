#include "player/core/keys/key_code.h"

#include <array>
#include <cstdio>
#include <utility>

namespace volta::keys {

namespace {

constexpr std::array<std::pair<KeyCode, const char*>, 24> kNamed{{
    {vk::kBack, "Backspace"},
    {vk::kTab, "Tab"},
    {vk::kClear, "Clear"},
    {vk::kReturn, "Enter"},
    {vk::kPause, "Pause"},
    {vk::kEscape, "Esc"},
    {vk::kSpace, "Space"},
    {vk::kPageUp, "Page Up"},
    {vk::kPageDown, "Page Down"},
    {vk::kEnd, "End"},
    {vk::kHome, "Home"},
    {vk::kLeft, "Left"},
    {vk::kUp, "Up"},
    {vk::kRight, "Right"},
    {vk::kDown, "Down"},
    {vk::kInsert, "Insert"},
    {vk::kDelete, "Delete"},
    {vk::kMultiply, "Num *"},
    {vk::kAdd, "Num +"},
    {vk::kSubtract, "Num -"},
    {vk::kDecimal, "Num ."},
    {vk::kDivide, "Num /"},
    {0xBA, ";"},
    {0xBC, ","},
}};

std::string virtualKeyName(KeyCode key) {
  if (key >= vk::digit(0) && key <= vk::digit(9)) return std::string(1, static_cast<char>(key));
  if (key >= vk::letter('A') && key <= vk::letter('Z')) return std::string(1, static_cast<char>(key));
  if (key >= vk::kF1 && key <= vk::kF24) return "F" + std::to_string(key - vk::kF1 + 1);
  if (key >= vk::numpad(0) && key <= vk::numpad(9)) return "Num " + std::to_string(key - vk::kNumpad0);
  for (const auto& [code, name] : kNamed) {
    if (code == key) return name;
  }
  char hex[8];
  std::snprintf(hex, sizeof hex, "#%02X", static_cast<unsigned>(key));
  return hex;
}

}  // namespace

std::string keyName(KeyCode code) {
  if (code == 0) return {};
  std::string name;
  if (code & kCtrl) name += "Ctrl+";
  if (code & kShift) name += "Shift+";
  if (code & kAlt) name += "Alt+";
  if (code & kExtended) name += "Ext+";
  return name + virtualKeyName(code & kVirtualKeyMask);
}

}  // namespace volta::keys
