#include "player/shell/panel/menu_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "player/shell/panel/command_texts.h"
#include "player/shell/panel/commands.h"

namespace volta::shell {
namespace {

// Every command of the main window that has a menu item.
const std::vector<int> kMenuCommands{cmd::kOpenFile,
                                     cmd::kOpenFolder,
                                     cmd::kNewRelativeList,
                                     cmd::kNewAbsoluteList,
                                     cmd::kEditList,
                                     cmd::kSaveList,
                                     cmd::kSaveListAs,
                                     cmd::kCloseList,
                                     cmd::kLaunchExplorer,
                                     cmd::kExit,
                                     cmd::kOrderNormal,
                                     cmd::kOrderRandom,
                                     cmd::kOrderFileName,
                                     cmd::kOrderTitle,
                                     cmd::kSinglePlay,
                                     cmd::kSingleRepeat,
                                     cmd::kRepeat,
                                     cmd::kTemplate1,
                                     cmd::kTemplate2,
                                     cmd::kTemplate3,
                                     cmd::kTemplate4,
                                     cmd::kTemplateOff,
                                     cmd::kPaneWrd,
                                     cmd::kPaneDocument,
                                     cmd::kPaneList,
                                     cmd::kPaneMonitor,
                                     cmd::kPaneWrdDebug,
                                     cmd::kMini,
                                     cmd::kConfiguration,
                                     cmd::kWindowConfiguration,
                                     cmd::kMidiSetting,
                                     cmd::kPortTemplates,
                                     cmd::kMenuBar,
                                     cmd::kLanguage,
                                     cmd::kDisableWrd,
                                     cmd::kMidiThru,
                                     cmd::kSmfKnife,
                                     cmd::kHelpContents,
                                     cmd::kHelpContentsWinHelp,
                                     cmd::kFaq,
                                     cmd::kAbout,
                                     cmd::kPlay,
                                     cmd::kStop,
                                     cmd::kPause,
                                     cmd::kNext,
                                     cmd::kPrevious,
                                     cmd::kFast,
                                     cmd::kSlow};

TEST(MenuLayout, EveryCommandHasOneItemAndTextsInBothLanguages) {
  const auto ids = menuCommandIds();
  for (int id : kMenuCommands)
    EXPECT_EQ(std::ranges::count(ids, id), 1) << id;
  EXPECT_EQ(ids.size(), kMenuCommands.size());
  for (int id : ids) {
    EXPECT_FALSE(commandText(id, kJapanese).empty()) << id;
    EXPECT_FALSE(commandText(id, kEnglish).empty()) << id;
  }
  for (const MenuEntry& top : mainMenu()) {
    EXPECT_FALSE(menuText(top, kJapanese).empty());
    EXPECT_NE(menuText(top, kJapanese), menuText(top, kEnglish));
  }
}

TEST(MenuLayout, QuotedTextsAndKeyOnlyCommands) {
  EXPECT_EQ(commandText(cmd::kOpenFile, kJapanese), "ファイルを開く(&O)");
  EXPECT_EQ(commandText(cmd::kOpenFile, kEnglish), "&Open a file");
  EXPECT_EQ(commandText(cmd::kSaveListAs, kJapanese), "リストをファイル名を付けて保存(&A)");
  EXPECT_EQ(commandText(cmd::kSingleRepeat, kEnglish), "Single r&epeat");
  EXPECT_EQ(commandText(cmd::kLanguage, kEnglish), "&Japanese");
  EXPECT_EQ(commandText(cmd::kMenuBar, kJapanese), "&メニューバー");
  // Full screen, play/pause, the page keys and the benchmark are commands without menu items.
  const auto ids = menuCommandIds();
  for (int id : {cmd::kFullScreen, cmd::kPlayPause, cmd::kNextPage, cmd::kPreviousPage, cmd::kBenchmark}) {
    EXPECT_NE(findCommand(id), nullptr) << id;
    EXPECT_EQ(std::ranges::count(ids, id), 0) << id;
  }
  EXPECT_EQ(commandText(12345, kEnglish), "");
}

TEST(MenuLayout, PlainNamesDropAcceleratorsAndDots) {
  EXPECT_EQ(plainCommandName(cmd::kStop, kJapanese), "停止");
  EXPECT_EQ(plainCommandName(cmd::kStop, kEnglish), "Stop");
  EXPECT_EQ(plainCommandName(cmd::kConfiguration, kJapanese), "環境設定");
  EXPECT_EQ(plainCommandName(cmd::kConfiguration, kEnglish), "Configuration");
  EXPECT_EQ(plainCommandName(cmd::kNewRelativeList, kJapanese), ".TOR(相対パス)");
  EXPECT_EQ(plainCommandName(cmd::kMenuBar, kJapanese), "メニューバー");
  EXPECT_EQ(plainCommandName(777, kEnglish), "");
}

TEST(MenuLayout, ChecksOnOrdersModesTemplatesAndPanesOnly) {
  const std::set<int> checkable{cmd::kOrderNormal, cmd::kOrderRandom,  cmd::kOrderFileName, cmd::kOrderTitle,
                                cmd::kSinglePlay,  cmd::kSingleRepeat, cmd::kRepeat,        cmd::kTemplate1,
                                cmd::kTemplate2,   cmd::kTemplate3,    cmd::kTemplate4,     cmd::kTemplateOff,
                                cmd::kPaneWrd,     cmd::kPaneDocument, cmd::kPaneList,      cmd::kPaneMonitor,
                                cmd::kPaneWrdDebug};
  for (const CommandText& command : commandTexts()) {
    EXPECT_EQ(command.checkable, checkable.contains(command.id)) << command.id;
  }
}

TEST(MenuLayout, AlbumItemsFollowEditAndAddWithFileNames) {
  const auto items = albumItems({"/home/u/lists/a.TO2", "C:\\old\\b&c.TOR", "plain.TOR"}, kJapanese);
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].id, 300);
  EXPECT_EQ(items[0].text, "編集(&A)...");
  EXPECT_EQ(items[1].id, 301);
  EXPECT_EQ(items[1].text, "現在のリストを追加(&N)");
  EXPECT_EQ(items[2].id, 310);
  EXPECT_EQ(items[2].text, "a.TO2");
  EXPECT_EQ(items[3].id, 311);
  EXPECT_EQ(items[3].text, "b&&c.TOR");
  EXPECT_EQ(items[4].text, "plain.TOR");
  EXPECT_EQ(albumItems({}, kEnglish)[1].text, "Add &the list.");
}

TEST(MenuLayout, AlbumItemsStopBeforeTheNextCommandNumbers) {
  const std::vector<std::string> many(1000, "x.TO2");
  const auto items = albumItems(many, kEnglish);
  EXPECT_EQ(items.back().id, cmd::kAlbumLast);
  EXPECT_LT(items.back().id, cmd::kOpenFile);
}

TEST(MenuLayout, HistoryItemsNumberTheNonEmptyEntries) {
  const auto items = historyItems({"/a/one.mid", "", "/b/R&B/", "x", "x", "x", "x", "x", "x", "x", "eleventh"});
  ASSERT_EQ(items.size(), 9u);
  EXPECT_EQ(items[0].id, cmd::kHistoryFirst);
  EXPECT_EQ(items[0].text, "&0 /a/one.mid");
  EXPECT_EQ(items[1].id, cmd::kHistoryFirst + 2);
  EXPECT_EQ(items[1].text, "&2 /b/R&&B/");
  EXPECT_EQ(items.back().id, cmd::kHistoryFirst + 9);
}

}  // namespace
}  // namespace volta::shell
