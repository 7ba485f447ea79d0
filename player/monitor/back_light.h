#pragma once
// The four-colour palette every LCD panel draws with. Panels hold palette indices
// only, so a new back light colour or brightness recolours them all at once.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/settings/settings_store.h"

namespace volta::monitor {

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const Rgb&) const = default;
};

// 0 black, 1 back light, 2 black (lit segments and lamps), 3 unlit segment.
using Palette = std::array<Rgb, 4>;

inline constexpr std::uint32_t kOrange = 0x008CFF;
inline constexpr std::uint32_t kLightGreen = 0x00FFC0;
inline constexpr std::uint32_t kEmeraldGreen = 0x80FF00;
inline constexpr std::uint32_t kBlack = 0;
inline constexpr int kMaxBackLightLevel = 20;

// The settings "BackLight", "BackLightLevel" and "AutoBackLight".
struct BackLightSettings {
  std::uint32_t colour = kLightGreen;  // red + green * 256 + blue * 65536
  int level = 18;
  bool automatic = false;
};

BackLightSettings readBackLightSettings(const platform::settings::SettingsStore& store);

// The colour a module definition's "LiquidBackLight" names: ROLAND, YAMAHA, OTHER and
// KORG in any case, else a decimal or 0x-prefixed hexadecimal number; nothing for
// text that is neither.
std::optional<std::uint32_t> moduleBackLightColour(std::string_view text);

// The colour in force: the module's when automatic and the module names one.
std::uint32_t effectiveBackLightColour(const BackLightSettings& settings, std::optional<std::string_view> moduleText);

// The four entries for a colour at a brightness; levels outside 0..20 are held to it.
Palette backLightPalette(std::uint32_t colour, int level);
// The palette the settings give, with the module definition's colour when automatic.
Palette backLightPalette(const BackLightSettings& settings, std::optional<std::string_view> moduleText);

}  // namespace volta::monitor
