#pragma once
// The commands of the button bar, stored in the setting "NewButtons": 128 bytes of up
// to 32 command identifiers, 32-bit little-endian each, the first 0 ending the row;
// and what each button shows and allows in the current playing state.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/settings/settings_store.h"

namespace volta::app {

inline constexpr std::size_t kButtonRowBytes = 128;
inline constexpr std::size_t kMaxButtons = kButtonRowBytes / 4;

// Stop, Pause, Play, Slow, Fast, Previous, Next, Full screen, WRD, DOC, LIST, Monitor, Mini.
const std::vector<int>& defaultButtonRow();
// The identifiers up to the first 0; a value shorter than 128 bytes yields its whole
// identifiers, a longer one is read up to 128 bytes.
std::vector<int> decodeButtonRow(std::span<const std::uint8_t> value);
// 128 bytes; identifiers past 32 are dropped.
std::vector<std::uint8_t> encodeButtonRow(std::span<const int> commands);
// The stored row, or the default row when the setting is absent.
std::vector<int> readButtonRow(const platform::settings::SettingsStore& store);

// What the buttons show: pictures follow the playing state, and the playing commands
// are disabled while they could do nothing or a remote client holds the lock.
struct ButtonState {
  bool playing = false;
  int speed = 0;
  bool selecting = false;  // Next/Previous choosing a song
  bool locked = false;
  std::size_t entries = 0;
  int position = 0;
};

// Play while playing, Fast while faster, Slow while slower, Previous and Next while selecting.
bool buttonActive(int command, const ButtonState& state);
bool buttonEnabled(int command, const ButtonState& state);

}  // namespace volta::app
