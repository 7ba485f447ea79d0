#include "player/shell/panel/button_bar.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QImage>
#include <QSignalSpy>

#include "player/shell/panel/command_texts.h"
#include "player/shell/panel/commands.h"

namespace volta::shell {
namespace {

QImage iconImage(const QAction* action) {
  return action->icon().pixmap(QSize(ButtonBar::kPictureWidth, ButtonBar::kPictureHeight)).toImage();
}

QImage pictureImage(int command, bool active) {
  return ButtonBar::picture(command, active).toImage();
}

TEST(ButtonBar, HoldsTheKnownCommandsOfTheRow) {
  ButtonBar bar;
  std::vector<int> row = defaultButtonRow();
  row.insert(row.begin() + 2, 4242);  // names no command
  bar.setButtons(row, kEnglish);
  EXPECT_EQ(bar.buttons(), defaultButtonRow());
  ASSERT_NE(bar.action(cmd::kNext), nullptr);
  EXPECT_EQ(bar.action(cmd::kNext)->data().toInt(), cmd::kNext);
  EXPECT_EQ(bar.action(cmd::kNext)->text(), "Next");
  EXPECT_EQ(bar.action(4242), nullptr);
  bar.setButtons({cmd::kStop}, kJapanese);
  EXPECT_EQ(bar.buttons(), std::vector<int>{cmd::kStop});
  EXPECT_EQ(bar.action(cmd::kStop)->text(), "停止");
}

TEST(ButtonBar, EveryPictureIsDrawnAndTheSecondPicturesDiffer) {
  for (int id : defaultButtonRow()) {
    const QImage normal = pictureImage(id, false);
    EXPECT_NE(normal, QImage(normal.size(), normal.format())) << id;  // not blank
  }
  for (int id : {cmd::kPlay, cmd::kFast, cmd::kSlow, cmd::kPrevious, cmd::kNext}) {
    EXPECT_NE(pictureImage(id, false), pictureImage(id, true)) << id;
  }
  EXPECT_NE(pictureImage(cmd::kFast, false), pictureImage(cmd::kNext, false));
  EXPECT_NE(pictureImage(cmd::kRepeat, false), pictureImage(cmd::kSinglePlay, false));  // named by text
}

TEST(ButtonBar, PicturesAndEnablingFollowTheState) {
  ButtonBar bar;
  bar.setButtons(defaultButtonRow(), kEnglish);
  QAction* play = bar.action(cmd::kPlay);
  QAction* fast = bar.action(cmd::kFast);
  QAction* next = bar.action(cmd::kNext);
  EXPECT_EQ(iconImage(play), pictureImage(cmd::kPlay, false));
  EXPECT_FALSE(bar.action(cmd::kStop)->isEnabled());

  ButtonState state;
  state.playing = true;
  state.speed = 2;
  state.entries = 4;
  bar.setState(state);
  EXPECT_EQ(iconImage(play), pictureImage(cmd::kPlay, true));
  EXPECT_EQ(iconImage(fast), pictureImage(cmd::kFast, true));
  EXPECT_EQ(iconImage(bar.action(cmd::kSlow)), pictureImage(cmd::kSlow, false));
  EXPECT_EQ(iconImage(next), pictureImage(cmd::kNext, false));
  EXPECT_TRUE(bar.action(cmd::kStop)->isEnabled());

  state.selecting = true;
  state.speed = 0;
  state.locked = true;
  bar.setState(state);
  EXPECT_EQ(iconImage(next), pictureImage(cmd::kNext, true));
  EXPECT_EQ(iconImage(bar.action(cmd::kPrevious)), pictureImage(cmd::kPrevious, true));
  EXPECT_EQ(iconImage(fast), pictureImage(cmd::kFast, false));
  EXPECT_FALSE(play->isEnabled());
  EXPECT_TRUE(bar.action(cmd::kPaneWrd)->isEnabled());

  // A new row keeps showing the current state.
  bar.setButtons({cmd::kPlay}, kEnglish);
  EXPECT_EQ(iconImage(bar.action(cmd::kPlay)), pictureImage(cmd::kPlay, true));
}

TEST(ButtonBar, PressingAButtonEmitsItsCommand) {
  ButtonBar bar;
  bar.setButtons(defaultButtonRow(), kEnglish);
  QSignalSpy spy(&bar, &ButtonBar::command);
  bar.action(cmd::kMini)->trigger();
  bar.action(cmd::kPaneDocument)->trigger();
  ASSERT_EQ(spy.count(), 2);
  EXPECT_EQ(spy.at(0).at(0).toInt(), cmd::kMini);
  EXPECT_EQ(spy.at(1).at(0).toInt(), cmd::kPaneDocument);
}

TEST(ButtonBar, ANewRowFromInsideAButtonReplacesTheOldButtons) {
  ButtonBar bar;
  bar.setButtons(defaultButtonRow(), kEnglish);
  QObject::connect(&bar, &ButtonBar::command, &bar, [&bar](int) {
    bar.setButtons({cmd::kStop, cmd::kPlay}, kJapanese);
  });
  bar.action(cmd::kMini)->trigger();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(bar.buttons(), (std::vector<int>{cmd::kStop, cmd::kPlay}));
  EXPECT_EQ(bar.findChildren<QAction*>(Qt::FindDirectChildrenOnly).size(), 2 + 1);  // and the bar's toggle
}

}  // namespace
}  // namespace volta::shell
