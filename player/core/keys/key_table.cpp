#include "player/core/keys/key_table.h"

#include "player/core/app/command_ids.h"

namespace volta::keys {

namespace {

namespace cmd = app::cmd;
namespace settings = platform::settings;

std::vector<KeyRecord> defaultRecords() {
  using namespace cmd;
  const KeyCode ctrl = kCtrl, shift = kShift, alt = kAlt;
  return {
      {kPaneWrd, vk::function(5), 0},
      {kPaneDocument, vk::function(6), 0},
      {kPaneMonitor, vk::function(10), 0},
      {kPaneList, vk::function(7), 0},
      {kFullScreen, vk::function(9), 0},
      {kMini, vk::function(8), 0},
      {kStop, vk::function(12), 0},
      {kPause, 0, 0},
      {kSlow, 0, 0},
      {kPlayPause, vk::function(11), ctrl | vk::letter('P')},
      {kFast, 0, 0},
      {kPrevious, ctrl | vk::kLeft, ctrl | vk::kUp},
      {kNext, ctrl | vk::kRight, ctrl | vk::kDown},
      {kRepeat, 0, 0},
      {kExit, alt | vk::function(4), 0},
      {kSinglePlay, 0, 0},
      {kSingleRepeat, 0, 0},
      {kOpenFile, ctrl | vk::letter('O'), 0},
      {kPaneWrdDebug, 0, 0},
      {kNextPage, vk::kTab, 0},
      {kPreviousPage, shift | vk::kTab, 0},
      {kOpenFolder, ctrl | vk::letter('F'), 0},
      {kEditList, shift | vk::function(3), 0},
      {kSaveList, 0, 0},
      {kCloseList, 0, 0},
      {kOrderNormal, 0, 0},
      {kOrderRandom, 0, 0},
      {kOrderFileName, 0, 0},
      {kOrderTitle, 0, 0},
      {kTemplateOff, 0, 0},
      {kTemplate1, 0, 0},
      {kTemplate2, 0, 0},
      {kTemplate3, 0, 0},
      {kTemplate4, 0, 0},
      {kMidiSetting, 0, 0},
      {kConfiguration, 0, 0},
      {kPortTemplates, 0, 0},
      {kDisableWrd, 0, 0},
      {kMidiThru, ctrl | vk::letter('I'), 0},
      {kHelpContents, vk::function(1), 0},
      {kAbout, 0, 0},
  };
}

KeyCode storedKey(const settings::SettingsStore& store, int command, int slot, KeyCode fallback) {
  const std::int32_t value =
      store.readInt(keyTableKey(), keyValueName(command, slot), static_cast<std::int32_t>(fallback));
  return value >= 0 && static_cast<KeyCode>(value) <= kLargestStoredKey ? static_cast<KeyCode>(value) : fallback;
}

}  // namespace

std::string keyTableKey() {
  return settings::subKey("NewKeyConfigTable");
}

std::string keyValueName(int command, int slot) {
  return std::to_string(command) + "-" + std::to_string(slot);
}

KeyTable KeyTable::defaults() {
  return KeyTable(defaultRecords());
}

KeyTable KeyTable::read(const settings::SettingsStore& store) {
  KeyTable table = defaults();
  for (KeyRecord& record : table.records_) {
    record.key1 = storedKey(store, record.command, 1, record.key1);
    record.key2 = storedKey(store, record.command, 2, record.key2);
  }
  return table;
}

bool KeyTable::write(settings::SettingsStore& store) const {
  settings::SettingsBatch batch;
  for (const KeyRecord& record : records_) {
    batch.setInt(keyTableKey(), keyValueName(record.command, 1), static_cast<std::int32_t>(record.key1));
    batch.setInt(keyTableKey(), keyValueName(record.command, 2), static_cast<std::int32_t>(record.key2));
  }
  return store.apply(batch);
}

std::optional<int> KeyTable::commandOf(KeyCode code) const {
  if (code == 0) return std::nullopt;
  for (const KeyRecord& record : records_) {
    if (record.key1 == code || record.key2 == code) return record.command;
  }
  return std::nullopt;
}

void KeyTable::setKeys(std::size_t index, KeyCode key1, KeyCode key2) {
  KeyRecord& record = records_.at(index);
  record.key1 = key1;
  record.key2 = key2;
}

}  // namespace volta::keys
