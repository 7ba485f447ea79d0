// SMF Knife in the program as users start it: a song whose module conversion names a rule
// file plays rewritten, the SMF Knife command converts the chosen song beside it and the
// list then plays that file; the status panel's conversion progress texts.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTest>
#include <QTimer>

#include "player/core/smfk/song_conversion.h"
#include "player/monitor/status_panel.h"
#include "player/shell/frame/conversion_progress.h"
#include "player/shell/smfk/smfk_dialog.h"
#include "tests/player/shell/frame/application_fixture.h"

namespace volta::shell {
namespace {

namespace smfk = core::smfk;

// Rules that move every note an octave up: song i's note 60 + i is heard as 72 + i.
class SmfkApplicationTest : public ApplicationTest {
 protected:
  void SetUp() override {
    ApplicationTest::SetUp();
    fs::create_directory(dir_ / "knife");
    text(dir_ / "knife" / "OCTAVE.CFG", "transpose * 12\n");
    platform::settings::SettingsStore store(places_.settingsFile);
    store.writeString(kMainKey, "SMFKFolder", (dir_ / "knife").string());
  }
  static void text(const fs::path& path, const std::string& content) {
    test::writeFile(path, test::Bytes(content.begin(), content.end()));
  }
  bool heardNote(int note) const {
    char bytes[16];
    std::snprintf(bytes, sizeof bytes, "90 %02X", note);
    const auto lines = trace();
    return test::findLine(lines, bytes) < lines.size();
  }
};

TEST_F(SmfkApplicationTest, ASongWhoseConversionNamesRulesPlaysRewritten) {
  text(dir_ / "user.def", "[convindex]\r\nTHRU:SC-55=SMFK:octave.cfg\r\n");
  text(dir_ / "song0.tdf", "[MIDI]\r\nModuleName=SC-55\r\n");
  platform::settings::SettingsStore(places_.settingsFile)
      .writeString(kMainKey, "UserDefFile", (dir_ / "user.def").string());
  launch({songs_[0].string()});
  ASSERT_TRUE(waitFor([&] { return heardNote(72); }));
  EXPECT_FALSE(heardNote(60));
  EXPECT_TRUE(app_->panelLamp(monitor::item::kSmfKnife));
  EXPECT_EQ(app_->panelText(monitor::item::kTitle), "Song 0");
}

TEST_F(SmfkApplicationTest, AFailedConversionIsShownAndTheSongSkipped) {
  text(dir_ / "user.def", "[convindex]\r\nTHRU:SC-55=SMFK:missing.cfg\r\n");
  text(dir_ / "song0.tdf", "[MIDI]\r\nModuleName=SC-55\r\n");
  platform::settings::SettingsStore(places_.settingsFile)
      .writeString(kMainKey, "UserDefFile", (dir_ / "user.def").string());
  launch({songs_[0].string()});
  ASSERT_TRUE(waitFor([&] { return app_->panelText(monitor::item::kTitle) == "ERROR:Fail to open the midi file"; }));
  EXPECT_FALSE(heardNote(60));
}

TEST_F(SmfkApplicationTest, TheCommandConvertsTheSelectedSongAndTheListPlaysIt) {
  platform::settings::SettingsStore(places_.settingsFile).writeInt(kMainKey, "AutoDropPlay", 0);
  launch({"/n"});
  app_->controller().lists().drop({songs_[1].string()});
  ASSERT_EQ(app_->controller().lists().count(), 1u);
  bool converted = false;
  // The dialog is modal: it is worked from inside its own event loop.
  QTimer::singleShot(0, [&converted] {
    auto* dialog = qobject_cast<TSMFKDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->configurations()->setCurrentText("OCTAVE.CFG");
    dialog->convert();
    converted = QTest::qWaitFor([dialog] { return dialog->playConverted()->isChecked(); }, 20000);
    dialog->reject();
  });
  command(app::cmd::kSmfKnife);
  ASSERT_TRUE(converted);
  EXPECT_TRUE(fs::exists(dir_ / "song1.mid.smfk"));
  EXPECT_TRUE(app_->controller().lists().entryAt(0)->smfKnife);
  EXPECT_TRUE(app_->controller().lists().listModified());
  command(app::cmd::kPlay);
  ASSERT_TRUE(waitFor([&] { return heardNote(73); }));
  EXPECT_FALSE(heardNote(61));
  EXPECT_TRUE(app_->panelLamp(monitor::item::kSmfKnife));
}

TEST(ConversionProgress, TheFirstLineCarriesThePercent) {
  const std::int32_t record[4] = {2, 9, 7, 0};
  EXPECT_EQ(conversionProgressText(smfk::kRcpProgressMessage, 0, reinterpret_cast<std::intptr_t>(record), 1),
            "RCP converting  7%");
  EXPECT_EQ(conversionProgressText(smfk::kMessage, smfk::kProgress, 42, 0), "SMFK converting 42%");
  EXPECT_EQ(conversionProgressText(smfk::kMessage, smfk::kEnded, 42, 1), "");
  EXPECT_EQ(conversionProgressText(0x401, 0, 0, 1), "");
}

}  // namespace
}  // namespace volta::shell
