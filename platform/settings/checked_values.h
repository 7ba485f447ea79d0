#pragma once
// Reading values that have a range: a stored value of the wrong type or outside the
// range is not one, and the caller's default stays.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/settings/settings_store.h"

namespace volta::platform::settings {

inline std::int32_t readIntIn(const SettingsStore& store, std::string_view key, std::string_view name,
                              std::int32_t fallback, std::int32_t low, std::int32_t high) {
  const std::int32_t value = store.readInt(key, name, fallback);
  return value < low || value > high ? fallback : value;
}

// A switch is stored as 0 or 1.
inline bool readSwitch(const SettingsStore& store, std::string_view key, std::string_view name, bool fallback) {
  return readIntIn(store, key, name, fallback ? 1 : 0, 0, 1) != 0;
}

// Flags stored one byte each; a value of another size keeps the defaults.
template <std::size_t N>
std::array<bool, N> readFlagBytes(const SettingsStore& store, std::string_view key, std::string_view name,
                                  std::array<bool, N> flags) {
  const auto bytes = store.readBinary(key, name, {});
  if (bytes.size() != N) return flags;
  for (std::size_t i = 0; i < N; ++i)
    flags[i] = bytes[i] != 0;
  return flags;
}

template <std::size_t N>
std::vector<std::uint8_t> flagBytes(const std::array<bool, N>& flags) {
  std::vector<std::uint8_t> bytes;
  for (bool flag : flags)
    bytes.push_back(flag ? 1 : 0);
  return bytes;
}

}  // namespace volta::platform::settings
