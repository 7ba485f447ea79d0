// The list editing dialog on its own, over songs whose text is their title: the
// buttons' moves, inserts and deletes, the folder browser keeping a relative list
// inside its base folder, and the search adding what it finds in order.

#include "player/shell/frame/list_edit_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include "engine/protocol/error_messages.h"
#include "player/shell/frame/progress_dialog.h"
#include "tests/player/core/listedit/text_reader.h"

namespace volta::shell {
namespace {

namespace fs = std::filesystem;
using core::testing::writeText;

class ListEditDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* song : {"a.mid", "b.mid", "c.rcp"})
      writeText(base_ / song, std::string("Title ") + song);
    writeText(base_ / "sub" / "d.mid", "D");
    writeText(base_ / "sub" / "deeper" / "e.mid", "E");
    writeText(dir_ / "outside" / "x.mid", "X");
    list_.baseFolder = base_.string();
    for (const char* name : {"/w.mid", "/x.mid", "/y.mid", "/z.mid"}) {
      core::MIDIFile entry;
      entry.fileName = name;
      entry.title = std::string("Old ") + name;
      list_.append(entry);
    }
  }
  std::unique_ptr<TListEditDialog> open(Language language = kEnglish) {
    return std::make_unique<TListEditDialog>(app::ListEditRequest{list_, reader_, false, {}}, language);
  }
  static QStringList rows(const TListEditDialog& dialog, int column) {
    QStringList out;
    for (int row = 0; row < dialog.playList().topLevelItemCount(); ++row)
      out << dialog.playList().topLevelItem(row)->text(column);
    return out;
  }
  static QStringList files(const TListEditDialog& dialog) {
    QStringList out;
    for (int row = 0; row < dialog.files().count(); ++row)
      out << dialog.files().item(row)->text();
    return out;
  }
  static void selectFiles(TListEditDialog& dialog, const QStringList& names) {
    dialog.files().clearSelection();
    for (const QString& name : names)
      dialog.files().findItems(name, Qt::MatchExactly).value(0)->setSelected(true);
  }
  static void selectRows(TListEditDialog& dialog, std::initializer_list<int> rows) {
    dialog.playList().setCurrentItem(dialog.playList().topLevelItem(*rows.begin()));  // selects it alone
    for (int row : rows)
      dialog.playList().topLevelItem(row)->setSelected(true);
  }
  std::vector<std::string> names(const TListEditDialog& dialog) const {
    return core::testing::fileNames(dialog.entries());
  }

  test::TempDir dir_;
  fs::path base_ = dir_ / "base";
  core::PlayList list_;
  core::testing::TextReader reader_;
};

TEST_F(ListEditDialogTest, ShowsTheCopyAndTheBaseFolderInEitherLanguage) {
  auto dialog = open();
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Edit list"));
  EXPECT_EQ(rows(*dialog, 0), (QStringList{"Old /w.mid", "Old /x.mid", "Old /y.mid", "Old /z.mid"}));
  EXPECT_EQ(rows(*dialog, 1), (QStringList{"/w.mid", "/x.mid", "/y.mid", "/z.mid"}));
  EXPECT_EQ(dialog->currentFolderLabel().text(), QStringLiteral("/"));
  EXPECT_EQ(dialog->allButton().text(), QStringLiteral("<< A&ll"));
  auto japanese = open(kJapanese);
  EXPECT_EQ(japanese->windowTitle(), QStringLiteral("リスト編集"));
  EXPECT_EQ(japanese->insertButton().text(), QStringLiteral("<< 挿入(&I)"));
  EXPECT_EQ(japanese->deleteAllButton().text(), QStringLiteral("全削除(&T)"));
}

