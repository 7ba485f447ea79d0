#include "player/core/playlist/playlist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "player/core/app/command_ids.h"

namespace volta::core {
namespace {

MIDIFile named(const std::string& name) {
  MIDIFile entry;
  entry.fileName = name;
  return entry;
}

PlayList listOf(std::initializer_list<std::pair<const char*, const char*>> namesAndTitles) {
  PlayList list;
  for (const auto& [name, title] : namesAndTitles) {
    MIDIFile entry;
    entry.fileName = name;
    entry.title = title;
    list.append(entry);
  }
  return list;
}

std::vector<std::uint32_t> identity(std::size_t n) {
  std::vector<std::uint32_t> order(n);
  std::iota(order.begin(), order.end(), 0u);
  return order;
}

TEST(PlayOrder, SortsByStoredNameAndTitleBytesCaseSensitively) {
  PlayList list = listOf({{"/b.mid", "beta"}, {"/B.mid", "Alpha"}, {"/a.mid", "\x82\xa0"}, {"/c.mid", "alpha"}});
  list.applyOrder(kOrderFileName, 0, 0);
  EXPECT_EQ(list.order, (std::vector<std::uint32_t>{1, 2, 0, 3}));  // "/B" < "/a" < "/b" < "/c"
  list.applyOrder(kOrderFileNameReverse, 0, 0);
  EXPECT_EQ(list.order, (std::vector<std::uint32_t>{3, 0, 2, 1}));
  // Double-byte titles compare as unsigned bytes, after every ASCII letter.
  list.applyOrder(kOrderTitle, 0, 0);
  EXPECT_EQ(list.order, (std::vector<std::uint32_t>{1, 3, 0, 2}));
  list.applyOrder(kOrderTitleReverse, 0, 0);
  EXPECT_EQ(list.order, (std::vector<std::uint32_t>{2, 0, 3, 1}));
  list.applyOrder(kOrderAdded, 0, 0);
  EXPECT_EQ(list.order, identity(4));
}

TEST(PlayOrder, EqualKeysEndWhereTheListsQuicksortLeavesThem) {
  // Worked by hand through the exchanges; a stable sort would give 1 3 0 2.
  PlayList list = listOf({{"/0", "x"}, {"/1", "a"}, {"/2", "x"}, {"/3", "a"}});
  list.applyOrder(kOrderTitle, 0, 0);
  EXPECT_EQ(list.order, (std::vector<std::uint32_t>{1, 3, 2, 0}));
}

TEST(PlayOrder, TheCurrentEntryStaysCurrent) {
  PlayList list = listOf({{"/c", "1"}, {"/a", "2"}, {"/d", "3"}, {"/b", "4"}});
  int position = 2;  // "/d"
  position = list.applyOrder(kOrderFileName, position, 0);
  EXPECT_EQ(position, 3);
  EXPECT_EQ(list.entryAt(static_cast<std::size_t>(position)).fileName, "/d");
  position = list.applyOrder(kOrderRandom, position, 42);
  EXPECT_EQ(list.entryAt(static_cast<std::size_t>(position)).fileName, "/d");
  // No current entry: position 0.
  EXPECT_EQ(list.applyOrder(kOrderTitle, -1, 0), 0);
  EXPECT_EQ(list.applyOrder(kOrderTitle, 99, 0), 0);
}

TEST(PlayOrder, RandomOrderIsAPermutationFixedByItsSeed) {
  PlayList list;
  for (int i = 0; i < 200; ++i)
    list.append(named("/" + std::to_string(i)));
  list.applyOrder(kOrderRandom, 0, 7);
  const auto first = list.order;
  auto sorted = first;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, identity(200));
  EXPECT_NE(first, identity(200));
  list.applyOrder(kOrderRandom, 0, 7);
  EXPECT_EQ(list.order, first);
  list.applyOrder(kOrderRandom, 0, 8);
  EXPECT_NE(list.order, first);
}

TEST(PlayOrder, RandomOrderOfOneEntryOrNone) {
  PlayList one = listOf({{"/only", "t"}});
  EXPECT_EQ(one.applyOrder(kOrderRandom, 0, 123), 0);
  EXPECT_EQ(one.order, identity(1));
  PlayList none;
  EXPECT_EQ(none.applyOrder(kOrderRandom, 0, 123), 0);
  EXPECT_TRUE(none.order.empty());
}

TEST(PlayOrder, AppendedEntriesPlayLastUntilTheOrderIsApplied) {
  PlayList list = listOf({{"/b", ""}, {"/a", ""}});
  list.applyOrder(kOrderFileName, 0, 0);
  list.append(named("/0"));
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list.entryAt(2).fileName, "/0");
  list.applyOrder(kOrderFileName, 0, 0);
  EXPECT_EQ(list.entryAt(0).fileName, "/0");
}

TEST(PlayOrder, FullPathJoinsTheBaseFolderAndTheStoredName) {
  PlayList list;
  list.baseFolder = "/lists";
  list.append(named("\\sub\\a.mid"));
  EXPECT_EQ(list.fullPathAt(0), std::filesystem::path("/lists/sub/a.mid"));
  list.clear();
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(list.baseFolder.empty());
  list.append(named("/abs/b.mid"));
  EXPECT_EQ(list.fullPathAt(0), std::filesystem::path("/abs/b.mid"));
}

TEST(PlayOrderCommands, CycleAndHeaders) {
  EXPECT_EQ(PlayList::nextSortMode(app::cmd::kOrderFileName, kOrderAdded), kOrderFileName);
  EXPECT_EQ(PlayList::nextSortMode(app::cmd::kOrderFileName, kOrderFileName), kOrderFileNameReverse);
  EXPECT_EQ(PlayList::nextSortMode(app::cmd::kOrderFileName, kOrderFileNameReverse), kOrderAdded);
  EXPECT_EQ(PlayList::nextSortMode(app::cmd::kOrderFileName, kOrderTitleReverse), kOrderFileName);
  EXPECT_EQ(PlayList::nextSortMode(app::cmd::kOrderTitle, kOrderRandom), kOrderTitle);
  EXPECT_EQ(PlayList::nextSortMode(app::cmd::kOrderTitle, kOrderTitle), kOrderTitleReverse);
  EXPECT_EQ(PlayList::nextSortMode(app::cmd::kOrderTitle, kOrderTitleReverse), kOrderAdded);
  EXPECT_EQ(PlayList::nextSortMode(app::cmd::kOrderRandom, kOrderRandom), kOrderRandom);
  EXPECT_EQ(PlayList::nextSortMode(app::cmd::kOrderNormal, kOrderTitle), kOrderAdded);

  using Headers = std::pair<std::string, std::string>;
  EXPECT_EQ(PlayList::columnHeaders(kOrderRandom), Headers("Title (Random order)", "File name"));
  EXPECT_EQ(PlayList::columnHeaders(kOrderFileNameReverse), Headers("Title", "File name (reverse)"));
  EXPECT_EQ(PlayList::columnHeaders(kOrderTitle), Headers("Title (alphabetic)", "File name"));
  EXPECT_EQ(PlayList::columnHeaders(6), Headers("Internal ERROR!!", "Internal ERROR!!"));
  EXPECT_EQ(PlayList::columnHeaders(-1), Headers("Internal ERROR!!", "Internal ERROR!!"));
}

}  // namespace
}  // namespace volta::core
