#include "player/core/app/button_row.h"

#include <algorithm>

#include "player/core/app/command_ids.h"

namespace volta::app {

const std::vector<int>& defaultButtonRow() {
  using namespace cmd;
  static const std::vector<int> kRow{kStop,       kPause,   kPlay,         kSlow,     kFast,        kPrevious, kNext,
                                     kFullScreen, kPaneWrd, kPaneDocument, kPaneList, kPaneMonitor, kMini};
  return kRow;
}

std::vector<int> decodeButtonRow(std::span<const std::uint8_t> value) {
  std::vector<int> commands;
  const std::size_t count = std::min(value.size(), kButtonRowBytes) / 4;
  for (std::size_t slot = 0; slot < count; ++slot) {
    const std::uint8_t* bytes = value.data() + slot * 4;
    const std::uint32_t word = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t{bytes[3]} << 24);
    if (word == 0) break;
    commands.push_back(static_cast<int>(word));
  }
  return commands;
}

std::vector<std::uint8_t> encodeButtonRow(std::span<const int> commands) {
  std::vector<std::uint8_t> value(kButtonRowBytes, 0);
  const std::size_t count = std::min(commands.size(), kMaxButtons);
  for (std::size_t slot = 0; slot < count; ++slot) {
    const auto word = static_cast<std::uint32_t>(commands[slot]);
    for (int byte = 0; byte < 4; ++byte)
      value[slot * 4 + byte] = static_cast<std::uint8_t>(word >> (8 * byte));
  }
  return value;
}

std::vector<int> readButtonRow(const platform::settings::SettingsStore& store) {
  const auto value = store.readBinary(platform::settings::kMainKey, "NewButtons", encodeButtonRow(defaultButtonRow()));
  return decodeButtonRow(value);
}

bool buttonActive(int command, const ButtonState& state) {
  switch (command) {
    case cmd::kPlay:
      return state.playing;
    case cmd::kFast:
      return state.speed >= 1;
    case cmd::kSlow:
      return state.speed <= -1;
    case cmd::kPrevious:
    case cmd::kNext:
      return state.selecting;
    default:
      return false;
  }
}

bool buttonEnabled(int command, const ButtonState& state) {
  switch (command) {
    case cmd::kStop:
    case cmd::kPause:
    case cmd::kFast:
    case cmd::kSlow:
      return state.playing && !state.locked;
    case cmd::kPrevious:
      return state.entries >= 1 && !state.locked;
    case cmd::kNext:
      return state.entries > 1 && state.position >= 0 && static_cast<std::size_t>(state.position) + 1 < state.entries &&
             !state.locked;
    case cmd::kPlay:
    case cmd::kPlayPause:
    case cmd::kRepeat:
      return !state.locked;
    default:
      return true;
  }
}

}  // namespace volta::app
