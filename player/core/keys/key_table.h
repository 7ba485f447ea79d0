#pragma once
// The user's key table: an ordered list of commands, each with up to two keys. The
// order decides which command a key issues when two records hold it. The defaults are
// built in; the setting group "NewKeyConfigTable" holds a stored key1 and key2 per
// command as the integer values "<command>-1" and "<command>-2" (0 = none).

#include <optional>
#include <string>
#include <vector>

#include "platform/settings/settings_store.h"
#include "player/core/keys/key_code.h"

namespace volta::keys {

struct KeyRecord {
  int command = 0;
  KeyCode key1 = 0;
  KeyCode key2 = 0;
  bool operator==(const KeyRecord&) const = default;
};

// "Software\QZ\VOLTA\NewKeyConfigTable".
std::string keyTableKey();
// "9018-1" and "9018-2".
std::string keyValueName(int command, int slot);

class KeyTable {
 public:
  // The built-in table: 41 records (42 with the end record of command 0 that the list needs no more).
  static KeyTable defaults();
  // The defaults with each stored key in place of the built-in one; a stored value that
  // is no 16-bit key keeps the default.
  static KeyTable read(const platform::settings::SettingsStore& store);
  // Writes both keys of every record in one change; false when the file could not be written.
  bool write(platform::settings::SettingsStore& store) const;

  // The command of the first record holding the key; none for 0 or a key no record holds.
  std::optional<int> commandOf(KeyCode code) const;

  const std::vector<KeyRecord>& records() const { return records_; }
  // Keys of the record at an index of records().
  void setKeys(std::size_t index, KeyCode key1, KeyCode key2);

 private:
  explicit KeyTable(std::vector<KeyRecord> records) : records_(std::move(records)) {}
  std::vector<KeyRecord> records_;
};

}  // namespace volta::keys
