#include "player/core/playlist/history.h"

#include <algorithm>

namespace volta::core {

namespace settings = platform::settings;

namespace {

std::string historyName(std::size_t i) {
  return "History" + std::to_string(i);
}

}  // namespace

void pushHistory(History& history, const std::string& name) {
  auto present = std::find(history.begin(), history.end(), name);
  // Entries before the name's place (or all but the last) move down by one.
  auto end = present == history.end() ? history.end() - 1 : present;
  std::move_backward(history.begin(), end, end + 1);
  history.front() = name;
}

History readHistory(const settings::SettingsStore& store) {
  History history;
  for (std::size_t i = 0; i < history.size(); ++i)
    history[i] = store.readString(settings::kMainKey, historyName(i), "");
  return history;
}

bool writeHistory(settings::SettingsStore& store, const History& history) {
  settings::SettingsBatch batch;
  for (std::size_t i = 0; i < history.size(); ++i)
    batch.setString(settings::kMainKey, historyName(i), history[i]);
  return store.apply(batch);
}

std::string albumKey() {
  return settings::subKey("Album");
}

std::vector<std::string> readAlbum(const settings::SettingsStore& store) {
  const std::string key = albumKey();
  const std::int32_t counts = std::max(store.readInt(key, kAlbumCounts, 0), 0);
  std::vector<std::string> items;
  for (std::int32_t i = 0; i < counts && store.contains(key, std::to_string(i)); ++i) {
    items.push_back(store.readString(key, std::to_string(i), ""));
  }
  return items;
}

bool appendToAlbum(settings::SettingsStore& store, const std::string& listPath) {
  const std::string key = albumKey();
  const std::int32_t counts = std::max(store.readInt(key, kAlbumCounts, 0), 0);
  settings::SettingsBatch batch;
  batch.setString(key, std::to_string(counts), listPath).setInt(key, kAlbumCounts, counts + 1);
  return store.apply(batch);
}

bool rewriteAlbum(settings::SettingsStore& store, const std::vector<std::string>& items) {
  const std::string key = albumKey();
  settings::SettingsBatch batch;
  batch.removeKey(key);
  for (std::size_t i = 0; i < items.size(); ++i)
    batch.setString(key, std::to_string(i), items[i]);
  batch.setInt(key, kAlbumCounts, static_cast<std::int32_t>(items.size()));
  return store.apply(batch);
}

}  // namespace volta::core
