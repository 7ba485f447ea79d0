// The main window's own widgets without the player behind them: the album dialog,
// the list window's rows, icon and drops, the window's size in each mode, framed panes, the progress
// dialog, and the texts of list rows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QUrl>

#include "platform/clock.h"
#include "player/shell/frame/album_dialog.h"
#include "player/shell/frame/file_list.h"
#include "player/shell/frame/list_rows.h"
#include "player/shell/frame/main_frame.h"
#include "player/shell/frame/progress_dialog.h"
#include "player/shell/frame/progress_sink.h"
#include "player/shell/frame/text_codec.h"

namespace volta::shell {
namespace {

FileListRow row(const QString& title, bool wrd = false) {
  return {title, title + QStringLiteral(".MID"), QStringLiteral("01:00"), {}, QStringLiteral("Auto"), wrd};
}

TEST(AlbumDialog, ItemsAreAddedMovedRemovedAndDropped) {
  struct DropTarget : TAlbumDialog {
    using TAlbumDialog::dropEvent;
    using TAlbumDialog::TAlbumDialog;
  } dialog({"/a/one.TO2"}, kEnglish);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Album editing - VOLTA Player"));
  dialog.setFileChooser([](QWidget*) { return QStringList{"/a/two.TOR"}; });
  dialog.addButton().click();
  EXPECT_EQ(dialog.items(), (std::vector<std::string>{"/a/one.TO2", "/a/two.TOR"}));
  // The added item is current: it can go up, not down.
  EXPECT_TRUE(dialog.upButton().isEnabled());
  EXPECT_FALSE(dialog.downButton().isEnabled());
  dialog.upButton().click();
  EXPECT_EQ(dialog.items(), (std::vector<std::string>{"/a/two.TOR", "/a/one.TO2"}));
  EXPECT_FALSE(dialog.upButton().isEnabled());
  dialog.downButton().click();
  EXPECT_EQ(dialog.items(), (std::vector<std::string>{"/a/one.TO2", "/a/two.TOR"}));

  // Dropped list files join the album; songs and other files do not.
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile("/b/three.to2"), QUrl::fromLocalFile("/b/song.mid"), QUrl("http://x/y.TO2")});
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  dialog.dropEvent(&drop);
  EXPECT_EQ(dialog.items(), (std::vector<std::string>{"/a/one.TO2", "/a/two.TOR", "/b/three.to2"}));

  dialog.list().setCurrentRow(0);
  dialog.removeButton().click();
  EXPECT_EQ(dialog.items(), (std::vector<std::string>{"/a/two.TOR", "/b/three.to2"}));
  dialog.list().setCurrentRow(-1);
  EXPECT_FALSE(dialog.removeButton().isEnabled());
}

TEST(AlbumDialog, JapaneseCaptionAndTheFileDialogsFilter) {
  TAlbumDialog dialog({}, kJapanese);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("アルバム編集 - VOLTA Player"));
  EXPECT_EQ(qtFilter("VOLTA List file(*.TOR,*.TO2)|*.TOR;*.TO2|"),
            QStringLiteral("VOLTA List file(*.TOR,*.TO2) (*.TOR *.TO2)"));
  EXPECT_TRUE(dialog.items().empty());
  EXPECT_FALSE(dialog.upButton().isEnabled());
}

TEST(FileList, RowsKeepTheirTextsIconAndSelection) {
  TFileList list;
  list.setRows({row("one"), row("two", true), row("three")});
  ASSERT_EQ(list.rowCount(), 3);
  EXPECT_EQ(list.topLevelItem(1)->text(1), QStringLiteral("two.MID"));
  EXPECT_FALSE(list.topLevelItem(1)->icon(0).isNull());
  EXPECT_TRUE(list.topLevelItem(0)->icon(0).isNull());
  list.showRow(2);
  EXPECT_EQ(list.selectedRow(), 2);
  // A refresh with fewer rows keeps the selection while its row exists.
  list.setRows({row("one"), row("two"), row("three"), row("four")});
  EXPECT_EQ(list.selectedRow(), 2);
  EXPECT_FALSE(list.rowAt(1).hasWrd);
  list.setRows({row("one")});
  EXPECT_EQ(list.rowCount(), 1);
  EXPECT_EQ(list.selectedRow(), -1);
  list.showRow(-1);
  EXPECT_EQ(list.selectedRow(), -1);
}

TEST(FileList, ShowingARowIsNoUserChoice) {
  TFileList list;
  list.setRows({row("one"), row("two")});
  QSignalSpy chosen(&list, &TFileList::rowChosen);
  list.showRow(1);
  EXPECT_EQ(chosen.count(), 0);
  list.topLevelItem(0)->setSelected(true);
  list.topLevelItem(1)->setSelected(false);
  ASSERT_GE(chosen.count(), 1);
  EXPECT_EQ(chosen.last().at(0).toInt(), 0);
}

