#include "player/shell/keys/qt_keys.h"

#include <QKeyEvent>
#include <array>
#include <utility>

namespace volta::shell {

namespace {

namespace vk = keys::vk;

constexpr std::array<std::pair<int, keys::KeyCode>, 38> kKeys{{
    {Qt::Key_Backspace, vk::kBack},
    {Qt::Key_Tab, vk::kTab},
    {Qt::Key_Backtab, vk::kTab},
    {Qt::Key_Clear, vk::kClear},
    {Qt::Key_Return, vk::kReturn},
    {Qt::Key_Enter, vk::kReturn},
    {Qt::Key_Pause, vk::kPause},
    {Qt::Key_Escape, vk::kEscape},
    {Qt::Key_Space, vk::kSpace},
    {Qt::Key_PageUp, vk::kPageUp},
    {Qt::Key_PageDown, vk::kPageDown},
    {Qt::Key_End, vk::kEnd},
    {Qt::Key_Home, vk::kHome},
    {Qt::Key_Left, vk::kLeft},
    {Qt::Key_Up, vk::kUp},
    {Qt::Key_Right, vk::kRight},
    {Qt::Key_Down, vk::kDown},
    {Qt::Key_Insert, vk::kInsert},
    {Qt::Key_Delete, vk::kDelete},
    {Qt::Key_MediaNext, 0xB0},
    {Qt::Key_MediaPrevious, 0xB1},
    {Qt::Key_MediaStop, 0xB2},
    {Qt::Key_MediaTogglePlayPause, 0xB3},
    {Qt::Key_VolumeMute, 0xAD},
    {Qt::Key_VolumeDown, 0xAE},
    {Qt::Key_VolumeUp, 0xAF},
    // Punctuation of a US keyboard, shifted or not: the key, not the character.
    {Qt::Key_Semicolon, 0xBA},
    {Qt::Key_Colon, 0xBA},
    {Qt::Key_Equal, 0xBB},
    {Qt::Key_Comma, 0xBC},
    {Qt::Key_Less, 0xBC},
    {Qt::Key_Minus, 0xBD},
    {Qt::Key_Period, 0xBE},
    {Qt::Key_Greater, 0xBE},
    {Qt::Key_Slash, 0xBF},
    {Qt::Key_Question, 0xBF},
    {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_BracketRight, 0xDD},
}};

// The keypad's keys; with NumLock off its digits arrive as the navigation keys they double as.
constexpr std::array<std::pair<int, keys::KeyCode>, 27> kKeypad{{
    {Qt::Key_0, vk::numpad(0)},     {Qt::Key_1, vk::numpad(1)},        {Qt::Key_2, vk::numpad(2)},
    {Qt::Key_3, vk::numpad(3)},     {Qt::Key_4, vk::numpad(4)},        {Qt::Key_5, vk::numpad(5)},
    {Qt::Key_6, vk::numpad(6)},     {Qt::Key_7, vk::numpad(7)},        {Qt::Key_8, vk::numpad(8)},
    {Qt::Key_9, vk::numpad(9)},     {Qt::Key_Asterisk, vk::kMultiply}, {Qt::Key_Plus, vk::kAdd},
    {Qt::Key_Minus, vk::kSubtract}, {Qt::Key_Period, vk::kDecimal},    {Qt::Key_Comma, vk::kDecimal},
    {Qt::Key_Slash, vk::kDivide},   {Qt::Key_Insert, vk::numpad(0)},   {Qt::Key_End, vk::numpad(1)},
    {Qt::Key_Down, vk::numpad(2)},  {Qt::Key_PageDown, vk::numpad(3)}, {Qt::Key_Left, vk::numpad(4)},
    {Qt::Key_Clear, vk::numpad(5)}, {Qt::Key_Right, vk::numpad(6)},    {Qt::Key_Home, vk::numpad(7)},
    {Qt::Key_Up, vk::numpad(8)},    {Qt::Key_PageUp, vk::numpad(9)},   {Qt::Key_Delete, vk::kDecimal},
}};

// Keypad digits and operators with NumLock on: what Alt with the keypad needs. With NumLock
// off the navigation keys stay themselves (Ctrl+keypad Left is Previous), except under Alt.
bool keypadDigitOrOperator(int key) {
  return (key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Asterisk || key == Qt::Key_Plus ||
         key == Qt::Key_Minus || key == Qt::Key_Period || key == Qt::Key_Comma || key == Qt::Key_Slash;
}

keys::KeyCode lookUp(const auto& table, int key) {
  for (const auto& [qtKey, code] : table) {
    if (qtKey == key) return code;
  }
  return 0;
}

// Shifted digits of a US keyboard arrive as their characters.
keys::KeyCode shiftedDigit(int key) {
  static constexpr std::array<int, 10> kShifted{
      Qt::Key_ParenRight, Qt::Key_Exclam,      Qt::Key_At,        Qt::Key_NumberSign, Qt::Key_Dollar,
      Qt::Key_Percent,    Qt::Key_AsciiCircum, Qt::Key_Ampersand, Qt::Key_Asterisk,   Qt::Key_ParenLeft};
  for (std::size_t digit = 0; digit < kShifted.size(); ++digit) {
    if (kShifted[digit] == key) return vk::digit(static_cast<int>(digit));
  }
  return 0;
}

keys::KeyCode virtualKey(int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers & Qt::KeypadModifier) {
    if (keypadDigitOrOperator(key) || (modifiers & Qt::AltModifier)) {
      if (const keys::KeyCode code = lookUp(kKeypad, key)) return code;
    }
  }
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return vk::digit(key - Qt::Key_0);
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return vk::letter(static_cast<char>('A' + (key - Qt::Key_A)));
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return vk::function(key - Qt::Key_F1 + 1);
  if (const keys::KeyCode code = lookUp(kKeys, key)) return code;
  return shiftedDigit(key);
}

}  // namespace

keys::KeyCode keyCodeOf(int key, Qt::KeyboardModifiers modifiers) {
  const keys::KeyCode code = virtualKey(key, modifiers);
  if (code == 0) return 0;
  // Shift+Tab arrives as Backtab, with or without Shift reported.
  const bool shift = (modifiers & Qt::ShiftModifier) || key == Qt::Key_Backtab;
  return keys::keyCode(code, shift, modifiers & Qt::ControlModifier, modifiers & Qt::AltModifier);
}

keys::KeyCode keyCodeOf(const QKeyEvent& event) {
  return keyCodeOf(event.key(), event.modifiers());
}

QKeyCombination qtKeyOf(keys::KeyCode code) {
  const keys::KeyCode key = code & keys::kVirtualKeyMask;
  Qt::KeyboardModifiers modifiers;
  if (code & keys::kShift) modifiers |= Qt::ShiftModifier;
  if (code & keys::kCtrl) modifiers |= Qt::ControlModifier;
  if (code & keys::kAlt) modifiers |= Qt::AltModifier;
  for (const auto& [qtKey, keypadCode] : kKeypad) {
    if (keypadCode == key) return QKeyCombination(modifiers | Qt::KeypadModifier, Qt::Key(qtKey));
  }
  if (key >= vk::digit(0) && key <= vk::digit(9)) return QKeyCombination(modifiers, Qt::Key(Qt::Key_0 + (key - '0')));
  if (key >= vk::letter('A') && key <= vk::letter('Z'))
    return QKeyCombination(modifiers, Qt::Key(Qt::Key_A + (key - 'A')));
  if (key >= vk::kF1 && key <= vk::kF24) return QKeyCombination(modifiers, Qt::Key(Qt::Key_F1 + (key - vk::kF1)));
  for (const auto& [qtKey, tableCode] : kKeys) {
    if (tableCode == key) return QKeyCombination(modifiers, Qt::Key(qtKey));
  }
  return QKeyCombination();
}

}  // namespace volta::shell
