#pragma once
// What a key going down in one of the player's windows does, in this order: the user's
// key table (while the main window takes input), then the main window's fixed
// accelerators (while it is the active window), then the fixed accelerators that hold
// in every window of the player. Each ends in a command identifier.

#include <optional>
#include <span>

#include "player/core/keys/key_code.h"
#include "player/core/keys/key_table.h"

namespace volta::keys {

struct Accelerator {
  KeyCode key;
  int command;
};

// Alt+Enter full screen, Shift+D the WRD drawing benchmark.
std::span<const Accelerator> mainWindowAccelerators();
// The debugging keys: Ctrl+D the WRD log, Ctrl+W wave playing, Ctrl+M / Ctrl+N the engine
// again with and without a reset, Ctrl+B the benchmark, Ctrl+C nothing, and Alt with the
// keypad for the WRD screen's palette, planes and pages.
std::span<const Accelerator> alwaysAccelerators();

enum class KeySource { kTable, kMainWindow, kAlways };

struct KeyContext {
  bool mainWindowEnabled = true;  // no modal dialog holds the input
  bool mainWindowActive = true;   // the key went to the main window itself, not a pane's own window
};

struct Dispatched {
  int command;
  KeySource source;
  bool operator==(const Dispatched&) const = default;
};

// None when the key is no command and goes on to the window.
std::optional<Dispatched> dispatchKey(const KeyTable& table, KeyCode code, KeyContext context);

}  // namespace volta::keys
