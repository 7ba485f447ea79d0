// The whole program in one process on the real engine, its port A on the trace
// device: a list file played, paused and skipped through with Next, the window
// titles and status panel while playing, and the list kept at exit and restored at
// the next start. Selection deadlines run on a manual clock; the engine plays in
// real time, so the tests wait for its trace.

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <regex>

#include "player/core/playlist/history.h"
#include "player/shell/frame/album_dialog.h"
#include "player/shell/frame/file_list.h"
#include "player/shell/frame/frame_panes.h"
#include "player/shell/frame/progress_dialog.h"
#include "tests/player/shell/frame/application_fixture.h"

namespace volta::shell {
namespace {

TEST_F(ApplicationTest, PlaysAListPausesAndTakesOnlyTheThirdOfThreeNexts) {
  MIDIApplication& app = launch({listFile().string()});
  ASSERT_TRUE(app.engineMessage().empty()) << app.engineMessage();
  ASSERT_TRUE(waitFor([&] { return heard(0); }));
  EXPECT_EQ(app.fileList().rowCount(), 4);
  EXPECT_EQ(title(), "<LIST> songs.TO2 - VOLTA Player [PLAY]");
  EXPECT_EQ(app.frame().shownPane(), app::kWrdPane);

  command(app::cmd::kPause);
  EXPECT_TRUE(app.controller().playback().state().paused);
  EXPECT_EQ(title(), "<LIST> songs.TO2 - VOLTA Player [PAUSE]");

  command(app::cmd::kNext);
  EXPECT_EQ(app.frame().shownPane(), app::kWrdPane);  // one press keeps the pane
  clock_.advanceMilliseconds(100);
  command(app::cmd::kNext);
  EXPECT_EQ(app.frame().shownPane(), app::kListPane);  // further presses show the list
  clock_.advanceMilliseconds(100);
  command(app::cmd::kNext);
  EXPECT_EQ(app.controller().playback().state().position, 3);
  EXPECT_EQ(app.fileList().selectedRow(), 3);
  EXPECT_NE(title().find(" [Selecting]"), std::string::npos) << title();
  ASSERT_TRUE(app.armedTimer(app::kDisplayTimer).has_value());

  clock_.advanceMilliseconds(1001);
  app.fireTimer(app::kDisplayTimer);
  EXPECT_EQ(app.panelText(app::kPanelTitle), "Song 3");
  EXPECT_EQ(app.frame().shownPane(), app::kWrdPane);  // the old pane returns
  // The pause outlasts the selection: the chosen song waits, loaded, for the resume.
  EXPECT_EQ(title(), "<LIST> songs.TO2 - VOLTA Player [PAUSE]");
  command(app::cmd::kPause);
  EXPECT_EQ(title(), "<LIST> songs.TO2 - VOLTA Player [PLAY]");
  ASSERT_TRUE(waitFor([&] { return heard(3); }));
  EXPECT_FALSE(heard(1));
  EXPECT_FALSE(heard(2));
}

TEST_F(ApplicationTest, StatusPanelFollowsTheSong) {
  MIDIApplication& app = launch({songs_[2].string()});
  ASSERT_TRUE(waitFor([&] { return heard(2); }));
  EXPECT_EQ(title(), "Song 2 - VOLTA Player [PLAY]");
  ASSERT_TRUE(waitFor([&] {
    app.fireTimer(app::kDisplayTimer);
    return app.panelText(app::kPanelTime).substr(0, 5) != "00:00";
  }));
  EXPECT_TRUE(std::regex_match(app.panelText(app::kPanelTime), std::regex("00:0[0-9]/00:(09|10)")))
      << app.panelText(app::kPanelTime);
  EXPECT_EQ(app.panelText(app::kPanelBar).substr(4), "/0006");
  EXPECT_EQ(app.panelText(app::kPanelTempo), "120");
  EXPECT_EQ(app.panelText(app::kPanelBeat).substr(2), "/04");
  EXPECT_EQ(app.panelText(app::kPanelTitle), "Song 2");
  EXPECT_TRUE(app.panelLamp(app::kPanelPortLampA));
  EXPECT_EQ(app.frame().slider()->maximum(), static_cast<int>(app.controller().playback().state().totalLength / 100));
  EXPECT_GE(app.frame().slider()->maximum(), 99);

  // Letting the slider go at 5.0 s seeks there.
  emit app.frame().sliderReleased(50);
  app.fireTimer(app::kDisplayTimer);
  EXPECT_EQ(app.panelText(app::kPanelTime).substr(0, 5), "00:05");
  EXPECT_EQ(app.panelText(app::kPanelTitle), "Song 2");

  command(app::cmd::kFast);
  EXPECT_EQ(title(), "Song 2 - VOLTA Player [PLAY] [x1.5]");
  command(app::cmd::kStop);
  EXPECT_EQ(app.panelText(app::kPanelTime), "00:00/00:00");
  EXPECT_FALSE(app.armedTimer(app::kDisplayTimer).has_value());
}

TEST_F(ApplicationTest, AnUnnamedListIsKeptAtExitAndRestoredAtTheNextStart) {
  {
    MIDIApplication& app = launch({"/n"});
    EXPECT_EQ(title(), "VOLTA Player");
    app.controller().lists().drop({songs_[1].string(), songs_[0].string(), songs_[3].string()});
    EXPECT_EQ(app.fileList().rowCount(), 3);
    ASSERT_TRUE(waitFor([&] { return heard(1); }));  // the first dropped song starts
    app.shutDown();
  }
  const auto saved = core::readFormatA(test::readText(places_.userDataFolder / "DEFAULT.TO2"));
  ASSERT_TRUE(saved.has_value());
  ASSERT_EQ(saved->size(), 3u);
  EXPECT_EQ((*saved)[0].fileName, songs_[1].string());
  EXPECT_EQ((*saved)[2].fileName, songs_[3].string());

  MIDIApplication& again = launch({});
  ASSERT_EQ(again.fileList().rowCount(), 3);
  EXPECT_EQ(again.fileList().rowAt(0).title, QStringLiteral("Song 1"));
  EXPECT_EQ(again.fileList().rowAt(2).fileName, QStringLiteral("song3.mid"));
  EXPECT_FALSE(again.controller().playback().state().playing);
  EXPECT_EQ(title(), "Song 1 - VOLTA Player");
}

TEST_F(ApplicationTest, AHistoryItemOfTheMenuOpensItsList) {
  const fs::path list = listFile();
  platform::settings::SettingsStore(places_.settingsFile).writeString(kMainKey, "History1", list.string());
  MIDIApplication& app = launch({"/n"});
  ASSERT_EQ(app.fileList().rowCount(), 0);
  command(app::cmd::kHistoryFirst + 1);
  EXPECT_EQ(app.fileList().rowCount(), 4);
  EXPECT_EQ(app.controller().lists().listFileName(), list.string());
}

TEST_F(ApplicationTest, TheAlbumDialogsItemsAreStoredInTheirOrderOnOk) {
  platform::settings::SettingsStore before(places_.settingsFile);
  ASSERT_TRUE(core::appendToAlbum(before, "/lists/old.TO2"));
  MIDIApplication& app = launch({"/n"});
  app.answerDialogs(std::nullopt);  // this dialog is shown and driven below
  bool driven = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<TAlbumDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    ASSERT_EQ(dialog->list().count(), 1);
    dialog->setFileChooser([](QWidget*) { return QStringList{"/lists/x.TO2", "/lists/y.TOR"}; });
    dialog->addButton().click();
    dialog->list().setCurrentRow(2);
    dialog->upButton().click();  // old, y, x
    dialog->list().setCurrentRow(0);
    dialog->removeButton().click();  // y, x
    driven = true;
    dialog->accept();
  });
  // Never left waiting should the dialog not come up.
  QTimer::singleShot(5000, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  command(app::cmd::kAlbumEdit);
  ASSERT_TRUE(driven);
  platform::settings::SettingsStore after(places_.settingsFile);
  EXPECT_EQ(after.readInt(core::albumKey(), core::kAlbumCounts, 0), 2);
  EXPECT_EQ(after.readString(core::albumKey(), "0", ""), "/lists/y.TOR");
  EXPECT_EQ(after.readString(core::albumKey(), "1", ""), "/lists/x.TO2");
  EXPECT_FALSE(after.contains(core::albumKey(), "2"));
  EXPECT_EQ(core::readAlbum(after), (std::vector<std::string>{"/lists/y.TOR", "/lists/x.TO2"}));
}

TEST_F(ApplicationTest, AlbumDialogAnsweredWithoutShowingChangesNothing) {
  platform::settings::SettingsStore before(places_.settingsFile);
  ASSERT_TRUE(core::appendToAlbum(before, "/lists/old.TO2"));
  launch({"/n"});
  command(app::cmd::kAlbumEdit);
  EXPECT_EQ(core::readAlbum(platform::settings::SettingsStore(places_.settingsFile)),
            std::vector<std::string>{"/lists/old.TO2"});
}

TEST_F(ApplicationTest, IdleTimeUpdatesWhileASongPlaysInFront) {
  MIDIApplication& app = launch({songs_[0].string()});
  ASSERT_TRUE(waitFor([&] { return heard(0); }));
  app.frame().activateWindow();
  ASSERT_TRUE(waitFor([&] { return app.frame().playerWindowActive(); }));
  app.fireTimer(app::kDisplayTimer);
  EXPECT_TRUE(app.idleUpdating());
  command(app::cmd::kStop);
  app.fireTimer(app::kDisplayTimer);
  EXPECT_FALSE(app.idleUpdating());
}

TEST_F(ApplicationTest, IdleNoActLeavesTheDisplaysToTheTimers) {
  platform::settings::SettingsStore(places_.settingsFile).writeInt(kMainKey, "IdleNoAct", 1);
  MIDIApplication& app = launch({songs_[0].string()});
  ASSERT_TRUE(waitFor([&] { return heard(0); }));
  app.frame().activateWindow();
  ASSERT_TRUE(waitFor([&] { return app.frame().playerWindowActive(); }));
  app.fireTimer(app::kDisplayTimer);
  EXPECT_FALSE(app.idleUpdating());
}

TEST_F(ApplicationTest, PanesMiniAndFullScreenResizeTheWindow) {
  MIDIApplication& app = launch({"/n"});
  TMainFrame& frame = app.frame();
  command(app::cmd::kPaneList);
  EXPECT_EQ(frame.shownPane(), app::kListPane);
  const int withPane = frame.height();
  command(app::cmd::kMini);
  EXPECT_EQ(frame.shownPane(), app::kMini);
  EXPECT_EQ(withPane - frame.height(), kPaneHeight);
  command(app::cmd::kPaneDocument);
  EXPECT_EQ(frame.shownPane(), app::kDocumentPane);
  EXPECT_EQ(frame.height(), withPane);

  command(app::cmd::kFullScreen);
  EXPECT_TRUE(app.controller().panes().fullScreen());
  command(app::cmd::kMini);  // mini leaves full screen first
  EXPECT_FALSE(app.controller().panes().fullScreen());
  EXPECT_EQ(frame.shownPane(), app::kMini);
  command(app::cmd::kPaneWrd);
  command(app::cmd::kFullScreen);
  command(app::cmd::kFullScreen);
  EXPECT_FALSE(app.controller().panes().fullScreen());
  EXPECT_EQ(frame.shownPane(), app::kWrdPane);
  EXPECT_EQ(frame.height(), withPane);
}

TEST_F(ApplicationTest, DropsOutsideARelativeListsFolderAskFirst) {
  const fs::path folder = dir_ / "lists";
  fs::create_directories(folder);
  fs::copy_file(songs_[0], folder / "inside.mid");
  core::MIDIFile entry;
  entry.fileName = "/inside.mid";
  entry.title = "Inside";
  ASSERT_TRUE(core::saveListFile(folder / "songs.TOR", core::writeFormatA({entry}, true)));
  MIDIApplication& app = launch({(folder / "songs.TOR").string()});
  ASSERT_EQ(app.fileList().rowCount(), 1);

  // Answered "No": the outside song is left out and the user is told so.
  emit app.fileList().filesDropped({QString::fromStdString(songs_[2].string())});
  EXPECT_EQ(app.fileList().rowCount(), 1);
  ASSERT_EQ(app.dialogLog().size(), 2u);
  EXPECT_NE(app.dialogLog()[0].find("基本フォルダ以下のファイルしか登録できません"), std::string::npos);
  EXPECT_NE(app.dialogLog()[1].find("ドロップされたファイルは無視されました。"), std::string::npos);

  // A song inside the folder joins the list and the list file at once.
  fs::copy_file(songs_[3], folder / "later.mid");
  emit app.fileList().filesDropped({QString::fromStdString((folder / "later.mid").string())});
  EXPECT_EQ(app.fileList().rowCount(), 2);
  EXPECT_EQ(app.fileList().rowAt(1).fileName, QStringLiteral("later.mid"));
  const auto saved = core::readFormatA(test::readText(folder / "songs.TOR"));
  ASSERT_TRUE(saved.has_value());
  ASSERT_EQ(saved->size(), 2u);
  EXPECT_EQ((*saved)[1].fileName, "/later.mid");
}

TEST_F(ApplicationTest, AListSavedWithoutAnExtensionGetsOneAndReopens) {
  {
    MIDIApplication& app = launch({"/n"});
    app.controller().lists().drop({songs_[0].string(), songs_[2].string()});
    app.answerFileDialog((dir_ / "mylist").string());
    command(app::cmd::kSaveListAs);
    EXPECT_FALSE(fs::exists(dir_ / "mylist"));
    ASSERT_TRUE(fs::exists(dir_ / "mylist.TO2"));
    EXPECT_EQ(app.controller().lists().listFileName(), (dir_ / "mylist.TO2").string());
    app.shutDown();
  }
  MIDIApplication& again = launch({(dir_ / "mylist.TO2").string()});
  ASSERT_EQ(again.fileList().rowCount(), 2);
  EXPECT_EQ(again.fileList().rowAt(1).fileName, QStringLiteral("song2.mid"));
}

TEST_F(ApplicationTest, AListFileIsKnownByItsContentWhateverItsName) {
  // Written elsewhere: a BOM, CR LF line ends, and no extension.
  const fs::path list = listFile();
  const fs::path bare = dir_ / "saved list";
  const std::string bytes = "\xEF\xBB\xBF" + test::readText(list);
  test::writeFile(bare, test::Bytes(bytes.begin(), bytes.end()));
  fs::remove(list);
  MIDIApplication& app = launch({bare.string()});
  EXPECT_EQ(app.fileList().rowCount(), 4);
  EXPECT_EQ(app.controller().lists().listFileName(), bare.string());
  EXPECT_TRUE(app.dialogLog().empty());
}

// The first menu's title tells the menus' language.
std::string firstMenu(MIDIApplication& app) {
  return app.frame().menuBar()->actions().value(0)->text().toStdString();
}

TEST_F(ApplicationTest, TheFirstStartSpeaksTheLocalesLanguageAndAChosenOneStays) {
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  setenv("LANG", "ja_JP.UTF-8", 1);
  EXPECT_EQ(firstMenu(launch({"/n"})), "ファイル(&F)");
  app_.reset();
  // Another first start, under an English locale.
  platform::settings::SettingsStore(places_.settingsFile).removeValue(kMainKey, "Language");
  setenv("LANG", "en_GB.UTF-8", 1);
  MIDIApplication& english = launch({"/n"});
  EXPECT_EQ(firstMenu(english), "&File");
  command(app::cmd::kLanguage);
  EXPECT_EQ(firstMenu(english), "ファイル(&F)");
  // The list's context menu follows.
  ASSERT_EQ(english.fileList().actions().size(), 2);
  EXPECT_EQ(english.fileList().actions()[0]->text(), "プロパティ(&R)...");
  english.shutDown();
  // The choice outlives the locale.
  EXPECT_EQ(firstMenu(launch({"/n"})), "ファイル(&F)");
  unsetenv("LANG");
}

void press(QWidget& target, int key) {
  QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
  QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
  QCoreApplication::sendEvent(&target, &down);
  QCoreApplication::sendEvent(&target, &up);
}

TEST_F(ApplicationTest, AHiddenMenuBarComesBackForTheMomentAndFromTheContextMenu) {
  MIDIApplication& app = launch({"/n"});
  QMenuBar& bar = *app.frame().menuBar();
  command(app::cmd::kMenuBar);
  ASSERT_TRUE(bar.isHidden());
  // Alt alone: the bar shows with its first menu open, and goes when the menu closes. (F10
  // does the same only when no key record holds it: by default it is the monitor.)
  press(app.frame(), Qt::Key_Alt);
  EXPECT_FALSE(bar.isHidden());
  ASSERT_NE(bar.activeAction(), nullptr);
  bar.activeAction()->menu()->hide();
  EXPECT_TRUE(waitFor([&] { return bar.isHidden(); }));
  EXPECT_TRUE(app.controller().settings().menuDisable);
  // The window's context menu offers the bar back for good.
  const auto offered = app.frame().centralWidget()->actions();
  ASSERT_EQ(offered.size(), 1);
  EXPECT_EQ(app.frame().centralWidget()->contextMenuPolicy(), Qt::ActionsContextMenu);
  offered.first()->trigger();
  EXPECT_FALSE(bar.isHidden());
  EXPECT_FALSE(app.controller().settings().menuDisable);
}

TEST_F(ApplicationTest, TitlesAreNeitherPathsNorXfMarkers) {
  test::SmfTrack marked;
  marked.text(0, 0x01, "XFhd:1999/01/01:JP:J-Pop").text(0, 0x01, "XFln:L1:Lyrics").trackName(0, "Real title");
  marked.noteOn(0, 0, 60, 100).noteOff(96, 0, 60).endOfTrack(0);
  test::SmfTrack untitled;
  untitled.noteOn(0, 0, 61, 100).noteOff(96, 0, 61).endOfTrack(0);
  fs::create_directories(dir_ / "deep" / "folder");
  const fs::path first = dir_ / "deep" / "folder" / "marked.mid";
  const fs::path second = dir_ / "deep" / "folder" / "untitled.mid";
  test::writeFile(first, test::SmfWriter(0, 96).track(marked).build());
  test::writeFile(second, test::SmfWriter(0, 96).track(untitled).build());
  MIDIApplication& app = launch({"/n"});
  app.controller().lists().drop({first.string(), second.string()});
  ASSERT_EQ(app.fileList().rowCount(), 2);
  EXPECT_EQ(app.fileList().rowAt(0).title, QStringLiteral("Real title"));
  EXPECT_EQ(app.fileList().rowAt(1).title, QStringLiteral("untitled.mid"));
  EXPECT_EQ(title(), "Real title - VOLTA Player [PLAY]");
  app.controller().playback().playPosition(1);
  EXPECT_EQ(title(), "untitled.mid - VOLTA Player [PLAY]");
}

TEST_F(ApplicationTest, NothingOfTheLastSongStaysWhenTheSongChangesOrStops) {
  // Song 0 resets its module to GS; song 1 does not.
  test::SmfTrack gs;
  gs.trackName(0, "GS song").tempo(0, 500000).sysex(0, {0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7});
  gs.noteOn(0, 0, 60, 100).noteOff(96 * 20, 0, 60).endOfTrack(0);
  test::writeFile(songs_[0], test::SmfWriter(0, 96).track(gs).build());
  MIDIApplication& app = launch({listFile().string()});
  command(app::cmd::kPlay);
  ASSERT_TRUE(waitFor([&] {
    app.fireTimer(app::kDisplayTimer);
    return app.panelLamp(app::kPanelGsLamp);
  }));
  emit app.frame().sliderReleased(50);
  app.fireTimer(app::kDisplayTimer);
  ASSERT_EQ(app.frame().slider()->value(), 50);

  app.controller().playback().playPosition(1);
  ASSERT_TRUE(waitFor([&] { return heard(1); }));
  EXPECT_EQ(app.panelText(app::kPanelTitle), "Song 1");
  EXPECT_FALSE(app.panelLamp(app::kPanelGsLamp));
  EXPECT_LT(app.frame().slider()->value(), 10);

  emit app.frame().sliderReleased(50);
  command(app::cmd::kStop);
  EXPECT_EQ(app.frame().slider()->value(), 0);
  EXPECT_EQ(app.frame().slider()->maximum(), 0);
  EXPECT_EQ(app.panelText(app::kPanelModule), "");
  // The port lamps stay: they tell the ports that are open, not the song.
  for (int lamp : {app::kPanelGsLamp, app::kPanelGmLamp, app::kPanelXgLamp})
    EXPECT_FALSE(app.panelLamp(lamp)) << lamp;
}

TEST_F(ApplicationTest, AFileHandedOverKeepsTheUnnamedListReachableFromTheHistory) {
  MIDIApplication& app = launch({"/n"});
  app.controller().lists().drop({songs_[0].string(), songs_[1].string(), songs_[2].string()});
  ASSERT_EQ(app.fileList().rowCount(), 3);
  ASSERT_TRUE(app.controller().remote().openFile(songs_[3].string(), ""));
  ASSERT_EQ(app.fileList().rowCount(), 1);

  const std::string kept = app.controller().settings().history[0];
  EXPECT_EQ(fs::path(kept).parent_path(), places_.userDataFolder);
  EXPECT_EQ(fs::path(kept).extension(), ".TO2");
  EXPECT_EQ(fs::path(kept).filename().string().substr(0, 8), "Unnamed ");
  command(app::cmd::kHistoryFirst);
  ASSERT_EQ(app.fileList().rowCount(), 3);
  EXPECT_EQ(app.fileList().rowAt(2).title, QStringLiteral("Song 2"));
  // A named list needs no keeping, and an empty one has nothing to keep.
  ASSERT_TRUE(app.controller().remote().openFile(songs_[3].string(), ""));
  command(app::cmd::kCloseList);
  ASSERT_TRUE(app.controller().remote().openFile(songs_[3].string(), ""));
  ASSERT_TRUE(app.controller().remote().openFile(songs_[2].string(), ""));
  std::size_t keptLists = 0;
  for (const auto& file : fs::directory_iterator(places_.userDataFolder))
    keptLists += file.path().filename().string().starts_with("Unnamed ") ? 1 : 0;
  EXPECT_EQ(keptLists, 2u);
}

// Keys without a character, as the media keys are, given as such.
void mediaKey(QWidget& target, Qt::Key key) {
  QTest::sendKeyEvent(QTest::Press, &target, key, QString(), Qt::NoModifier);
  QTest::sendKeyEvent(QTest::Release, &target, key, QString(), Qt::NoModifier);
}

TEST_F(ApplicationTest, MediaPlayerKeysAndASliderClickThatJumps) {
  MIDIApplication& app = launch({listFile().string()});
  QTest::keyClick(&app.frame(), Qt::Key_Space);
  ASSERT_TRUE(waitFor([&] { return heard(0); }));
  EXPECT_TRUE(app.controller().playback().state().playing);
  QTest::keyClick(&app.frame(), Qt::Key_Space);
  EXPECT_TRUE(app.controller().playback().state().paused);
  mediaKey(app.frame(), Qt::Key_MediaTogglePlayPause);
  EXPECT_FALSE(app.controller().playback().state().paused);
  mediaKey(app.frame(), Qt::Key_MediaStop);
  EXPECT_FALSE(app.controller().playback().state().playing);

  // F1 shows the keys without stopping anything; Ctrl+O asks for a file.
  mediaKey(app.frame(), Qt::Key_F1);
  auto* help = app.frame().findChild<QMessageBox*>(QStringLiteral("keyHelp"));
  ASSERT_NE(help, nullptr);
  EXPECT_FALSE(help->isModal());
  EXPECT_TRUE(help->text().contains(QStringLiteral("Space")));
  help->close();
  app.frame().activateWindow();
  ASSERT_TRUE(waitFor([&] { return app.frame().isActiveWindow(); }));
  app.answerFileDialog(songs_[3].string());
  QTest::keyClick(&app.frame(), Qt::Key_O, Qt::ControlModifier);
  ASSERT_TRUE(waitFor([&] { return heard(3); }));

  // A click on the track three quarters along moves there at once.
  QSlider& slider = *app.frame().slider();
  ASSERT_GE(slider.maximum(), 99);
  int released = -1;
  QObject::connect(&app.frame(), &TMainFrame::sliderReleased, [&](int value) { released = value; });
  QTest::mouseClick(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(slider.width() * 3 / 4, slider.height() / 2));
  EXPECT_NEAR(released, slider.maximum() * 3 / 4, slider.maximum() / 8);

  std::vector<int> chosen;
  QObject::connect(&app.frame(), &TMainFrame::commandChosen, [&](int id) { chosen.push_back(id); });
  QTest::keyClick(&app.frame(), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(chosen, std::vector<int>{app::cmd::kExit});
  EXPECT_FALSE(app.frame().isVisible());
}

TEST_F(ApplicationTest, AFolderWithAnUnsupportedSongListsItInTheProgressDialog) {
  test::SmfTrack track;
  track.noteOn(0, 0, 60, 100).noteOff(96, 0, 60).endOfTrack(0);
  test::writeFile(dir_ / "pattern.mid", test::SmfWriter(2, 96).track(track).build());
  MIDIApplication& app = launch({"/n"});
  // One good song alone: no dialog stays behind.
  app.answerFileDialog(songs_[1].string());
  command(app::cmd::kOpenFile);
  EXPECT_FALSE(app.progressDialog() && app.progressDialog()->isVisible());

  app.answerFileDialog(dir_.path().string());
  command(app::cmd::kOpenFolder);
  EXPECT_EQ(app.fileList().rowCount(), 4);
  TProgressDialog* dialog = app.progressDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(dialog->isModal());
  EXPECT_TRUE(dialog->messages().contains(QStringLiteral("pattern.mid: "))) << dialog->messages().toStdString();
  EXPECT_TRUE(app.dialogLog().empty());
}

TEST_F(ApplicationTest, WithoutAnyOutputItSaysSoOnceAndNoPortLampLights) {
  platform::settings::SettingsStore(places_.settingsFile).writeString(kMainKey, "PORT_A", "No such port");
  MIDIApplication& app = launch({listFile().string()});
  command(app::cmd::kPlay);
  ASSERT_TRUE(app.controller().playback().state().playing);
  ASSERT_EQ(app.dialogLog().size(), 1u);
  const std::string& notice = app.dialogLog()[0];
  EXPECT_NE(notice.find("\"No such port\""), std::string::npos) << notice;
  EXPECT_NE(notice.find("volta-play --render"), std::string::npos);
  EXPECT_NE(notice.find("SoundFont"), std::string::npos);
  app.fireTimer(app::kDisplayTimer);
  for (int port = 0; port < 3; ++port)
    EXPECT_FALSE(app.panelLamp(app::kPanelPortLampA + port)) << port;
  // Said once a run, not at every song.
  app.controller().playback().playPosition(2);
  EXPECT_EQ(app.dialogLog().size(), 1u);
}

}  // namespace

// Messages never run an event loop of their own: repeats gather in one open box.
TEST_F(ApplicationTest, MessagesStayOpenWithoutBlockingAndCountTheirRepeats) {
  MIDIApplication& app = launch({"/n"});
  app.answerDialogs(std::nullopt);
  app.message("Caption", "first");
  app.message("Caption", "second");
  app.message("Other", "third");
  EXPECT_EQ(app.noticeCount("Caption"), 2);
  EXPECT_EQ(app.noticeCount("Other"), 1);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ApplicationTest, AQuestionWhileServingARemoteCommandIsAnsweredWithoutAsking) {
  MIDIApplication& app = launch({"/n"});
  app.answerDialogs(std::nullopt);
  app.setServingRemote(true);
  EXPECT_EQ(app.ask("Save", "Save the list?", app::Buttons::kYesNoCancel), app::Answer::kCancel);
  EXPECT_EQ(app.ask("Close", "Close the list?", app::Buttons::kYesNo), app::Answer::kNo);
  app.setServingRemote(false);
  EXPECT_EQ(app.noticeCount("Save"), 1);
}

TEST_F(ApplicationTest, ACorruptSettingsFileIsAnnouncedAndKept) {
  std::ofstream(places_.settingsFile, std::ios::app) << "\x01\x02 not a setting\n";
  MIDIApplication& app = launch({"/n"});
  app.keep();
  const auto& log = app.dialogLog();
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::string& line) { return line.find("set aside") != std::string::npos; }),
            1);
  EXPECT_NE(test::readText(places_.settingsFile.string() + ".bad.1").find("not a setting"), std::string::npos);
  app.keep();
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::string& line) { return line.find("set aside") != std::string::npos; }),
            1);
}

}  // namespace volta::shell
