#pragma once
// Qt's key events as the key table's codes: the key's virtual-key code with Shift, Ctrl
// and Alt as they are held. The extended-key flag is never set.

#include <QKeyCombination>

#include "player/core/keys/key_code.h"

class QKeyEvent;

namespace volta::shell {

// 0 for a key the tables cannot hold (a modifier alone, a key without a code).
keys::KeyCode keyCodeOf(const QKeyEvent& event);
// The same for a key and its modifiers (Qt::KeypadModifier marks the keypad).
keys::KeyCode keyCodeOf(int key, Qt::KeyboardModifiers modifiers);
// A key Qt can send for a code (the keypad keys with Qt::KeypadModifier); an empty
// combination for a code without a key.
QKeyCombination qtKeyOf(keys::KeyCode code);

}  // namespace volta::shell
