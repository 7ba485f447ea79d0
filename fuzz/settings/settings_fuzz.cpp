// Arbitrary bytes as the settings file: reading yields values or defaults, and
// what is written reads back the same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/scratch_folder.h"
#include "platform/settings/settings_store.h"

namespace {

namespace st = volta::platform::settings;

const std::filesystem::path& scratchFile() {
  static const std::filesystem::path file = volta::fuzz::scratchFolder("volta-settings-fuzz") / "VOLTA.conf";
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  // Writing what was read and reading it again is a fixed point (key spellings
  // that are not UTF-8 settle after the first round).
  const st::IniDocument first = st::parseIni(st::formatIni(st::parseIni(text).entries));
  const st::IniDocument second = st::parseIni(st::formatIni(first.entries));
  if (first.malformedLines != 0 || second.entries.size() != first.entries.size()) std::abort();
  for (const auto& [folded, entry] : first.entries) {
    const auto found = second.entries.find(folded);
    if (found == second.entries.end() || found->second.value.data != entry.value.data ||
        found->second.value.kind != entry.value.kind) {
      std::abort();
    }
  }

  { std::ofstream(scratchFile(), std::ios::binary | std::ios::trunc) << text; }
  st::SettingsStore store(scratchFile());
  store.readInt(st::kMainKey, "AutoScan", 1);
  store.readString(st::midiTemplateKey(0), "Module", "THRU");
  store.readBinary(st::kMainKey, "FrameMode", {});
  store.writeInt(st::kMainKey, "LastMusic", 3);
  if (store.readInt(st::kMainKey, "LastMusic", 0) != 3) std::abort();
  return 0;
}
