#include "player/shell/smfk/smfk_dialog.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "tests/support/rcp_writer.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"

namespace volta::shell {
namespace {

namespace fs = std::filesystem;

void text(const fs::path& path, const std::string& text) {
  test::writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

test::Bytes programSong() {
  test::SmfTrack track;
  track.program(0, 0, 0).noteOn(0, 0, 60, 100).noteOff(48, 0, 60).endOfTrack(0);
  return test::SmfWriter(0, 48).track(track).build();
}

class SmfkDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(dir_ / "knife");
    fs::create_directory(dir_ / "temp");
    text(dir_ / "knife" / "GM.CFG", "program * 1 41\n");
    text(dir_ / "knife" / "xg.cfg", "transpose * 1\n");
    text(dir_ / "knife" / "notes.txt", "");
    test::writeFile(dir_ / "A.MID", programSong());
  }
  std::unique_ptr<TSMFKDialog> open(core::smfk::SmfkLibrary& library, const fs::path& song, bool flag = false) {
    auto dialog =
        std::make_unique<TSMFKDialog>(library, SmfkSong{song, flag}, SmfkPlaces{dir_ / "knife", dir_ / "temp"});
    dialog->setPrompts({[this](const QString& message) { messages_.push_back(message.toStdString()); },
                        [this] { return browseAnswer_; }});
    return dialog;
  }
  // Converts with a configuration and waits until the dialog takes "Convert" back.
  void convert(TSMFKDialog& dialog, const QString& configuration) {
    dialog.configurations()->setCurrentText(configuration);
    dialog.convert();
    EXPECT_FALSE(dialog.convertButton()->isEnabled());
    EXPECT_TRUE(dialog.abortButton()->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.convertButton()->isEnabled(); }, 20000));
    EXPECT_FALSE(dialog.abortButton()->isEnabled());
    EXPECT_EQ(dialog.progress()->value(), 0);
  }

  test::TempDir dir_;
  std::vector<std::string> messages_;
  QString browseAnswer_;
};

class RealSmfk : public SmfkDialogTest {
 protected:
  void SetUp() override {
    SmfkDialogTest::SetUp();
    ASSERT_TRUE(library_.load(test::binDir()));
  }
  core::smfk::SmfkLibrary library_;
};

class FakeSmfk : public SmfkDialogTest {
 protected:
  void SetUp() override {
    SmfkDialogTest::SetUp();
    ASSERT_TRUE(library_.load(VOLTA_FAKE_SMFK_FOLDER));
  }
  core::smfk::SmfkLibrary library_;
};

TEST_F(RealSmfk, OpensWithTheFoldersConfigurationsAndTheEntrysFlag) {
  const auto dialog = open(library_, dir_ / "A.MID", true);
  EXPECT_EQ(dialog->windowTitle(), "SMF Knife");
  ASSERT_EQ(dialog->configurations()->count(), 2);
  EXPECT_EQ(dialog->configurations()->itemText(0), "GM.CFG");
  EXPECT_EQ(dialog->configurations()->itemText(1), "xg.cfg");
  EXPECT_TRUE(dialog->playConverted()->isChecked());
  EXPECT_EQ(dialog->progress()->minimum(), 0);
  EXPECT_EQ(dialog->progress()->maximum(), 99);
  EXPECT_FALSE(dialog->abortButton()->isEnabled());
  EXPECT_TRUE(dialog->convertButton()->isEnabled());
}

TEST_F(RealSmfk, ASongIsConvertedBesideItAndThenPlayedConverted) {
  const auto dialog = open(library_, dir_ / "A.MID");
  QSignalSpy flag(dialog.get(), &TSMFKDialog::playConvertedChanged);
  convert(*dialog, "GM.CFG");  // a name without a folder is looked for in "SMFKFolder"
  EXPECT_TRUE(messages_.empty());
  const auto bytes = test::readFile(dir_ / "A.MID.smfk");
  const std::vector<std::uint8_t> violin{0xC0, 40};
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), violin.begin(), violin.end()), bytes.end());
  EXPECT_TRUE(dialog->playConverted()->isChecked());
  ASSERT_EQ(flag.count(), 1);
  EXPECT_TRUE(flag.at(0).at(0).toBool());
  dialog->playConverted()->setChecked(false);
  ASSERT_EQ(flag.count(), 2);
  EXPECT_FALSE(flag.at(1).at(0).toBool());
}

