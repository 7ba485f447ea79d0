#pragma once
// The recently opened names and the album of list files, kept in the settings.

#include <array>
#include <string>
#include <vector>

#include "platform/settings/settings_store.h"

namespace volta::core {

using History = std::array<std::string, 10>;

// Puts a name at the front: one already present moves up from its place, else the last drops out.
void pushHistory(History& history, const std::string& name);
// "History0" ... "History9" of the main key.
History readHistory(const platform::settings::SettingsStore& store);
bool writeHistory(platform::settings::SettingsStore& store, const History& history);

// The album's key and its item count value; item i is the string value named i in decimal.
std::string albumKey();
inline constexpr const char* kAlbumCounts = "Counts";

// The items 0 .. Counts-1, up to the first missing one (a damaged count cannot run away).
std::vector<std::string> readAlbum(const platform::settings::SettingsStore& store);
// Appends an item as number Counts and increments Counts, in one write.
bool appendToAlbum(platform::settings::SettingsStore& store, const std::string& listPath);
// Replaces the items by these, numbered from 0; items beyond them are removed.
bool rewriteAlbum(platform::settings::SettingsStore& store, const std::vector<std::string>& items);

}  // namespace volta::core
