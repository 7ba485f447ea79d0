#include "player/core/listedit/folder_browser.h"

#include <gtest/gtest.h>

#include "tests/player/core/listedit/text_reader.h"

namespace volta::core {
namespace {

namespace fs = std::filesystem;
using Kind = BrowserItem::Kind;
using testing::writeText;

class FolderBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* song : {"a.rcp", "b.mid", "c.G36", "d.smf", "e.R36", "f.kar", "g.MFF"})
      writeText(base_ / song, song);
    writeText(base_ / "readme.txt", "");
    writeText(base_ / "sub" / "deeper" / "x.mid", "X");
    fs::create_directories(base_ / "Other");
    writeText(outside_ / "y.mid", "Y");
  }
  std::vector<std::string> labels(const FolderBrowser& browser, const SongFilter& filter = {}) {
    std::vector<std::string> out;
    for (const BrowserItem& item : browser.items(filter, reader_))
      out.push_back(item.label());
    return out;
  }

  test::TempDir dir_;
  fs::path base_ = dir_ / "lists";
  fs::path outside_ = dir_ / "elsewhere";
  testing::TextReader reader_;
};

TEST_F(FolderBrowserTest, ARelativeListStartsAtItsBaseWithoutAWayUpOrPlaces) {
  FolderBrowser browser(base_.string(), "/", {"/"});
  EXPECT_TRUE(browser.relative());
  EXPECT_EQ(browser.currentFolder(), "/");
  EXPECT_EQ(fs::path(browser.currentPath()).lexically_normal(), base_ / "");
  // Folders, then songs grouped MID, SMF, MFF, KAR, R36, RCP, G36.
  EXPECT_EQ(labels(browser), (std::vector<std::string>{" [Other]", " [sub]", "b.mid", "d.smf", "g.MFF", "f.kar",
                                                       "e.R36", "a.rcp", "c.G36"}));
  EXPECT_FALSE(browser.choose({Kind::kUp, ".."}));
  EXPECT_FALSE(browser.choose({Kind::kFolder, ".."}));
  EXPECT_FALSE(browser.choose({Kind::kPlace, "/"}));
  EXPECT_EQ(browser.currentFolder(), "/");
}

TEST_F(FolderBrowserTest, ARelativeListGoesDownAndBackUpToItsBase) {
  FolderBrowser browser(base_.string(), "", {});
  ASSERT_TRUE(browser.choose({Kind::kFolder, "sub"}));
  EXPECT_EQ(labels(browser), (std::vector<std::string>{" [ Up ]", " [deeper]"}));
  ASSERT_TRUE(browser.choose({Kind::kFolder, "deeper"}));
  EXPECT_EQ(browser.currentFolder(), "/sub/deeper");
  EXPECT_EQ(browser.currentPath(), base_ / "sub" / "deeper");
  EXPECT_EQ(browser.entryName("x.mid"), "/sub/deeper/x.mid");
  ASSERT_TRUE(browser.choose({Kind::kUp, ".."}));
  EXPECT_EQ(browser.currentFolder(), "/sub");
  ASSERT_TRUE(browser.choose({Kind::kFolder, ".."}));  // the folder entry ".." goes up too
  EXPECT_EQ(browser.currentFolder(), "/");
  EXPECT_EQ(browser.entryName("b.mid"), "/b.mid");
}

TEST_F(FolderBrowserTest, ARelativeListRefusesFoldersOutsideItsBase) {
  FolderBrowser browser(base_.string(), "", {});
  EXPECT_FALSE(browser.goTo(outside_));
  EXPECT_FALSE(browser.goTo(base_ / "sub" / ".." / ".."));
  EXPECT_FALSE(browser.goTo(dir_ / "lists-not"));  // a name beginning like the base is not inside
  fs::create_directories(dir_ / "lists-not");
  EXPECT_FALSE(browser.goTo(dir_ / "lists-not"));
  EXPECT_FALSE(browser.goTo(base_ / "missing"));
  EXPECT_FALSE(browser.choose({Kind::kFolder, "../elsewhere"}));
  EXPECT_EQ(browser.currentFolder(), "/");
  EXPECT_TRUE(browser.goTo(base_ / "sub" / "deeper" / ""));
  EXPECT_EQ(browser.currentFolder(), "/sub/deeper");
  EXPECT_TRUE(browser.goTo(base_));
  EXPECT_EQ(browser.currentFolder(), "/");
}

TEST_F(FolderBrowserTest, ALinkFromOutsideIntoTheBaseIsInside) {
  fs::create_directory_symlink(base_ / "sub", dir_ / "shortcut");
  FolderBrowser browser(base_.string(), "", {});
  EXPECT_TRUE(browser.goTo(dir_ / "shortcut"));
  EXPECT_EQ(browser.currentFolder(), "/sub");
}

TEST_F(FolderBrowserTest, AnAbsoluteListOffersTheWayUpFoldersAndPlaces) {
  const std::vector<std::string> places{"/", dir_.path().string()};
  FolderBrowser browser("", (base_ / "sub").string(), places);
  EXPECT_FALSE(browser.relative());
  EXPECT_EQ(browser.currentFolder(), (base_ / "sub").string());
  const auto items = browser.items({}, reader_);
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].kind, Kind::kUp);
  EXPECT_EQ(items[1].label(), " [deeper]");
  EXPECT_EQ(items[2].label(), " [ -/- ]");
  EXPECT_EQ(items[3], (BrowserItem{Kind::kPlace, dir_.path().string()}));
  ASSERT_TRUE(browser.choose(items[0]));
  EXPECT_EQ(browser.currentFolder(), base_.string());
  EXPECT_EQ(browser.entryName("b.mid"), (base_ / "b.mid").string());
  ASSERT_TRUE(browser.choose(items[3]));
  EXPECT_EQ(browser.currentFolder(), dir_.path().string());
  ASSERT_TRUE(browser.goTo(outside_));
  EXPECT_EQ(browser.currentFolder(), outside_.string());
  ASSERT_TRUE(browser.choose(items[2]));
  EXPECT_EQ(browser.currentFolder(), "/");
  EXPECT_NE(browser.items({}, reader_).front().kind, Kind::kUp);  // the root has no way up
  EXPECT_EQ(browser.entryName("a.mid"), "/a.mid");
}

TEST_F(FolderBrowserTest, AnAbsoluteListWithoutAUsableStartBeginsAtTheFirstPlace) {
  FolderBrowser browser("", (dir_ / "missing").string(), {outside_.string()});
  EXPECT_EQ(browser.currentFolder(), outside_.string());
  FolderBrowser trailing("", base_.string() + "/sub/", {});
  EXPECT_EQ(trailing.currentFolder(), (base_ / "sub").string());
}

TEST_F(FolderBrowserTest, OnlyWrdShowsSongsWithAScriptAndFilesAreNoFolders) {
  writeText(base_ / "B.WRD", "");
  writeText(base_ / "a.dv", "");
  FolderBrowser browser(base_.string(), "", {});
  SongFilter filter;
  filter.onlyWrd = true;
  filter.exceptLzh = true;
  EXPECT_EQ(labels(browser, filter), (std::vector<std::string>{" [Other]", " [sub]", "b.mid", "a.rcp"}));
  EXPECT_FALSE(browser.choose({Kind::kFile, "b.mid"}));
  EXPECT_EQ(browser.currentFolder(), "/");
}

}  // namespace
}  // namespace volta::core
