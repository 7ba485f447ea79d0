// Arbitrary bytes as the settings file, read as the general configuration pages read it:
// every value lands in its range, and what is written reads back the same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/scratch_folder.h"
#include "player/shell/settings/general_values.h"

namespace {

namespace st = volta::platform::settings;
using namespace volta::shell;

const std::filesystem::path& scratchFile() {
  static const std::filesystem::path file = volta::fuzz::scratchFolder("volta-general-values-fuzz") / "VOLTA.conf";
  return file;
}

bool inRange(int value, int low, int high) {
  return value >= low && value <= high;
}

// Written and read again, values come back as they were.
template <typename Values, typename Read>
void roundTrip(st::SettingsStore& store, const Values& values, Read read) {
  if (!writeValues(store, values)) return;
  if (!(read(store) == values)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream(scratchFile(), std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
  }
  st::SettingsStore store(scratchFile());
  const int language = storedLanguage(store);
  const WindowValues window = WindowValues::read(store);
  const ListValues list = ListValues::read(store, language);
  const DocValues doc = DocValues::read(store, language);
  const WrdValues wrd = WrdValues::read(store);
  if (!inRange(window.priorityLevel, -2, 2) || !inRange(window.minimize, 0, 2) ||
      !inRange(list.fontSize, kMinFontSize, kMaxFontSize) || !inRange(doc.fontSize, kMinFontSize, kMaxFontSize) ||
      !inRange(wrd.display.vsync, 0, 2) || !inRange(language, 0, 1) || doc.font == "98GRPH") {
    std::abort();
  }
  // The shortcut folder loses its trailing slashes once; from then on it stays.
  if (writeValues(store, window)) roundTrip(store, WindowValues::read(store), WindowValues::read);
  const auto readList = [language](const st::SettingsStore& s) { return ListValues::read(s, language); };
  const auto readDoc = [language](const st::SettingsStore& s) { return DocValues::read(s, language); };
  roundTrip(store, list, readList);
  roundTrip(store, doc, readDoc);
  roundTrip(store, wrd, WrdValues::read);
  return 0;
}