TEST_F(ListEditDialogTest, UpDownAndDeleteEditTheCopyOnly) {
  auto dialog = open();
  selectRows(*dialog, {2});
  dialog->upButton().click();
  EXPECT_EQ(names(*dialog), (std::vector<std::string>{"/w.mid", "/y.mid", "/x.mid", "/z.mid"}));
  dialog->upButton().click();
  EXPECT_EQ(names(*dialog), (std::vector<std::string>{"/y.mid", "/w.mid", "/x.mid", "/z.mid"}));
  // The moved row stays current; at the top it cannot go further up.
  EXPECT_EQ(dialog->playList().indexOfTopLevelItem(dialog->playList().currentItem()), 0);
  EXPECT_FALSE(dialog->upButton().isEnabled());
  dialog->downButton().click();
  EXPECT_EQ(names(*dialog), (std::vector<std::string>{"/w.mid", "/y.mid", "/x.mid", "/z.mid"}));
  selectRows(*dialog, {3});
  EXPECT_FALSE(dialog->downButton().isEnabled());

  selectRows(*dialog, {3, 0});
  dialog->deleteButton().click();
  EXPECT_EQ(names(*dialog), (std::vector<std::string>{"/y.mid", "/x.mid"}));
  EXPECT_EQ(rows(*dialog, 1), (QStringList{"/y.mid", "/x.mid"}));
  dialog->deleteAllButton().click();
  EXPECT_TRUE(dialog->entries().empty());
  EXPECT_FALSE(dialog->deleteAllButton().isEnabled());
  EXPECT_EQ(list_.files.size(), 4u);  // the list itself changes only on OK, by the caller
}

TEST_F(ListEditDialogTest, AddAppendsAndInsertGoesBeforeTheSelectedRow) {
  auto dialog = open();
  EXPECT_EQ(files(*dialog), (QStringList{" [sub]", "a.mid", "b.mid", "c.rcp"}));
  EXPECT_FALSE(dialog->addButton().isEnabled());
  selectFiles(*dialog, {" [sub]", "b.mid", "c.rcp"});  // folders among the files are not added
  EXPECT_TRUE(dialog->addButton().isEnabled());
  dialog->addButton().click();
  EXPECT_EQ(names(*dialog), (std::vector<std::string>{"/w.mid", "/x.mid", "/y.mid", "/z.mid", "/b.mid", "/c.rcp"}));
  EXPECT_EQ(dialog->entries()[4].title, "Title b.mid");
  selectRows(*dialog, {1});
  selectFiles(*dialog, {"a.mid"});
  dialog->insertButton().click();
  EXPECT_EQ(names(*dialog),
            (std::vector<std::string>{"/w.mid", "/a.mid", "/x.mid", "/y.mid", "/z.mid", "/b.mid", "/c.rcp"}));
  EXPECT_EQ(dialog->playList().indexOfTopLevelItem(dialog->playList().currentItem()), 1);
  // A double click on a song adds it too.
  dialog->chooseFileRow(dialog->files().row(dialog->files().findItems("a.mid", Qt::MatchExactly).value(0)));
  EXPECT_EQ(names(*dialog).back(), "/a.mid");
}

TEST_F(ListEditDialogTest, ARelativeListsBrowserNeverLeavesItsBaseFolder) {
  auto dialog = open();
  // At its top: neither the way up nor the places of an absolute list.
  EXPECT_FALSE(files(*dialog).contains(QStringLiteral(" [ Up ]")));
  EXPECT_FALSE(files(*dialog).contains(QStringLiteral(" [ -/- ]")));
  dialog->setFolderChooser(
      [this](QWidget*, const QString&) { return QString::fromStdString((dir_ / "outside").string()); });
  dialog->folderButton().click();
  EXPECT_EQ(dialog->currentFolderLabel().text(), QStringLiteral("/"));
  EXPECT_EQ(dialog->notice().text(), QStringLiteral("Only files below the base folder can be added to this list."));
  EXPECT_EQ(files(*dialog), (QStringList{" [sub]", "a.mid", "b.mid", "c.rcp"}));

  dialog->setFolderChooser(
      [this](QWidget*, const QString&) { return QString::fromStdString((base_ / "sub" / "deeper").string()); });
  dialog->folderButton().click();
  EXPECT_TRUE(dialog->notice().text().isEmpty());
  EXPECT_EQ(dialog->currentFolderLabel().text(), QStringLiteral("/sub/deeper"));
  EXPECT_EQ(files(*dialog), (QStringList{" [ Up ]", "e.mid"}));
  dialog->chooseFileRow(0);
  EXPECT_EQ(files(*dialog), (QStringList{" [ Up ]", " [deeper]", "d.mid"}));
  selectFiles(*dialog, {"d.mid"});
  dialog->addButton().click();
  EXPECT_EQ(names(*dialog).back(), "/sub/d.mid");
  dialog->chooseFileRow(0);
  EXPECT_EQ(dialog->currentFolderLabel().text(), QStringLiteral("/"));
  EXPECT_FALSE(files(*dialog).contains(QStringLiteral(" [ Up ]")));
}

