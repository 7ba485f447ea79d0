#pragma once
// The notification-area icon: its tip, its menu and what each mouse action on it asks
// the main window to do.

#include <optional>
#include <span>
#include <string_view>

namespace volta::keys {

inline constexpr std::string_view kTrayTip = "VOLTA Player";

struct TrayMenuItem {
  std::string_view text;  // with its "&" accelerator
  int command;            // 0: a separator
};

// PLAY, STOP, PAUSE, a separator, NEXT, BACK, a separator, Exit.
std::span<const TrayMenuItem> trayMenu();

enum class TrayMouse { kLeftUp, kLeftDoubleClick, kRightUp, kOther };

// Left: the icon's menu at the cursor; double click: the main window restored and in front;
// right: play or pause. Other buttons do nothing.
std::optional<int> trayCommand(TrayMouse mouse);

}  // namespace volta::keys
