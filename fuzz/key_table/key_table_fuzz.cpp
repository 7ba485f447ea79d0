// Arbitrary bytes as the settings file holding the stored keys: the key table reads
// every record (a value that is no key keeps the default), dispatches any key, and what
// it writes back reads the same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/scratch_folder.h"
#include "player/core/keys/key_dispatch.h"
#include "player/core/keys/key_table.h"

namespace {

namespace keys = volta::keys;

const std::filesystem::path& scratchFile() {
  static const std::filesystem::path file = volta::fuzz::scratchFolder("volta-key-table-fuzz") / "VOLTA.conf";
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream(scratchFile(), std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
  }
  volta::platform::settings::SettingsStore store(scratchFile());
  const keys::KeyTable table = keys::KeyTable::read(store);
  if (table.records().size() != keys::KeyTable::defaults().records().size()) std::abort();
  for (const keys::KeyRecord& record : table.records()) {
    if (record.key1 > keys::kLargestStoredKey || record.key2 > keys::kLargestStoredKey) std::abort();
    // A pressed key never carries the extended flag, so a key stored with it never fires.
    const keys::KeyCode pressed =
        keys::keyCode(record.key1, record.key1 & keys::kShift, record.key1 & keys::kCtrl, record.key1 & keys::kAlt);
    if (pressed & keys::kExtended) std::abort();
    keys::dispatchKey(table, pressed, {true, true});
  }
  if (!table.write(store)) return 0;
  if (keys::KeyTable::read(store).records() != table.records()) std::abort();
  return 0;
}
