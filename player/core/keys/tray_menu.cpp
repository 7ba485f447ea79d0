#include "player/core/keys/tray_menu.h"

#include <array>

#include "player/core/app/command_ids.h"

namespace volta::keys {

namespace {

namespace cmd = app::cmd;

constexpr std::array kMenu{
    TrayMenuItem{"&PLAY", cmd::kPlay},
    TrayMenuItem{"&STOP", cmd::kStop},
    TrayMenuItem{"&PAUSE", cmd::kPause},
    TrayMenuItem{"", 0},
    TrayMenuItem{"&NEXT", cmd::kNext},
    TrayMenuItem{"&BACK", cmd::kPrevious},
    TrayMenuItem{"", 0},
    TrayMenuItem{"E&xit", cmd::kExit},
};

}  // namespace

std::span<const TrayMenuItem> trayMenu() {
  return kMenu;
}

std::optional<int> trayCommand(TrayMouse mouse) {
  switch (mouse) {
    case TrayMouse::kLeftUp:
      return cmd::kTrayMenu;
    case TrayMouse::kLeftDoubleClick:
      return cmd::kTrayRestore;
    case TrayMouse::kRightUp:
      return cmd::kPlayPause;
    default:
      return std::nullopt;
  }
}

}  // namespace volta::keys
