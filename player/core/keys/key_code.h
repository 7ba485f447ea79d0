#pragma once
// Key codes as the key table stores them: bits 0-7 a virtual-key code, bit 8 Shift,
// bit 9 Ctrl, bit 10 Alt. Bit 11 is the hot-key control's "extended key" flag: a stored
// key may carry it, but a pressed key never does, so such a key never fires.

#include <cstdint>
#include <string>

namespace volta::keys {

using KeyCode = std::uint32_t;

inline constexpr KeyCode kShift = 0x100, kCtrl = 0x200, kAlt = 0x400, kExtended = 0x800;
inline constexpr KeyCode kVirtualKeyMask = 0xFF;
// A stored key is a 16-bit word of the hot-key control; anything wider is no key.
inline constexpr KeyCode kLargestStoredKey = 0xFFFF;

// The virtual-key codes the tables and the window's key translation use.
namespace vk {
inline constexpr KeyCode kBack = 0x08, kTab = 0x09, kClear = 0x0C, kReturn = 0x0D, kPause = 0x13, kEscape = 0x1B,
                         kSpace = 0x20, kPageUp = 0x21, kPageDown = 0x22, kEnd = 0x23, kHome = 0x24, kLeft = 0x25,
                         kUp = 0x26, kRight = 0x27, kDown = 0x28, kInsert = 0x2D, kDelete = 0x2E, kNumpad0 = 0x60,
                         kMultiply = 0x6A, kAdd = 0x6B, kSubtract = 0x6D, kDecimal = 0x6E, kDivide = 0x6F, kF1 = 0x70,
                         kF24 = 0x87;
// '0'..'9' and 'A'..'Z' are their own codes.
constexpr KeyCode digit(int n) {
  return static_cast<KeyCode>('0' + n);
}
constexpr KeyCode letter(char upper) {
  return static_cast<KeyCode>(upper);
}
constexpr KeyCode function(int n) {
  return kF1 + static_cast<KeyCode>(n - 1);
}
constexpr KeyCode numpad(int n) {
  return kNumpad0 + static_cast<KeyCode>(n);
}
}  // namespace vk

// The code of a key going down with the modifiers held; never with the extended flag.
constexpr KeyCode keyCode(KeyCode virtualKey, bool shift, bool ctrl, bool alt) {
  return (virtualKey & kVirtualKeyMask) | (shift ? kShift : 0) | (ctrl ? kCtrl : 0) | (alt ? kAlt : 0);
}

// "Ctrl+Shift+F5", "Alt+Num 0", "Tab"; empty for 0 (no key).
std::string keyName(KeyCode code);

}  // namespace volta::keys
