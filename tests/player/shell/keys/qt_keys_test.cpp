#include "player/shell/keys/qt_keys.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

#include "player/core/keys/key_dispatch.h"

namespace volta::shell {
namespace {

namespace vk = keys::vk;

TEST(QtKeys, KeysAndModifiersBecomeTheTablesCodes) {
  EXPECT_EQ(keyCodeOf(Qt::Key_F5, Qt::NoModifier), vk::function(5));
  EXPECT_EQ(keyCodeOf(Qt::Key_Left, Qt::ControlModifier), keys::kCtrl | vk::kLeft);
  EXPECT_EQ(keyCodeOf(Qt::Key_P, Qt::ControlModifier), keys::kCtrl | vk::letter('P'));
  EXPECT_EQ(keyCodeOf(Qt::Key_F4, Qt::AltModifier), keys::kAlt | vk::function(4));
  EXPECT_EQ(keyCodeOf(Qt::Key_D, Qt::ShiftModifier), keys::kShift | vk::letter('D'));
  EXPECT_EQ(keyCodeOf(Qt::Key_Return, Qt::AltModifier), keys::kAlt | vk::kReturn);
  EXPECT_EQ(keyCodeOf(Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier), keys::kAlt | vk::kReturn);
  // Shift+Tab arrives as Backtab.
  EXPECT_EQ(keyCodeOf(Qt::Key_Backtab, Qt::ShiftModifier), keys::kShift | vk::kTab);
  EXPECT_EQ(keyCodeOf(Qt::Key_Backtab, Qt::NoModifier), keys::kShift | vk::kTab);
  // A shifted digit is the digit's key.
  EXPECT_EQ(keyCodeOf(Qt::Key_Exclam, Qt::ShiftModifier | Qt::ControlModifier),
            keys::kShift | keys::kCtrl | vk::digit(1));
  // Modifiers alone are no keys.
  EXPECT_EQ(keyCodeOf(Qt::Key_Control, Qt::ControlModifier), 0u);
  EXPECT_EQ(keyCodeOf(Qt::Key_Alt, Qt::AltModifier), 0u);
}

TEST(QtKeys, TheKeypadUnderAltIsTheKeypadWithNumLockOnOrOff) {
  const auto keypad = Qt::KeypadModifier;
  EXPECT_EQ(keyCodeOf(Qt::Key_0, Qt::AltModifier | keypad), keys::kAlt | vk::numpad(0));
  EXPECT_EQ(keyCodeOf(Qt::Key_Insert, Qt::AltModifier | keypad), keys::kAlt | vk::numpad(0));
  EXPECT_EQ(keyCodeOf(Qt::Key_PageUp, Qt::AltModifier | keypad), keys::kAlt | vk::numpad(9));
  EXPECT_EQ(keyCodeOf(Qt::Key_Delete, Qt::AltModifier | keypad), keys::kAlt | vk::kDecimal);
  EXPECT_EQ(keyCodeOf(Qt::Key_Period, Qt::AltModifier | keypad), keys::kAlt | vk::kDecimal);
  EXPECT_EQ(keyCodeOf(Qt::Key_Minus, Qt::AltModifier | keypad), keys::kAlt | vk::kSubtract);
  EXPECT_EQ(keyCodeOf(Qt::Key_Asterisk, Qt::AltModifier | keypad), keys::kAlt | vk::kMultiply);
  // Without Alt the keypad's arrows are arrows, and the main keyboard's digits are digits.
  EXPECT_EQ(keyCodeOf(Qt::Key_Left, Qt::ControlModifier | keypad), keys::kCtrl | vk::kLeft);
  EXPECT_EQ(keyCodeOf(Qt::Key_3, keypad), vk::numpad(3));
  EXPECT_EQ(keyCodeOf(Qt::Key_3, Qt::AltModifier), keys::kAlt | vk::digit(3));
  EXPECT_EQ(keyCodeOf(Qt::Key_Minus, Qt::NoModifier), 0xBDu);
}

TEST(QtKeys, NoKeyEverCarriesTheExtendedFlag) {
  std::vector<int> qtKeys;
  for (int key = Qt::Key_Space; key <= Qt::Key_ydiaeresis; ++key)
    qtKeys.push_back(key);
  for (int key = Qt::Key_Escape; key <= Qt::Key_Direction_R; ++key)
    qtKeys.push_back(key);
  for (int key = Qt::Key_Back; key <= Qt::Key_LaunchF; ++key)
    qtKeys.push_back(key);
  const Qt::KeyboardModifier modifiers[] = {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier,
                                            Qt::MetaModifier,  Qt::KeypadModifier,  Qt::GroupSwitchModifier};
  for (int key : qtKeys) {
    for (unsigned held = 0; held < 64; ++held) {
      Qt::KeyboardModifiers state;
      for (unsigned bit = 0; bit < 6; ++bit)
        if (held & (1u << bit)) state |= modifiers[bit];
      ASSERT_EQ(keyCodeOf(key, state) & keys::kExtended, 0u) << key << " " << held;
    }
  }
}

TEST(QtKeys, EveryKeyOfTheTablesCanBePressed) {
  std::vector<keys::KeyCode> codes;
  const keys::KeyTable table = keys::KeyTable::defaults();
  for (const keys::KeyRecord& record : table.records())
    for (keys::KeyCode code : {record.key1, record.key2})
      if (code != 0) codes.push_back(code);
  for (const auto accelerators : {keys::mainWindowAccelerators(), keys::alwaysAccelerators()})
    for (const keys::Accelerator& accelerator : accelerators)
      codes.push_back(accelerator.key);
  for (keys::KeyCode code : codes) {
    const QKeyCombination key = qtKeyOf(code);
    ASSERT_NE(key.key(), Qt::Key(0)) << keys::keyName(code);
    QKeyEvent event(QEvent::KeyPress, key.key(), key.keyboardModifiers());
    EXPECT_EQ(keyCodeOf(event), code) << keys::keyName(code);
  }
}

}  // namespace
}  // namespace volta::shell