TEST_F(ListEditDialogTest, AnAbsoluteListOffersTheWayUpAndThePlaces) {
  core::PlayList absolute;
  TListEditDialog dialog({absolute, reader_, false, (base_ / "sub").string()}, kEnglish);
  EXPECT_EQ(dialog.currentFolderLabel().text(), QString::fromStdString((base_ / "sub").string()));
  const QStringList shown = files(dialog);
  EXPECT_EQ(shown.front(), QStringLiteral(" [ Up ]"));
  EXPECT_TRUE(shown.contains(QStringLiteral(" [ -/- ]")));
  selectFiles(dialog, {"d.mid"});
  dialog.addButton().click();
  EXPECT_EQ(core::testing::fileNames(dialog.entries()), std::vector<std::string>{(base_ / "sub" / "d.mid").string()});
}

TEST_F(ListEditDialogTest, AllAddsTheSearchResultsInOrderAndReportsUnreadableSongs) {
  writeText(base_ / "sub" / "bad.mid", "bad");
  auto dialog = open();
  dialog->allButton().click();
  EXPECT_EQ(names(*dialog), (std::vector<std::string>{"/w.mid", "/x.mid", "/y.mid", "/z.mid", "/a.mid", "/b.mid",
                                                      "/c.rcp", "/sub/d.mid", "/sub/deeper/e.mid"}));
  EXPECT_EQ(rows(*dialog, 0).back(), QStringLiteral("E"));
  EXPECT_EQ(dialog->playList().indexOfTopLevelItem(dialog->playList().currentItem()), 8);
  TProgressDialog* progress = dialog->progressDialog();
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(progress->windowTitle(), QStringLiteral("Finding files...."));
  EXPECT_TRUE(progress->isVisible());
  EXPECT_TRUE(progress->messages().contains(
      QString::fromStdString("bad.mid: " + std::string(protocol::errorMessage(protocol::kErrNoHeader)))));
  EXPECT_EQ(progress->song(), QStringLiteral("Finished"));

  dialog->deleteAllButton().click();
  dialog->noSubFolders().setChecked(true);
  dialog->allButton().click();
  EXPECT_EQ(names(*dialog), (std::vector<std::string>{"/a.mid", "/b.mid", "/c.rcp"}));
}

TEST_F(ListEditDialogTest, OnlyWrdNarrowsTheFilesAndTheSearch) {
  writeText(base_ / "B.WRD", "");
  writeText(base_ / "sub" / "deeper" / "e.dv", "");
  auto dialog = open();
  dialog->onlyWrd().setChecked(true);
  dialog->exceptLzh().setChecked(true);
  EXPECT_EQ(files(*dialog), (QStringList{" [sub]", "b.mid"}));
  dialog->deleteAllButton().click();
  dialog->allButton().click();
  EXPECT_EQ(names(*dialog), (std::vector<std::string>{"/b.mid", "/sub/deeper/e.mid"}));
  EXPECT_EQ(dialog->entries()[0].wrdState, 2);
  dialog->onlyWrd().setChecked(false);
  EXPECT_EQ(files(*dialog).size(), 4);
}

}  // namespace
}  // namespace volta::shell
