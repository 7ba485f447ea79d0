#pragma once
// The main window's menu bar as data, shared by the Japanese and English menus: the
// same items in the same places, each text taken from the command names in the
// chosen language. The album and history sub-menus are filled each time they open.

#include <string>
#include <string_view>
#include <vector>

namespace volta::shell {

struct MenuEntry {
  enum class Kind { kCommand, kSeparator, kSubMenu, kAlbum, kHistory };
  Kind kind = Kind::kCommand;
  int id = 0;                          // the command of a kCommand entry
  std::string_view japanese, english;  // the title of a sub-menu
  std::vector<MenuEntry> children;
};

// The top level: one sub-menu per menu bar title.
const std::vector<MenuEntry>& mainMenu();
// The text of an entry in a language: a command's name or a sub-menu's title.
std::string_view menuText(const MenuEntry& entry, int language);
// Every command reachable through the menus, in menu order (album and history items excluded).
std::vector<int> menuCommandIds();

// Album sub-menu items after the placeholder is removed: edit, add, then one per list
// file (its file name, "&" doubled), up to the last album command number.
struct DynamicItem {
  int id;
  std::string text;  // UTF-8
};
std::vector<DynamicItem> albumItems(const std::vector<std::string>& listPaths, int language);
// History sub-menu: "&<index> <name>" for each non-empty name. An "&" inside a name
// is doubled so it shows as itself.
std::vector<DynamicItem> historyItems(const std::vector<std::string>& names);
// The part of a path after its last slash or backslash.
std::string_view fileNamePart(std::string_view path);

}  // namespace volta::shell
