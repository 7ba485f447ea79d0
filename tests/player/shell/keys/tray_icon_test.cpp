#include "player/shell/keys/tray_icon.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QSignalSpy>

#include "player/core/app/command_ids.h"

namespace volta::shell {
namespace {

namespace cmd = app::cmd;

std::vector<int> commandsOf(QSignalSpy& spy) {
  std::vector<int> ids;
  for (const QList<QVariant>& arguments : spy)
    ids.push_back(arguments.at(0).toInt());
  spy.clear();
  return ids;
}

TEST(TrayIcon, MenuItemsAndMouseActionsBecomeCommands) {
  TTrayIcon tray;
  QSignalSpy spy(&tray, &TTrayIcon::command);
  QStringList texts;
  for (QAction* action : tray.menu().actions()) {
    texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    if (!action->isSeparator()) action->trigger();
  }
  EXPECT_EQ(texts.join(' '), "&PLAY &STOP &PAUSE - &NEXT &BACK - E&xit");
  EXPECT_EQ(commandsOf(spy),
            (std::vector<int>{cmd::kPlay, cmd::kStop, cmd::kPause, cmd::kNext, cmd::kPrevious, cmd::kExit}));
  tray.activate(QSystemTrayIcon::Trigger);
  tray.activate(QSystemTrayIcon::DoubleClick);
  tray.activate(QSystemTrayIcon::Context);
  tray.activate(QSystemTrayIcon::MiddleClick);
  EXPECT_EQ(commandsOf(spy), (std::vector<int>{cmd::kTrayMenu, cmd::kTrayRestore, cmd::kPlayPause}));
}

TEST(TrayIcon, TheMenuIsNotOpenedTwice) {
  TTrayIcon tray;
  int shows = 0;
  QObject::connect(&tray.menu(), &QMenu::aboutToShow, [&] { ++shows; });
  tray.popupMenu(QPoint(10, 10));
  tray.popupMenu(QPoint(50, 50));
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(tray.menu().pos(), QPoint(10, 10));
  tray.menu().hide();
  tray.popupMenu(QPoint(20, 20));
  EXPECT_EQ(shows, 2);
  tray.menu().hide();
}

TEST(TrayIcon, WithoutATrayTheIconIsLeftOutAndThatIsToldOnce) {
  // The offscreen platform has no notification area.
  ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
  TTrayIcon tray;
  QSignalSpy unavailable(&tray, &TTrayIcon::unavailable);
  tray.apply(true);
  tray.apply(false);
  tray.apply(true);
  EXPECT_FALSE(tray.shown());
  EXPECT_EQ(unavailable.count(), 1);
}

TEST(TrayIcon, TheProgramIconHasTheTraysSize) {
  const QIcon icon = programIcon();
  EXPECT_FALSE(icon.isNull());
  EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
}

}  // namespace
}  // namespace volta::shell
