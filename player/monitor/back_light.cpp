#include "player/monitor/back_light.h"

#include <algorithm>
#include <charconv>

#include "platform/text.h"

namespace volta::monitor {
namespace {

namespace settings = platform::settings;

using platform::text::equalsIgnoringCase;

std::optional<std::uint32_t> parseNumber(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  std::uint32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::uint8_t scaled(std::uint32_t component, int numerator, int denominator) {
  return static_cast<std::uint8_t>(component * static_cast<std::uint32_t>(numerator) /
                                   static_cast<std::uint32_t>(denominator));
}

Rgb scaledColour(std::uint32_t colour, int numerator, int denominator) {
  return {scaled(colour & 0xFF, numerator, denominator), scaled((colour >> 8) & 0xFF, numerator, denominator),
          scaled((colour >> 16) & 0xFF, numerator, denominator)};
}

}  // namespace

BackLightSettings readBackLightSettings(const settings::SettingsStore& store) {
  BackLightSettings defaults;
  BackLightSettings result;
  result.colour = static_cast<std::uint32_t>(
      store.readInt(settings::kMainKey, "BackLight", static_cast<std::int32_t>(defaults.colour)));
  result.level = store.readInt(settings::kMainKey, "BackLightLevel", defaults.level);
  result.automatic = store.readInt(settings::kMainKey, "AutoBackLight", 0) != 0;
  return result;
}

std::optional<std::uint32_t> moduleBackLightColour(std::string_view text) {
  static constexpr std::pair<std::string_view, std::uint32_t> kNamed[] = {
      {"ROLAND", 0x008CFF}, {"YAMAHA", 0x00FFC0}, {"OTHER", 0x80FFFF}, {"KORG", 0x80FF00}};
  for (const auto& [name, colour] : kNamed) {
    if (equalsIgnoringCase(text, name)) return colour;
  }
  return parseNumber(text);
}

std::uint32_t effectiveBackLightColour(const BackLightSettings& settings, std::optional<std::string_view> moduleText) {
  if (settings.automatic && moduleText) {
    if (auto colour = moduleBackLightColour(*moduleText)) return *colour;
  }
  return settings.colour;
}

Palette backLightPalette(std::uint32_t colour, int level) {
  const Rgb light = scaledColour(colour, std::clamp(level, 0, kMaxBackLightLevel), kMaxBackLightLevel);
  const std::uint32_t lightWord = light.red | (light.green << 8) | (light.blue << 16);
  return {Rgb{}, light, Rgb{}, scaledColour(lightWord, 7, 8)};
}

Palette backLightPalette(const BackLightSettings& settings, std::optional<std::string_view> moduleText) {
  return backLightPalette(effectiveBackLightColour(settings, moduleText), settings.level);
}

}  // namespace volta::monitor
