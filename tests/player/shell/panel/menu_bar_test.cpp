#include "player/shell/panel/menu_bar.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <set>

#include "player/shell/panel/command_texts.h"
#include "player/shell/panel/commands.h"
#include "player/shell/panel/menu_layout.h"

namespace volta::shell {
namespace {

// Command actions of every menu below `widget`, in order.
void collect(const QWidget* widget, std::vector<QAction*>& found) {
  for (QAction* action : widget->actions()) {
    if (QMenu* sub = action->menu()) {
      collect(sub, found);
    } else if (!action->isSeparator()) {
      found.push_back(action);
    }
  }
}

QMenu* menuTitled(QMenuBar& bar, const QString& title) {
  for (QAction* action : bar.actions()) {
    if (action->text() == title) return action->menu();
  }
  return nullptr;
}

QMenu* subMenuTitled(QMenu* menu, const QString& title) {
  for (QAction* action : menu->actions()) {
    if (action->text() == title) return action->menu();
  }
  return nullptr;
}

struct Recorder {
  std::vector<int> commands;
  std::vector<std::string> album{"/lists/first.TO2", "/lists/second.TOR"};
  std::vector<std::string> history{"/music/a.mid", "", "/music/b.rcp"};
  MenuHooks hooks() {
    return {[this](int id) { commands.push_back(id); }, [this] { return album; }, [this] { return history; }};
  }
};

std::vector<int> ids(const std::vector<QAction*>& actions) {
  std::vector<int> result;
  for (QAction* action : actions)
    result.push_back(action->data().toInt());
  return result;
}

TEST(MenuBar, BothLanguagesHoldEveryCommandWithItsText) {
  for (int language : {kJapanese, kEnglish}) {
    QMenuBar bar;
    Recorder recorder;
    const MenuActions actions = buildMenuBar(&bar, language, recorder.hooks());
    std::vector<QAction*> found;
    collect(&bar, found);
    std::vector<int> expected = menuCommandIds();
    // Before they open, the album and the history sub-menus hold their placeholder.
    expected.push_back(cmd::kAlbumPlaceholder);
    expected.push_back(cmd::kAlbumPlaceholder);
    std::vector<int> got = ids(found);
    std::ranges::sort(expected);
    std::ranges::sort(got);
    EXPECT_EQ(got, expected) << language;
    for (int id : menuCommandIds()) {
      ASSERT_NE(actions.action(id), nullptr) << id;
      EXPECT_EQ(actions.action(id)->text().toStdString(), commandText(id, language)) << id;
      EXPECT_EQ(actions.action(id)->isCheckable(), findCommand(id)->checkable) << id;
    }
  }
}

TEST(MenuBar, RebuildingSwitchesTheLanguage) {
  QMenuBar bar;
  Recorder recorder;
  buildMenuBar(&bar, kEnglish, recorder.hooks());
  ASSERT_NE(menuTitled(bar, "&File"), nullptr);
  const MenuActions japanese = buildMenuBar(&bar, kJapanese, recorder.hooks());
  EXPECT_EQ(menuTitled(bar, "&File"), nullptr);
  ASSERT_NE(menuTitled(bar, "ファイル(&F)"), nullptr);
  EXPECT_EQ(bar.actions().size(), mainMenu().size());
  EXPECT_EQ(japanese.action(cmd::kOpenFile)->text(), "ファイルを開く(&O)");
  EXPECT_EQ(japanese.action(cmd::kLanguage)->text(), "&English");
}

TEST(MenuBar, SwitchingFromInsideAnItemLeavesNoOldMenusBehind) {
  QMenuBar bar;
  MenuActions actions;
  int language = kJapanese;
  MenuHooks hooks;
  hooks.onCommand = [&](int id) {
    if (id != cmd::kLanguage) return;
    language = language == kJapanese ? kEnglish : kJapanese;
    actions = buildMenuBar(&bar, language, hooks);
  };
  actions = buildMenuBar(&bar, language, hooks);
  actions.action(cmd::kLanguage)->trigger();
  actions.action(cmd::kLanguage)->trigger();
  actions.action(cmd::kLanguage)->trigger();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(language, kEnglish);
  EXPECT_EQ(actions.action(cmd::kLanguage)->text(), "&Japanese");
  EXPECT_EQ(bar.findChildren<QMenu*>(Qt::FindDirectChildrenOnly).size(), static_cast<qsizetype>(mainMenu().size()));
}

TEST(MenuBar, ChoosingAnItemReportsItsCommandAndChecksCanBeSet) {
  QMenuBar bar;
  Recorder recorder;
  const MenuActions actions = buildMenuBar(&bar, kEnglish, recorder.hooks());
  actions.action(cmd::kSaveList)->trigger();
  actions.action(cmd::kOrderRandom)->trigger();
  EXPECT_EQ(recorder.commands, (std::vector<int>{cmd::kSaveList, cmd::kOrderRandom}));
  actions.setChecked(cmd::kPaneList, true);
  EXPECT_TRUE(actions.action(cmd::kPaneList)->isChecked());
  actions.setEnabled(cmd::kStop, false);
  EXPECT_FALSE(actions.action(cmd::kStop)->isEnabled());
  actions.setChecked(99999, true);  // unknown commands are ignored
}

TEST(MenuBar, AlbumAndHistoryAreFilledWhenTheyOpen) {
  QMenuBar bar;
  Recorder recorder;
  buildMenuBar(&bar, kEnglish, recorder.hooks());
  QMenu* album = menuTitled(bar, "A&lbum");
  ASSERT_NE(album, nullptr);
  ASSERT_EQ(album->actions().size(), 1);
  EXPECT_EQ(album->actions()[0]->text(), "DUMMY");

  emit album->aboutToShow();
  std::vector<QAction*> items;
  collect(album, items);
  EXPECT_EQ(ids(items), (std::vector<int>{300, 301, 310, 311}));
  EXPECT_EQ(items[2]->text(), "first.TO2");
  items[3]->trigger();

  recorder.album.pop_back();
  emit album->aboutToShow();
  EXPECT_EQ(album->actions().size(), 3);

  QMenu* history = subMenuTitled(menuTitled(bar, "&File"), "&History");
  ASSERT_NE(history, nullptr);
  emit history->aboutToShow();
  items.clear();
  collect(history, items);
  EXPECT_EQ(ids(items), (std::vector<int>{cmd::kHistoryFirst, cmd::kHistoryFirst + 2}));
  EXPECT_EQ(items[1]->text(), "&2 /music/b.rcp");
  items[0]->trigger();
  EXPECT_EQ(recorder.commands, (std::vector<int>{311, cmd::kHistoryFirst}));
}

}  // namespace
}  // namespace volta::shell
