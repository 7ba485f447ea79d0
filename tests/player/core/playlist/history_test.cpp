#include "player/core/playlist/history.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace volta::core {
namespace {

namespace settings = platform::settings;

History historyOf(std::initializer_list<const char*> names) {
  History history;
  std::copy(names.begin(), names.end(), history.begin());
  return history;
}

TEST(History, ANewNameGoesFirstAndTheLastDropsOut) {
  History history = historyOf({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
  pushHistory(history, "new");
  EXPECT_EQ(history, historyOf({"new", "0", "1", "2", "3", "4", "5", "6", "7", "8"}));
}

TEST(History, APresentNameMovesUpFromItsPlace) {
  History history = historyOf({"a", "b", "c", "d"});
  pushHistory(history, "c");
  EXPECT_EQ(history, historyOf({"c", "a", "b", "d"}));
  pushHistory(history, "c");
  EXPECT_EQ(history, historyOf({"c", "a", "b", "d"}));
}

class AlbumTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  settings::SettingsStore store_{dir_ / "VOLTA.conf"};
};

TEST_F(AlbumTest, HistoryIsKeptAsTenValues) {
  History history = historyOf({"/l/a.TO2", "/songs/"});
  ASSERT_TRUE(writeHistory(store_, history));
  EXPECT_EQ(store_.readString(settings::kMainKey, "History1", ""), "/songs/");
  EXPECT_EQ(readHistory(store_), history);
}

TEST_F(AlbumTest, ItemsAreAppendedCountedAndRewritten) {
  EXPECT_TRUE(readAlbum(store_).empty());
  ASSERT_TRUE(appendToAlbum(store_, "/l/one.TO2"));
  ASSERT_TRUE(appendToAlbum(store_, "/l/two.TOR"));
  EXPECT_EQ(albumKey(), "Software\\QZ\\VOLTA\\Album");
  EXPECT_EQ(store_.readInt(albumKey(), "Counts", 0), 2);
  EXPECT_EQ(store_.readString(albumKey(), "1", ""), "/l/two.TOR");
  EXPECT_EQ(readAlbum(store_), (std::vector<std::string>{"/l/one.TO2", "/l/two.TOR"}));

  ASSERT_TRUE(rewriteAlbum(store_, {"/l/two.TOR"}));
  EXPECT_EQ(readAlbum(store_), std::vector<std::string>{"/l/two.TOR"});
  EXPECT_FALSE(store_.contains(albumKey(), "1"));
}

TEST_F(AlbumTest, ADamagedCountReadsOnlyTheItemsThatExist) {
  ASSERT_TRUE(appendToAlbum(store_, "/l/one.TO2"));
  ASSERT_TRUE(store_.writeInt(albumKey(), "Counts", 2'000'000'000));
  EXPECT_EQ(readAlbum(store_).size(), 1u);
  ASSERT_TRUE(store_.writeInt(albumKey(), "Counts", -3));
  EXPECT_TRUE(readAlbum(store_).empty());
}

}  // namespace
}  // namespace volta::core