TEST(FileList, HeadersAndColumnWidths) {
  TFileList list;
  list.setHeaders(QStringLiteral("Title (Random order)"), QStringLiteral("File name"));
  EXPECT_EQ(list.headerItem()->text(0), QStringLiteral("Title (Random order)"));
  EXPECT_EQ(list.headerItem()->text(4), QStringLiteral("Module"));
  list.setColumnWidths({300, 0, 60, 30, 90});
  const auto widths = list.columnWidths();
  EXPECT_EQ(widths[0], 300);
  EXPECT_GT(widths[1], 0);  // a stored 0 keeps the default
  EXPECT_EQ(widths[4], 90);
  list.setFileNameColumnShown(false);
  EXPECT_TRUE(list.isColumnHidden(1));
}

TEST(FileList, DropsHandOnLocalFilesOnly) {
  const QList<QUrl> urls{QUrl::fromLocalFile(QStringLiteral("/music/a.mid")), QUrl(QStringLiteral("https://x/b.mid")),
                         QUrl::fromLocalFile(QStringLiteral("/music/songs"))};
  EXPECT_EQ(localPaths(urls), (QStringList{QStringLiteral("/music/a.mid"), QStringLiteral("/music/songs")}));

  struct DropTarget : TFileList {
    using TFileList::dropEvent;
  } list;
  QSignalSpy dropped(&list, &TFileList::filesDropped);
  QMimeData data;
  data.setUrls(urls);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  list.dropEvent(&drop);
  ASSERT_EQ(dropped.count(), 1);
  EXPECT_EQ(dropped.at(0).at(0).toStringList().size(), 2);

  QMimeData web;
  web.setUrls({QUrl(QStringLiteral("https://x/b.mid"))});
  QDropEvent refused(QPointF(5, 5), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
  list.dropEvent(&refused);
  EXPECT_EQ(dropped.count(), 1);
}

TEST(ListRows, ColumnsOfAnEntry) {
  core::MIDIFile entry;
  entry.fileName = "/sub/dir/Song 1.mid";
  entry.title = "\x83\x65\x83\x58\x83\x67  \x81\x40 end ";  // "テスト", blanks, "end"
  entry.lengthMs = 83'999;
  entry.wrdState = 2;
  FileListRow shown = listRow(entry, true);
  EXPECT_EQ(shown.title, QStringLiteral("テスト end"));
  EXPECT_EQ(shown.fileName, QStringLiteral("Song 1.mid"));
  EXPECT_EQ(shown.length, QStringLiteral("01:23"));
  EXPECT_EQ(shown.archive, QString());
  EXPECT_EQ(shown.module, QStringLiteral("Auto"));
  EXPECT_TRUE(shown.hasWrd);

  entry.title = " ";
  entry.archiveMember = "member.rcp";
  entry.module = "SC-88";
  entry.lengthMs = 0;
  entry.wrdState = 1;
  shown = listRow(entry, false);
  EXPECT_EQ(shown.title, QStringLiteral("Untitled !!"));
  EXPECT_EQ(shown.fileName, QStringLiteral("member.rcp"));
  EXPECT_EQ(shown.length, QString());
  EXPECT_EQ(shown.archive, QStringLiteral("LZH"));
  EXPECT_EQ(shown.module, QStringLiteral("SC-88"));
  EXPECT_FALSE(shown.hasWrd);
}

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* panel = new QWidget;
    panel->setFixedSize(640, 66);
    frame_.setStatusPanel(panel);
    for (int pane = 0; pane < kPaneCount; ++pane)
      frame_.setPaneContent(pane, new QWidget);
  }
  TMainFrame frame_;
};

TEST_F(MainFrameTest, SizeFollowsTheMode) {
  frame_.showPane(1);
  const QSize withPane = frame_.size();
  EXPECT_EQ(withPane.width(), kPaneWidth);
  EXPECT_EQ(frame_.minimumSize(), frame_.maximumSize());  // the user cannot resize it
  frame_.showPane(kMiniPane);
  EXPECT_EQ(frame_.shownPane(), kMiniPane);
  EXPECT_EQ(withPane.height() - frame_.height(), kPaneHeight);
  frame_.showPane(0);
  frame_.setPaneHeight(kTallPaneHeight);
  EXPECT_EQ(frame_.height() - withPane.height(), kTallPaneHeight - kPaneHeight);
  frame_.setPaneHeight(kPaneHeight);
  EXPECT_EQ(frame_.size(), withPane);
  const int withMenu = frame_.height();
  frame_.setMenuBarShown(false);
  EXPECT_LE(frame_.height(), withMenu);
}

