#include "player/core/listedit/list_editor.h"

#include <gtest/gtest.h>

#include "engine/protocol/error_messages.h"
#include "tests/player/core/listedit/text_reader.h"

namespace volta::core {
namespace {

namespace fs = std::filesystem;
using testing::fileNames;
using testing::writeText;

MIDIFile entry(const std::string& name) {
  MIDIFile file;
  file.fileName = name;
  file.title = "old " + name;
  return file;
}

class ListEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* song : {"a.mid", "b.mid", "c.mid"})
      writeText(base_ / song, std::string("title ") + song);
    writeText(base_ / "sub" / "d.rcp", "D");
    writeText(base_ / "sub" / "deeper" / "e.mid", "E");
    writeText(base_ / "bad.mid", "bad");
    list_.baseFolder = base_.string();
    list_.listFileName = (base_ / "songs.TOR").string();
    list_.append(entry("/x.mid"));
    list_.append(entry("/y.mid"));
  }

  test::TempDir dir_;
  fs::path base_ = dir_ / "base";
  PlayList list_;
  testing::TextReader reader_;
  testing::RecordingProgress progress_;
};

TEST_F(ListEditorTest, TheCopyChangesAndTheListDoesNot) {
  ListEditor editor(list_);
  EXPECT_EQ(editor.baseFolder(), base_.string());
  EXPECT_EQ(fileNames(editor.entries()), (std::vector<std::string>{"/x.mid", "/y.mid"}));
  editor.removeAll();
  EXPECT_TRUE(editor.entries().empty());
  EXPECT_EQ(list_.files.size(), 2u);
}

TEST_F(ListEditorTest, AddAppendsAndInsertPutsTheFilesBeforeTheRow) {
  ListEditor editor(list_);
  const FolderBrowser browser(list_.baseFolder, "", {});
  EXPECT_EQ(editor.add(browser, {"b.mid", "a.mid"}, editor.entries().size(), reader_).added, 2u);
  EXPECT_EQ(fileNames(editor.entries()), (std::vector<std::string>{"/x.mid", "/y.mid", "/b.mid", "/a.mid"}));
  EXPECT_EQ(editor.entries()[2].title, "title b.mid");
  EXPECT_EQ(editor.entries()[2].wrdState, 1);
  editor.add(browser, {"c.mid"}, 1, reader_);
  EXPECT_EQ(fileNames(editor.entries()), (std::vector<std::string>{"/x.mid", "/c.mid", "/y.mid", "/b.mid", "/a.mid"}));
  editor.add(browser, {"c.mid"}, 99, reader_);  // past the end: appended
  EXPECT_EQ(editor.entries().back().fileName, "/c.mid");
}

TEST_F(ListEditorTest, UnreadableFilesAreReportedAndTheRestAdded) {
  ListEditor editor(list_);
  const FolderBrowser browser(list_.baseFolder, "", {});
  editor.add(browser, {"a.mid", "bad.mid", "c.mid"}, 0, reader_, &progress_);
  EXPECT_EQ(fileNames(editor.entries()), (std::vector<std::string>{"/a.mid", "/c.mid", "/x.mid", "/y.mid"}));
  EXPECT_EQ(progress_.messages,
            "\n      bad.mid: " + std::string(protocol::errorMessage(protocol::kErrNoHeader)) + "\n");
  EXPECT_EQ(progress_.sources, (std::vector<std::string>{browser.currentPath().string()}));
  EXPECT_EQ(progress_.finished, "終了しました");
  const OpenResult alone = editor.add(browser, {"bad.mid"}, 0, reader_);
  EXPECT_EQ(alone.added, 0u);
  EXPECT_EQ(alone.messages.size(), 1u);
}

TEST_F(ListEditorTest, AllAppendsTheSearchOfTheCurrentFolderInOrder) {
  ListEditor editor(list_);
  FolderBrowser browser(list_.baseFolder, "", {});
  ASSERT_TRUE(browser.choose({BrowserItem::Kind::kFolder, "sub"}));
  editor.addAll(browser, {}, reader_, &progress_);
  EXPECT_EQ(fileNames(editor.entries()),
            (std::vector<std::string>{"/x.mid", "/y.mid", "/sub/d.rcp", "/sub/deeper/e.mid"}));
  EXPECT_EQ(progress_.finished, "終了しました");
  SearchOptions flat;
  flat.subFolders = false;
  editor.addAll(browser, flat, reader_);
  EXPECT_EQ(editor.entries().size(), 5u);
  EXPECT_EQ(editor.entries().back().fileName, "/sub/d.rcp");
}

TEST_F(ListEditorTest, AnAbsoluteListsEntriesAreFullNames) {
  PlayList absolute;
  ListEditor editor(absolute);
  FolderBrowser browser("", base_.string(), {});
  editor.add(browser, {"a.mid"}, 0, reader_);
  editor.addAll(browser, {}, reader_);
  ASSERT_EQ(editor.entries().size(), 6u);  // a.mid, then a, b, c and the two below sub
  EXPECT_EQ(editor.entries()[0].fileName, (base_ / "a.mid").string());
  EXPECT_EQ(editor.entries()[5].fileName, (base_ / "sub" / "deeper" / "e.mid").string());
}

TEST_F(ListEditorTest, RowsMoveByOneWithinTheList) {
  list_.append(entry("/z.mid"));
  ListEditor editor(list_);
  EXPECT_EQ(editor.moveUp(0), 0u);
  EXPECT_EQ(editor.moveDown(2), 2u);
  EXPECT_EQ(editor.moveDown(7), 7u);
  EXPECT_EQ(editor.moveUp(7), 7u);
  EXPECT_EQ(fileNames(editor.entries()), (std::vector<std::string>{"/x.mid", "/y.mid", "/z.mid"}));
  EXPECT_EQ(editor.moveDown(0), 1u);
  EXPECT_EQ(fileNames(editor.entries()), (std::vector<std::string>{"/y.mid", "/x.mid", "/z.mid"}));
  EXPECT_EQ(editor.moveUp(2), 1u);
  EXPECT_EQ(fileNames(editor.entries()), (std::vector<std::string>{"/y.mid", "/z.mid", "/x.mid"}));
  EXPECT_EQ(editor.entries()[1].title, "old /z.mid");  // the whole entry moves
}

TEST_F(ListEditorTest, RemoveTakesTheSelectedRowsInAnyOrder) {
  list_.append(entry("/z.mid"));
  list_.append(entry("/w.mid"));
  ListEditor editor(list_);
  editor.remove({3, 0, 3, 12});
  EXPECT_EQ(fileNames(editor.entries()), (std::vector<std::string>{"/y.mid", "/z.mid"}));
  editor.remove({});
  EXPECT_EQ(editor.entries().size(), 2u);
  editor.removeAll();
  EXPECT_TRUE(editor.entries().empty());
}

}  // namespace
}  // namespace volta::core
