#include "player/shell/panel/menu_layout.h"

#include <algorithm>

#include "player/shell/panel/command_texts.h"
#include "player/shell/panel/commands.h"

namespace volta::shell {
namespace {

using Kind = MenuEntry::Kind;

MenuEntry item(int id) {
  return {Kind::kCommand, id, {}, {}, {}};
}
MenuEntry separator() {
  return {Kind::kSeparator, 0, {}, {}, {}};
}
MenuEntry subMenu(std::string_view japanese, std::string_view english, std::vector<MenuEntry> children) {
  return {Kind::kSubMenu, 0, japanese, english, std::move(children)};
}
MenuEntry special(Kind kind, std::string_view japanese, std::string_view english) {
  return {kind, 0, japanese, english, {}};
}

std::vector<MenuEntry> buildMenu() {
  using namespace cmd;
  return {
      subMenu("ファイル(&F)", "&File",
              {item(kOpenFile), item(kOpenFolder),
               subMenu("新規リスト(&N)", "&New list", {item(kNewRelativeList), item(kNewAbsoluteList)}),
               item(kEditList), separator(), item(kSaveList), item(kSaveListAs), item(kCloseList), separator(),
               special(Kind::kHistory, "履歴(&H)", "&History"), separator(), item(kLaunchExplorer), separator(),
               item(kExit)}),
      subMenu("演奏(&P)", "&Play",
              {item(kPlay), item(kStop), item(kPause), separator(), item(kPrevious), item(kNext), item(kFast),
               item(kSlow), separator(),
               subMenu("演奏順(&O)", "Play &order",
                       {item(kOrderNormal), item(kOrderRandom), item(kOrderFileName), item(kOrderTitle)}),
               item(kSinglePlay), item(kSingleRepeat), item(kRepeat), separator(),
               subMenu("ポートテンプレート(&T)", "Port &template",
                       {item(kTemplate1), item(kTemplate2), item(kTemplate3), item(kTemplate4), separator(),
                        item(kTemplateOff)})}),
      subMenu("表示(&V)", "&View",
              {item(kPaneWrd), item(kPaneDocument), item(kPaneList), item(kPaneMonitor), item(kPaneWrdDebug),
               separator(), item(kMini), separator(), item(kMenuBar), item(kDisableWrd)}),
      subMenu("アルバム(&A)", "A&lbum", {special(Kind::kAlbum, "", "")}),
      subMenu("設定(&S)", "&Settings",
              {item(kConfiguration), item(kWindowConfiguration), item(kMidiSetting), item(kPortTemplates), separator(),
               item(kMidiThru), item(kSmfKnife), separator(), item(kLanguage)}),
      subMenu("ヘルプ(&H)", "&Help",
              {item(kHelpContents), item(kHelpContentsWinHelp), item(kFaq), separator(), item(kAbout)}),
  };
}

void collectIds(const std::vector<MenuEntry>& entries, std::vector<int>& ids) {
  for (const MenuEntry& entry : entries) {
    if (entry.kind == Kind::kCommand) ids.push_back(entry.id);
    collectIds(entry.children, ids);
  }
}

// Names are shown as they are: an "&" in them must not become an accelerator.
std::string escapeAccelerators(std::string_view name) {
  std::string escaped;
  for (char c : name) {
    if (c == '&') escaped += '&';
    escaped += c;
  }
  return escaped;
}

}  // namespace

const std::vector<MenuEntry>& mainMenu() {
  static const std::vector<MenuEntry> kMenu = buildMenu();
  return kMenu;
}

std::string_view menuText(const MenuEntry& entry, int language) {
  if (entry.kind == Kind::kCommand) return commandText(entry.id, language);
  return language == kJapanese ? entry.japanese : entry.english;
}

std::vector<int> menuCommandIds() {
  std::vector<int> ids;
  collectIds(mainMenu(), ids);
  return ids;
}

std::string_view fileNamePart(std::string_view path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::vector<DynamicItem> albumItems(const std::vector<std::string>& listPaths, int language) {
  std::vector<DynamicItem> items{{cmd::kAlbumEdit, std::string(commandText(cmd::kAlbumEdit, language))},
                                 {cmd::kAlbumAddList, std::string(commandText(cmd::kAlbumAddList, language))}};
  const std::size_t count = std::min<std::size_t>(listPaths.size(), cmd::kAlbumLast - cmd::kAlbumFirst + 1);
  for (std::size_t index = 0; index < count; ++index) {
    items.push_back({cmd::kAlbumFirst + static_cast<int>(index), escapeAccelerators(fileNamePart(listPaths[index]))});
  }
  return items;
}

std::vector<DynamicItem> historyItems(const std::vector<std::string>& names) {
  std::vector<DynamicItem> items;
  const std::size_t count = std::min<std::size_t>(names.size(), cmd::kHistoryCount);
  for (std::size_t index = 0; index < count; ++index) {
    if (names[index].empty()) continue;
    items.push_back({cmd::kHistoryFirst + static_cast<int>(index),
                     "&" + std::to_string(index) + " " + escapeAccelerators(names[index])});
  }
  return items;
}

}  // namespace volta::shell