TEST_F(MainFrameTest, AFramedPaneLivesInItsOwnWindow) {
  QWidget* list = frame_.paneContent(kListPane);
  frame_.setFramed(kListPane, true);
  EXPECT_EQ(list->window(), frame_.paneFrame(kListPane));
  EXPECT_EQ(frame_.paneFrame(kListPane)->windowTitle(), QStringLiteral("曲順リスト - VOLTA Player"));
  frame_.setFrameVisible(kListPane, true);
  EXPECT_TRUE(frame_.frameVisible(kListPane));
  QSignalSpy closed(&frame_, &TMainFrame::frameClosed);
  frame_.paneFrame(kListPane)->close();
  ASSERT_EQ(closed.count(), 1);
  EXPECT_EQ(closed.at(0).at(0).toInt(), kListPane);
  frame_.setFramed(kListPane, false);
  EXPECT_EQ(list->window(), &frame_);
  EXPECT_FALSE(frame_.frameVisible(kListPane));
}

TEST_F(MainFrameTest, SliderFollowsUnlessHeldAndReportsItsRelease) {
  frame_.setSlider(600, 120);
  EXPECT_EQ(frame_.slider()->maximum(), 600);
  EXPECT_EQ(frame_.slider()->value(), 120);
  QSignalSpy released(&frame_, &TMainFrame::sliderReleased);
  frame_.slider()->setSliderDown(true);
  frame_.setSlider(600, 130);
  EXPECT_EQ(frame_.slider()->value(), 120);  // the user holds it
  frame_.slider()->setSliderPosition(300);
  frame_.slider()->setSliderDown(false);
  ASSERT_EQ(released.count(), 1);
  EXPECT_EQ(released.at(0).at(0).toInt(), 300);
}

TEST(PaneCaptions, EachPaneHasItsOwn) {
  EXPECT_EQ(paneCaption(0), QStringLiteral("WRD画面 - VOLTA Player"));
  EXPECT_EQ(paneCaption(4), QStringLiteral("WRDデバッグウィンドウ - VOLTA Player"));
  EXPECT_EQ(paneCaption(-1), QString());
}

TEST(ProgressDialog, ShowsTheAddingAndWaitsAtTheEnd) {
  TProgressDialog dialog;
  dialog.setSource(QStringLiteral("/music/"));
  dialog.setSong(QStringLiteral("a.mid"));
  dialog.addMessage(QStringLiteral("\n      ファイルが開けません\n"));
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.source(), QStringLiteral("/music/"));
  EXPECT_TRUE(dialog.messages().contains(QStringLiteral("ファイルが開けません")));
  EXPECT_FALSE(dialog.finished());
  dialog.finish(QStringLiteral("終了しました"));
  EXPECT_TRUE(dialog.finished());
  EXPECT_EQ(dialog.song(), QStringLiteral("終了しました"));
  EXPECT_TRUE(dialog.isVisible());
}

TEST(ProgressSink, ReportsIntoItsDialog) {
  QWidget owner;
  ProgressSink sink(&owner, 0);
  sink.showSource("/music/新しい/");
  sink.showSong("b.mid");
  sink.appendMessage("\n      message\n");
  sink.finish("終了しました");
  ASSERT_NE(sink.dialog(), nullptr);
  EXPECT_EQ(sink.dialog()->source(), QStringLiteral("/music/新しい/"));
  EXPECT_TRUE(sink.dialog()->messages().contains(QStringLiteral("message")));
  EXPECT_TRUE(sink.dialog()->finished());
  EXPECT_EQ(sink.dialog()->song(), QStringLiteral("終了しました"));
}

TEST(ProgressDialog, AppearsOnlyWhenSlowOrWithMessages) {
  platform::ManualClock clock;
  platform::installClock(&clock);
  {
    QWidget owner;
    ProgressSink quick(&owner, 1);
    quick.showSource("/music/");
    quick.showSong("a.mid");
    ASSERT_NE(quick.dialog(), nullptr);
    EXPECT_FALSE(quick.dialog()->isVisible());
    quick.finish("終了しました");
    EXPECT_FALSE(quick.dialog() && quick.dialog()->isVisible());

    ProgressSink slow(&owner, 1);
    slow.showSong("a.mid");
    clock.advanceMicroseconds(600'000);
    slow.showSong("b.mid");
    EXPECT_TRUE(slow.dialog()->isVisible());
    slow.appendMessage("\n      b.mid: Do not support the format type\n");
    slow.finish("終了しました");
    // It speaks the menus' language and stays for its message.
    ASSERT_NE(slow.dialog(), nullptr);
    EXPECT_EQ(slow.dialog()->song(), QStringLiteral("Finished"));
    EXPECT_TRUE(slow.dialog()->isVisible());
  }
  platform::installClock(nullptr);
}

}  // namespace
}  // namespace volta::shell