TEST_F(RealSmfk, AnR36SongIsMadeAStandardMidiFileFirstAndTheOutputNamedAfterIt) {
  test::RcpWriter writer(false);
  writer.addTrack(0).add(60, 48, 40, 100).end();
  test::writeFile(dir_ / "SONG.R36", writer.build());
  const auto dialog = open(library_, dir_ / "SONG.R36");
  convert(*dialog, QString::fromStdString((dir_ / "knife" / "xg.cfg").string()));
  EXPECT_TRUE(messages_.empty());
  const auto bytes = test::readFile(dir_ / "SONG.R36.smfk");
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "MThd");
  EXPECT_TRUE(fs::is_empty(dir_ / "temp"));  // the temporary Standard MIDI File is gone
}

TEST_F(RealSmfk, AnRcpSongTheConverterRefusesCannotBeRead) {
  text(dir_ / "BROKEN.RCP", "not an RCP song");
  const auto dialog = open(library_, dir_ / "BROKEN.RCP");
  convert(*dialog, "GM.CFG");
  EXPECT_EQ(messages_, (std::vector<std::string>{"Cannot read a midi file"}));
  EXPECT_FALSE(fs::exists(dir_ / "BROKEN.RCP.smfk"));
  EXPECT_TRUE(fs::is_empty(dir_ / "temp"));
}

TEST_F(RealSmfk, ABadConfigurationIsReported) {
  text(dir_ / "knife" / "BAD.CFG", "swap 1 2\n");
  const auto dialog = open(library_, dir_ / "A.MID");
  convert(*dialog, "BAD.CFG");
  EXPECT_EQ(messages_, (std::vector<std::string>{"Cannot read a configuration file"}));
  EXPECT_FALSE(dialog->playConverted()->isChecked());
  EXPECT_FALSE(fs::exists(dir_ / "A.MID.smfk"));
}

TEST_F(RealSmfk, BrowseTakesTheChosenFile) {
  const auto dialog = open(library_, dir_ / "A.MID");
  browseAnswer_ = "/somewhere/else.cfg";
  dialog->browse();
  EXPECT_EQ(dialog->configurations()->currentText(), "/somewhere/else.cfg");
  browseAnswer_.clear();
  dialog->browse();
  EXPECT_EQ(dialog->configurations()->currentText(), "/somewhere/else.cfg");
}

TEST_F(SmfkDialogTest, WithoutTheLibraryTheSongCannotBeRead) {
  core::smfk::SmfkLibrary absent;
  const auto dialog = open(absent, dir_ / "A.MID");
  convert(*dialog, "GM.CFG");
  EXPECT_EQ(messages_, (std::vector<std::string>{"Cannot read a midi file"}));
}

TEST_F(FakeSmfk, EveryFailedResultHasItsMessage) {
  const auto dialog = open(library_, dir_ / "A.MID");
  for (int result = 0; result <= 8; ++result) {
    text(dir_ / "knife" / ("result-" + std::to_string(result) + ".cfg"), "");
    convert(*dialog, QString("result-%1.cfg").arg(result));
  }
  EXPECT_EQ(messages_,
            (std::vector<std::string>{"Unknown error", "Cannot read a configuration file", "Cannot read a midi file",
                                      "Cannot open a output midi file", "Invalid midi file", "Out of memory",
                                      "Cannot write a configuration file", "Aborted by user", "Unknown error"}));
  EXPECT_FALSE(dialog->playConverted()->isChecked());
}

TEST_F(FakeSmfk, AbortStopsAConverterThatListens) {
  const auto dialog = open(library_, dir_ / "A.MID");
  dialog->configurations()->setCurrentText("busy.cfg");
  dialog->convert();
  ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->progress()->value() > 0; }, 20000));
  dialog->abort();
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(dialog->convertButton()->isEnabled());
  EXPECT_FALSE(dialog->abortButton()->isEnabled());
  // What the aborted conversion still sent is for nobody.
  const int shown = dialog->progress()->value();
  QCoreApplication::processEvents();
  EXPECT_EQ(dialog->progress()->value(), shown);
}

TEST_F(FakeSmfk, AbortWhileTheConverterIsBusyTimesOut) {
  const auto dialog = open(library_, dir_ / "A.MID");
  dialog->configurations()->setCurrentText("stuck.cfg");
  dialog->convert();
  ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->progress()->value() == 10; }, 20000));
  dialog->abort();
  EXPECT_EQ(messages_, (std::vector<std::string>{"Time out"}));
  EXPECT_TRUE(dialog->convertButton()->isEnabled());
  static void* const fake = dlopen(VOLTA_FAKE_SMFK_FOLDER "/libsmfk32.so", RTLD_NOW | RTLD_LOCAL);
  reinterpret_cast<void (*)()>(dlsym(fake, "FakeSmfkRelease"))();
}

}  // namespace
}  // namespace volta::shell
