#include "player/shell/keys/key_dispatcher.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QShortcut>
#include <QTest>
#include <QVBoxLayout>

#include "player/core/app/command_ids.h"
#include "tests/support/test_support.h"

namespace volta::shell {
namespace {

namespace cmd = app::cmd;

class KeyDispatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QObject::connect(&dispatcher_, &KeyDispatcher::command, [this](int id) { commands_.push_back(id); });
    auto* layout = new QVBoxLayout(&main_);
    layout->addWidget(first_);
    layout->addWidget(second_);
    pane_.resize(100, 100);
    KeyDispatcher::markPlayerWindow(pane_);
  }
  std::vector<int> take() { return std::exchange(commands_, {}); }

  QWidget main_;
  QLineEdit* first_ = new QLineEdit(&main_);
  QLineEdit* second_ = new QLineEdit(&main_);
  QWidget pane_;
  KeyDispatcher dispatcher_{main_};
  std::vector<int> commands_;
};

TEST_F(KeyDispatcherTest, KeysOfTheTableAndBothAcceleratorTablesBecomeCommands) {
  QTest::keyClick(&main_, Qt::Key_F12);
  QTest::keyClick(first_, Qt::Key_Up, Qt::ControlModifier);
  QTest::keyClick(&main_, Qt::Key_Return, Qt::AltModifier);
  QTest::keyClick(&main_, Qt::Key_W, Qt::ControlModifier);
  QTest::keyClick(&main_, Qt::Key_3, Qt::AltModifier | Qt::KeypadModifier);
  EXPECT_EQ(take(),
            (std::vector<int>{cmd::kStop, cmd::kPrevious, cmd::kFullScreen, cmd::kEnableWave, cmd::kWrdPageFirst + 2}));
  // A pane's own window has the table and the second accelerators, not the main window's.
  QTest::keyClick(&pane_, Qt::Key_F5);
  QTest::keyClick(&pane_, Qt::Key_Return, Qt::AltModifier);
  QTest::keyClick(&pane_, Qt::Key_B, Qt::ControlModifier);
  EXPECT_EQ(take(), (std::vector<int>{cmd::kPaneWrd, cmd::kBenchmark}));
  // A window standing for the main window (the full screen) has its accelerators as well.
  QWidget fullScreen;
  KeyDispatcher::markPlayerWindow(fullScreen, KeyDispatcher::Role::kMain);
  QTest::keyClick(&fullScreen, Qt::Key_Return, Qt::AltModifier);
  EXPECT_EQ(take(), (std::vector<int>{cmd::kFullScreen}));
}

TEST_F(KeyDispatcherTest, ACommandKeyIsNoLongerAKey) {
  main_.show();
  first_->setFocus();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main_));
  // Tab is the next page, not the next field; a key that is no command types as ever.
  QTest::keyClick(first_, Qt::Key_Tab);
  EXPECT_TRUE(first_->hasFocus());
  QTest::keyClick(first_, Qt::Key_A);
  EXPECT_EQ(first_->text(), "a");
  // The table comes before Qt's shortcuts.
  int shortcutFired = 0;
  QShortcut shortcut(QKeySequence(Qt::Key_F12), &main_);
  QObject::connect(&shortcut, &QShortcut::activated, [&] { ++shortcutFired; });
  QTest::keyClick(first_, Qt::Key_F12);
  EXPECT_EQ(shortcutFired, 0);
  EXPECT_EQ(take(), (std::vector<int>{cmd::kNextPage, cmd::kStop}));
  main_.hide();
}

TEST_F(KeyDispatcherTest, DialogsAndUnmarkedWindowsKeepTheirKeys) {
  QDialog dialog(&main_);
  QLineEdit* field = new QLineEdit(&dialog);
  QWidget other;
  QTest::keyClick(field, Qt::Key_F12);
  QTest::keyClick(&dialog, Qt::Key_W, Qt::ControlModifier);
  QTest::keyClick(&other, Qt::Key_F12);
  EXPECT_TRUE(take().empty());
}

TEST_F(KeyDispatcherTest, TheLiveTableIsTheOneSet) {
  test::TempDir dir;
  platform::settings::SettingsStore store(dir / "VOLTA.conf");
  store.writeInt(keys::keyTableKey(), "9000-1", static_cast<std::int32_t>(keys::kAlt | keys::vk::kReturn));
  store.writeInt(keys::keyTableKey(), "9018-1", static_cast<std::int32_t>(keys::kExtended | keys::vk::function(5)));
  dispatcher_.setTable(keys::KeyTable::read(store));
  QTest::keyClick(&main_, Qt::Key_Return, Qt::AltModifier);  // the table before the accelerator
  QTest::keyClick(&main_, Qt::Key_F5);                       // stored with the extended flag: never
  QTest::keyClick(&main_, Qt::Key_F12);                      // Stop's first key was F12
  EXPECT_EQ(take(), (std::vector<int>{cmd::kStop}));
}

}  // namespace
}  // namespace volta::shell
