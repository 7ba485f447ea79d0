#pragma once
// Reading values that have a range: a stored value of the wrong type or outside the
// range is not one, and the caller's default stays.

#include <cstdint>
#include <string_view>

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

}  // namespace volta::platform::settings
