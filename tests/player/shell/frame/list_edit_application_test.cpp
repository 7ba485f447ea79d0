// The list editing dialog in the whole program on the real engine: "Edit a list" edits
// the playing list and starts its new first song; "New list .TOR" asks for the list's
// name, writes it and goes on into the dialog, which keeps to the list's folder.

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "player/shell/frame/file_list.h"
#include "player/shell/frame/list_edit_dialog.h"
#include "tests/player/shell/frame/application_fixture.h"

namespace volta::shell {
namespace {

// Drives the modal dialogs the program shows, one after another, each by the first
// step whose dialog type it is; whatever is still open after five seconds is closed.
class ModalDriver {
 public:
  template <typename Dialog>
  void then(std::function<void(Dialog&)> step) {
    steps_.push_back([step](QWidget* modal) {
      auto* dialog = qobject_cast<Dialog*>(modal);
      if (dialog) step(*dialog);
      return dialog != nullptr;
    });
  }
  void start() {
    poll_.setInterval(5);
    QObject::connect(&poll_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal && done_ < steps_.size() && steps_[done_](modal)) ++done_;
    });
    poll_.start();
    guard_.setSingleShot(true);
    QObject::connect(&guard_, &QTimer::timeout, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    guard_.start(5000);
  }
  bool finished() const { return done_ == steps_.size(); }

 private:
  std::vector<std::function<bool(QWidget*)>> steps_;
  std::size_t done_ = 0;
  QTimer poll_, guard_;
};

QStringList files(const TListEditDialog& dialog) {
  QStringList out;
  for (int row = 0; row < dialog.files().count(); ++row)
    out << dialog.files().item(row)->text();
  return out;
}

void selectFile(TListEditDialog& dialog, const QString& name) {
  dialog.files().clearSelection();
  dialog.files().findItems(name, Qt::MatchExactly).value(0)->setSelected(true);
}

void selectRow(TListEditDialog& dialog, int row) {
  dialog.playList().setCurrentItem(dialog.playList().topLevelItem(row));
}

QString qtPath(const fs::path& path) {
  return QString::fromStdString(path.string());
}

TEST_F(ApplicationTest, EditAListChangesThePlayingListAndStartsItsNewFirstSong) {
  MIDIApplication& app = launch({listFile().string()});
  ASSERT_TRUE(waitFor([&] { return heard(0); }));
  app.answerDialogs(std::nullopt);  // the dialog is shown and driven below
  ModalDriver driver;
  driver.then<TListEditDialog>([this](TListEditDialog& dialog) {
    dialog.setFolderChooser([this](QWidget*, const QString&) { return qtPath(dir_.path()); });
    dialog.folderButton().click();
    EXPECT_TRUE(files(dialog).contains(QStringLiteral("song2.mid")));
    selectRow(dialog, 0);
    dialog.playList().topLevelItem(1)->setSelected(true);
    dialog.deleteButton().click();  // Song 2, Song 3
    selectRow(dialog, 1);
    dialog.upButton().click();  // Song 3, Song 2
    selectFile(dialog, QStringLiteral("song1.mid"));
    dialog.addButton().click();  // Song 3, Song 2, Song 1
    dialog.accept();
  });
  driver.start();
  command(app::cmd::kEditList);
  ASSERT_TRUE(driver.finished());
  ASSERT_EQ(app.fileList().rowCount(), 3);
  EXPECT_EQ(app.fileList().rowAt(0).title, QStringLiteral("Song 3"));
  EXPECT_EQ(app.fileList().rowAt(2).title, QStringLiteral("Song 1"));
  EXPECT_EQ(app.controller().playback().state().position, 0);
  EXPECT_NE(title().find("<Changed>"), std::string::npos) << title();
  ASSERT_TRUE(waitFor([&] { return heard(3); }));

  // Saved in the edited order.
  command(app::cmd::kSaveList);
  const auto saved = core::readFormatA(test::readText(dir_ / "songs.TO2"));
  ASSERT_TRUE(saved.has_value());
  ASSERT_EQ(saved->size(), 3u);
  EXPECT_EQ((*saved)[0].fileName, songs_[3].string());
  EXPECT_EQ((*saved)[2].fileName, songs_[1].string());
}

TEST_F(ApplicationTest, CancelledEditingLeavesTheListAsItWas) {
  MIDIApplication& app = launch({listFile().string()});
  app.answerDialogs(std::nullopt);
  ModalDriver driver;
  driver.then<TListEditDialog>([](TListEditDialog& dialog) {
    dialog.deleteAllButton().click();
    dialog.reject();
  });
  driver.start();
  command(app::cmd::kEditList);
  ASSERT_TRUE(driver.finished());
  EXPECT_EQ(app.fileList().rowCount(), 4);
  EXPECT_EQ(title().find("<Changed>"), std::string::npos) << title();
}

TEST_F(ApplicationTest, ANewRelativeListIsNamedWrittenAndFilledInTheDialog) {
  MIDIApplication& app = launch({"/n"});
  app.answerDialogs(std::nullopt);
  const fs::path listName = dir_ / "mine.TOR";
  ModalDriver driver;
  driver.then<QFileDialog>([&](QFileDialog& dialog) {
    dialog.selectFile(qtPath(listName));
    static_cast<QDialog&>(dialog).accept();  // as its Save button does
  });
  driver.then<TListEditDialog>([&](TListEditDialog& dialog) {
    // The empty list was written before the dialog opened.
    EXPECT_TRUE(fs::exists(listName));
    EXPECT_EQ(dialog.baseFolderLabel().text(), qtPath(dir_.path()));
    EXPECT_FALSE(files(dialog).contains(QStringLiteral(" [ Up ]")));
    dialog.setFolderChooser([](QWidget*, const QString&) { return QStringLiteral("/"); });
    dialog.folderButton().click();
    EXPECT_FALSE(dialog.notice().text().isEmpty());
    EXPECT_EQ(dialog.currentFolderLabel().text(), QStringLiteral("/"));
    dialog.allButton().click();
    dialog.accept();
  });
  driver.start();
  command(app::cmd::kNewRelativeList);
  ASSERT_TRUE(driver.finished());
  const auto& lists = app.controller().lists();
  EXPECT_EQ(lists.listFileName(), listName.string());
  EXPECT_EQ(lists.baseFolder(), dir_.path().string());
  ASSERT_EQ(lists.count(), 4u);
  EXPECT_EQ(lists.playList().files[0].fileName, "/song0.mid");
  EXPECT_EQ(lists.playList().files[3].fileName, "/song3.mid");
  EXPECT_EQ(app.fileList().rowAt(1).title, QStringLiteral("Song 1"));
  EXPECT_TRUE(lists.listModified());

  command(app::cmd::kPlay);
  ASSERT_TRUE(waitFor([&] { return heard(0); }));
  command(app::cmd::kSaveList);
  const auto saved = core::readFormatA(test::readText(listName));
  ASSERT_TRUE(saved.has_value());
  ASSERT_EQ(saved->size(), 4u);
  EXPECT_EQ((*saved)[1].fileName, "/song1.mid");
}

}  // namespace
}  // namespace volta::shell
