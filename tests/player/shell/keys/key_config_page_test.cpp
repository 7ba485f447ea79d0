#include "player/shell/keys/key_config_page.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QTest>

#include "player/core/app/command_ids.h"
#include "player/shell/panel/language.h"
#include "tests/support/test_support.h"

namespace volta::shell {
namespace {

namespace cmd = app::cmd;
namespace vk = keys::vk;
namespace settings = platform::settings;

QListWidget& records(TKeyConfigDialog& page) {
  return *page.findChild<QListWidget*>();
}

int indexOf(const keys::KeyTable& table, int command) {
  for (std::size_t index = 0; index < table.records().size(); ++index)
    if (table.records()[index].command == command) return static_cast<int>(index);
  return -1;
}

TEST(KeyConfigPage, ShowsEveryRecordByItsCommandsName) {
  TKeyConfigDialog english(kEnglish);
  EXPECT_EQ(english.windowTitle(), "Key configuration");
  ASSERT_EQ(records(english).count(), 41);
  EXPECT_EQ(records(english).item(0)->text(), "WRD screen");
  EXPECT_EQ(records(english).item(9)->text(), "Play/Pause");
  EXPECT_EQ(records(english).item(40)->text(), "About VOLTA Player");
  EXPECT_EQ(english.key1().text(), "F5");
  EXPECT_EQ(english.key2().text(), "None");
  TKeyConfigDialog japanese(kJapanese);
  EXPECT_EQ(japanese.windowTitle(), "キーカスタマイズ");
  EXPECT_EQ(records(japanese).item(6)->text(), "停止");
}

TEST(KeyConfigPage, KeysPressedInTheFieldsRoundTripThroughTheSettings) {
  test::TempDir dir;
  settings::SettingsStore store(dir / "VOLTA.conf");
  store.writeInt(keys::keyTableKey(), "9002-1", static_cast<std::int32_t>(vk::kPause));
  TKeyConfigDialog page(kEnglish);
  page.read(store);
  const keys::KeyTable read = page.table();
  page.select(indexOf(read, cmd::kPause));
  EXPECT_EQ(page.key1().text(), "Pause");

  // Stop: Ctrl+Shift+S as the second key, and Tab is taken as a key, not as a move.
  page.select(indexOf(read, cmd::kStop));
  QTest::keyClick(&page.key2(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(page.key2().text(), "Ctrl+Shift+S");
  QTest::keyClick(&page.key1(), Qt::Key_Tab);
  QTest::keyClick(&page.key1(), Qt::Key_Control, Qt::ControlModifier);  // a modifier alone changes nothing
  EXPECT_EQ(page.key1().key(), vk::kTab);
  // Choosing another record keeps the edit; the last edit is kept by write().
  page.select(indexOf(read, cmd::kPlayPause));
  QTest::keyClick(&page.key2(), Qt::Key_Backspace);
  EXPECT_EQ(page.key2().key(), 0u);
  ASSERT_TRUE(page.write(store));

  EXPECT_EQ(store.readInt(keys::keyTableKey(), "9000-1", 0), static_cast<std::int32_t>(vk::kTab));
  EXPECT_EQ(store.readInt(keys::keyTableKey(), "9000-2", 0),
            static_cast<std::int32_t>(keys::kCtrl | keys::kShift | vk::letter('S')));
  EXPECT_EQ(store.readInt(keys::keyTableKey(), "9916-2", -1), 0);
  EXPECT_EQ(store.readInt(keys::keyTableKey(), "9002-1", 0), static_cast<std::int32_t>(vk::kPause));
  TKeyConfigDialog reopened(kEnglish);
  reopened.read(store);
  EXPECT_EQ(reopened.table().records(), page.table().records());
  EXPECT_EQ(keys::KeyTable::read(store).commandOf(keys::kCtrl | keys::kShift | vk::letter('S')), cmd::kStop);

  reopened.restoreDefault();
  EXPECT_EQ(reopened.table().records(), keys::KeyTable::defaults().records());
}

}  // namespace
}  // namespace volta::shell
