#include "player/core/keys/key_dispatch.h"

#include <array>

#include "player/core/app/command_ids.h"

namespace volta::keys {

namespace {

namespace cmd = app::cmd;

constexpr std::array kMainWindow{
    Accelerator{kAlt | vk::kReturn, cmd::kFullScreen},
    Accelerator{kShift | vk::letter('D'), cmd::kBenchmark},
};

constexpr std::array kAlways{
    Accelerator{kCtrl | vk::letter('D'), cmd::kWrdLog},
    Accelerator{kCtrl | vk::letter('W'), cmd::kEnableWave},
    Accelerator{kCtrl | vk::letter('M'), cmd::kReinitialiseWithReset},
    Accelerator{kCtrl | vk::letter('N'), cmd::kReinitialiseWithoutReset},
    Accelerator{kCtrl | vk::letter('B'), cmd::kBenchmark},
    Accelerator{kCtrl | vk::letter('C'), cmd::kNothing},
    Accelerator{kAlt | vk::numpad(0), cmd::kWrdPalette},
    Accelerator{kAlt | vk::kDecimal, cmd::kWrdPaletteWhite},
    Accelerator{kAlt | vk::kSubtract, cmd::kWrdGraphics},
    Accelerator{kAlt | vk::kMultiply, cmd::kWrdText},
    Accelerator{kAlt | vk::numpad(1), cmd::kWrdPageFirst},
    Accelerator{kAlt | vk::numpad(2), cmd::kWrdPageFirst + 1},
    Accelerator{kAlt | vk::numpad(3), cmd::kWrdPageFirst + 2},
    Accelerator{kAlt | vk::numpad(4), cmd::kWrdPageFirst + 3},
    Accelerator{kAlt | vk::numpad(5), cmd::kWrdPageFirst + 4},
    Accelerator{kAlt | vk::numpad(6), cmd::kWrdPageFirst + 5},
    Accelerator{kAlt | vk::numpad(7), cmd::kWrdPageFirst + 6},
    Accelerator{kAlt | vk::numpad(8), cmd::kWrdPageFirst + 7},
    Accelerator{kAlt | vk::numpad(9), cmd::kWrdPageLast},
};

std::optional<int> find(std::span<const Accelerator> table, KeyCode code) {
  for (const Accelerator& accelerator : table) {
    if (accelerator.key == code) return accelerator.command;
  }
  return std::nullopt;
}

}  // namespace

std::span<const Accelerator> mainWindowAccelerators() {
  return kMainWindow;
}

std::span<const Accelerator> alwaysAccelerators() {
  return kAlways;
}

std::optional<Dispatched> dispatchKey(const KeyTable& table, KeyCode code, KeyContext context) {
  if (context.mainWindowEnabled) {
    if (const auto command = table.commandOf(code)) return Dispatched{*command, KeySource::kTable};
  }
  if (context.mainWindowActive) {
    if (const auto command = find(kMainWindow, code)) return Dispatched{*command, KeySource::kMainWindow};
  }
  if (const auto command = find(kAlways, code)) return Dispatched{*command, KeySource::kAlways};
  return std::nullopt;
}

}  // namespace volta::keys
