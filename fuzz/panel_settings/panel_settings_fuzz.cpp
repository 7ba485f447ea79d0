// Arbitrary bytes as the outside values the main window's parts read: a module
// definition's "LiquidBackLight" text (with a brightness level) and the "NewButtons"
// button row. The first byte chooses which.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "player/monitor/back_light.h"
#include "player/shell/panel/button_row.h"

namespace {

void backLight(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return;
  const int level = static_cast<std::int8_t>(bytes[0]);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data() + 1), bytes.size() - 1);
  volta::monitor::BackLightSettings settings;
  settings.automatic = true;
  const auto palette =
      volta::monitor::backLightPalette(volta::monitor::effectiveBackLightColour(settings, text), level);
  // The unlit segment is never brighter than the back light, and the inks stay black.
  if (palette[3].red > palette[1].red || palette[3].green > palette[1].green || palette[3].blue > palette[1].blue) {
    std::abort();
  }
  if (!(palette[0] == volta::monitor::Rgb{}) || !(palette[2] == volta::monitor::Rgb{})) std::abort();
}

void buttonRow(std::span<const std::uint8_t> bytes) {
  const auto row = volta::shell::decodeButtonRow(bytes);
  if (row.size() > volta::shell::kMaxButtons) std::abort();
  for (int id : row) {
    if (id == 0) std::abort();
  }
  // Written back, the row reads the same.
  if (volta::shell::decodeButtonRow(volta::shell::encodeButtonRow(row)) != row) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::span<const std::uint8_t> rest(data + 1, size - 1);
  if (data[0] & 1) {
    buttonRow(rest);
  } else {
    backLight(rest);
  }
  return 0;
}
