// Arbitrary bytes through the WRD text writer: every write must stay inside the surfaces.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "player/wrd/text_writer.h"

namespace {

std::shared_ptr<const volta::wrd::UnifontFace> face() {
  static const auto loaded = volta::wrd::UnifontFace::loadFile(volta::wrd::kDefaultWrdFontPath);
  return loaded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // One screen for every run, cleared each time: building surfaces would dominate the run.
  static volta::wrd::Screen screen;
  static volta::wrd::GlyphRenderer glyphs(face());
  static volta::wrd::TextWriter writer(screen, glyphs);
  screen.reset();
  writer.reset();
  // The first byte picks the text mode, ^FONTM and the starting cursor.
  screen.state().textOn = data[0] % 3;
  glyphs.setKanaMode((data[0] & 4) != 0);
  writer.cursor().column = data[1] % 90;
  writer.cursor().row = data[1] % 30;
  // "^" followed by a digit claims that many bytes as a command, however many remain.
  writer.setCaretHook([](std::string_view rest) -> std::size_t {
    return rest.size() > 1 && rest[1] >= '0' && rest[1] <= '9' ? static_cast<std::size_t>(rest[1] - '0') * 7 : 0;
  });
  writer.write(std::string_view(reinterpret_cast<const char*>(data + 2), size - 2));
  screen.flushScreen(1);
  return 0;
}
