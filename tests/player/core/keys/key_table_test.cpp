#include "player/core/keys/key_table.h"

#include <gtest/gtest.h>

#include <set>

#include "player/core/app/command_ids.h"
#include "tests/support/test_support.h"

namespace volta::keys {
namespace {

namespace cmd = app::cmd;
namespace settings = platform::settings;

class KeyTableTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  settings::SettingsStore store_{dir_ / "VOLTA.conf"};
};

TEST_F(KeyTableTest, DefaultsHoldEveryCommandOnceInTheirOrder) {
  const KeyTable table = KeyTable::defaults();
  ASSERT_EQ(table.records().size(), 41u);
  std::set<int> commands;
  for (const KeyRecord& record : table.records())
    commands.insert(record.command);
  EXPECT_EQ(commands.size(), 41u);
  EXPECT_EQ(table.records().front(), (KeyRecord{cmd::kPaneWrd, vk::function(5), 0}));
  EXPECT_EQ(table.records()[2], (KeyRecord{cmd::kPaneMonitor, vk::function(10), 0}));
  EXPECT_EQ(table.records().back(), (KeyRecord{cmd::kAbout, 0, 0}));
  EXPECT_EQ(table.commandOf(kAlt | vk::function(4)), cmd::kExit);
  EXPECT_EQ(table.commandOf(kShift | vk::function(3)), cmd::kEditList);
  EXPECT_EQ(table.commandOf(kCtrl | vk::letter('I')), cmd::kMidiThru);
  EXPECT_EQ(table.commandOf(vk::function(1)), cmd::kHelpContents);
}

TEST_F(KeyTableTest, EitherKeyOfARecordIssuesItsCommand) {
  const KeyTable table = KeyTable::defaults();
  EXPECT_EQ(table.commandOf(kCtrl | vk::kUp), cmd::kPrevious);
  EXPECT_EQ(table.commandOf(kCtrl | vk::kLeft), cmd::kPrevious);
  EXPECT_EQ(table.commandOf(kCtrl | vk::kDown), cmd::kNext);
  EXPECT_EQ(table.commandOf(vk::function(11)), cmd::kPlayPause);
  EXPECT_EQ(table.commandOf(kCtrl | vk::letter('P')), cmd::kPlayPause);
  // The modifiers are part of the key.
  EXPECT_EQ(table.commandOf(vk::kTab), cmd::kNextPage);
  EXPECT_EQ(table.commandOf(kShift | vk::kTab), cmd::kPreviousPage);
  EXPECT_EQ(table.commandOf(kCtrl | vk::kTab), std::nullopt);
  EXPECT_EQ(table.commandOf(vk::letter('P')), std::nullopt);
}

TEST_F(KeyTableTest, NoKeyIsNoKeyEvenWhereRecordsHoldNone) {
  EXPECT_EQ(KeyTable::defaults().commandOf(0), std::nullopt);
}

TEST_F(KeyTableTest, TheFirstRecordHoldingAKeyWins) {
  // F5 given to Stop as well stays on the WRD pane, whose record comes first.
  store_.writeInt(keyTableKey(), "9000-2", static_cast<std::int32_t>(vk::function(5)));
  const KeyTable table = KeyTable::read(store_);
  EXPECT_EQ(table.commandOf(vk::function(5)), cmd::kPaneWrd);
  EXPECT_EQ(table.commandOf(vk::function(12)), cmd::kStop);
}

TEST_F(KeyTableTest, StoredKeysWinOverTheDefaults) {
  store_.writeInt(keyTableKey(), "9018-1", static_cast<std::int32_t>(kCtrl | vk::letter('1')));
  store_.writeInt(keyTableKey(), "9002-2", static_cast<std::int32_t>(vk::kPause));
  store_.writeInt(keyTableKey(), "9916-2", 0);  // Ctrl+P taken away
  const KeyTable table = KeyTable::read(store_);
  EXPECT_EQ(table.commandOf(kCtrl | vk::letter('1')), cmd::kPaneWrd);
  EXPECT_EQ(table.commandOf(vk::function(5)), std::nullopt);
  EXPECT_EQ(table.commandOf(vk::kPause), cmd::kPause);
  EXPECT_EQ(table.commandOf(kCtrl | vk::letter('P')), std::nullopt);
  EXPECT_EQ(table.commandOf(vk::function(11)), cmd::kPlayPause);  // the key not stored stays
}

TEST_F(KeyTableTest, AStoredKeyWithTheExtendedFlagNeverFires) {
  store_.writeInt(keyTableKey(), "9000-1", static_cast<std::int32_t>(kExtended | vk::kEnd));
  const KeyTable table = KeyTable::read(store_);
  EXPECT_EQ(table.records()[6].key1, kExtended | vk::kEnd);
  // No pressed key carries the flag, whatever the modifiers.
  for (bool shift : {false, true})
    for (bool ctrl : {false, true})
      for (bool alt : {false, true})
        EXPECT_EQ(table.commandOf(keyCode(vk::kEnd, shift, ctrl, alt)), std::nullopt);
  EXPECT_EQ(keyCode(kExtended | vk::kEnd, false, false, false), vk::kEnd);
}

TEST_F(KeyTableTest, StoredValuesThatAreNoKeysKeepTheDefaults) {
  store_.writeString(keyTableKey(), "9018-1", "F7");
  store_.writeInt(keyTableKey(), "9020-1", -1);
  store_.writeInt(keyTableKey(), "9022-1", 0x10000);
  store_.writeBinary(keyTableKey(), "9024-1", {1, 2, 3, 4});
  const KeyTable table = KeyTable::read(store_);
  EXPECT_EQ(table.records(), KeyTable::defaults().records());
}

TEST_F(KeyTableTest, ReadsTheKeysOfASettingsFileWrittenByHand) {
  const std::string text = "[General]\nPORT_A=Trace\n\n[NewKeyConfigTable]\n9018-1=628\n9000-2=2164\n9000-1=hello\n";
  test::writeFile(dir_ / "VOLTA.conf", std::vector<std::uint8_t>(text.begin(), text.end()));
  const KeyTable table = KeyTable::read(store_);
  EXPECT_EQ(table.commandOf(kCtrl | vk::function(5)), cmd::kPaneWrd);
  EXPECT_EQ(table.records()[6].key2, kExtended | vk::function(5));
  EXPECT_EQ(table.records()[6].key1, vk::function(12));  // no number: the default
}

TEST_F(KeyTableTest, WritingStoresBothKeysOfEveryRecordAndReadsBackTheSame) {
  KeyTable table = KeyTable::defaults();
  table.setKeys(0, kAlt | vk::letter('W'), vk::kHome);
  ASSERT_TRUE(table.write(store_));
  EXPECT_EQ(store_.valueNames(keyTableKey()).size(), 82u);
  EXPECT_EQ(store_.readInt(keyTableKey(), "9018-1", 0), static_cast<std::int32_t>(kAlt | vk::letter('W')));
  EXPECT_EQ(store_.readInt(keyTableKey(), "9018-2", 0), static_cast<std::int32_t>(vk::kHome));
  EXPECT_EQ(store_.readInt(keyTableKey(), "3000-1", -1), 0);
  EXPECT_EQ(KeyTable::read(store_).records(), table.records());
}

TEST(KeyNames, ReadAsTheUserTypesThem) {
  EXPECT_EQ(keyName(0), "");
  EXPECT_EQ(keyName(kCtrl | kShift | vk::function(5)), "Ctrl+Shift+F5");
  EXPECT_EQ(keyName(kAlt | vk::numpad(0)), "Alt+Num 0");
  EXPECT_EQ(keyName(kShift | vk::kTab), "Shift+Tab");
  EXPECT_EQ(keyName(kCtrl | vk::kLeft), "Ctrl+Left");
  EXPECT_EQ(keyName(kExtended | vk::kEnd), "Ext+End");
  EXPECT_EQ(keyName(vk::letter('Q')), "Q");
  EXPECT_EQ(keyName(0xE5), "#E5");
}

}  // namespace
}  // namespace volta::keys
