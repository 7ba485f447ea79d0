// The MIDI dialogs in the whole program on the real engine and its trace device: a port
// changed in "MIDI setting" plays the next song without a restart, a port whose device is
// gone plays elsewhere with a notice, MIDI THRU passes an input to the output and lets it
// go when the output closes, and a song's properties reach its TDF file and its row.

#include "player/shell/midi/midi_dialogs.h"

#include <QComboBox>

#include "player/core/song_tdf.h"
#include "player/shell/frame/file_list.h"
#include "player/shell/midi/midi_config_pages.h"
#include "player/shell/midi/port_chooser.h"
#include "player/shell/midi/song_dialogs.h"
#include "tests/player/shell/frame/application_fixture.h"

namespace volta::shell {
namespace {

namespace midi = platform::midi;

void chooseData(QComboBox* box, const QString& data) {
  ASSERT_NE(box, nullptr);
  const int index = box->findData(data);
  ASSERT_GE(index, 0) << data.toStdString();
  box->setCurrentIndex(index);
}

// The ports of the trace's lines that carry song i's note.
std::string portsOfNote(const std::vector<test::TraceLine>& lines, int i) {
  std::string ports;
  for (const auto& line : lines)
    if (line.bytes.rfind(noteOn(i), 0) == 0) ports += line.port;
  return ports;
}

TEST_F(ApplicationTest, APortChangedInMidiSettingPlaysTheNextSong) {
  platform::settings::SettingsStore(places_.settingsFile).writeString(kMainKey, "PORT_A", "(None)");
  MIDIApplication& app = launch({listFile().string()});
  EXPECT_TRUE(app.controller().playback().state().playing);
  EXPECT_FALSE(heard(0));  // port A is closed

  command(app::cmd::kMidiSetting);
  TPropertySheet* sheet = app.midiDialogs()->sheet();
  ASSERT_NE(sheet, nullptr);
  auto* ports = sheet->findChild<MIDIConfigDialog2*>();
  ASSERT_NE(ports, nullptr);
  EXPECT_EQ(chosenKey(*ports->ports()->portBox(0)), "(None)");
  chooseData(ports->ports()->portBox(0), "Trace");
  EXPECT_EQ(ports->ports()->description(0), "MIDI Port ");
  sheet->accept();

  app.controller().playback().playPosition(1);
  ASSERT_TRUE(waitFor([&] { return heard(1); }));  // the output opened again, without a restart
  EXPECT_EQ(portsOfNote(trace(), 1), "A");
  app.keep();
  EXPECT_EQ(platform::settings::SettingsStore(places_.settingsFile).readString(kMainKey, "PORT_A", ""), "Trace");
}

TEST_F(ApplicationTest, ATemplateChosenInMidiSettingIsKeptAtExit) {
  MIDIApplication& app = launch({"/n"});
  command(app::cmd::kMidiSetting);
  auto* ports = app.midiDialogs()->sheet()->findChild<MIDIConfigDialog2*>();
  ASSERT_NE(ports, nullptr);
  chooseData(ports->templateBox(), "1");
  app.midiDialogs()->sheet()->accept();
  EXPECT_TRUE(app.controller().checked(app::cmd::kTemplate2));
  app.shutDown();
  const platform::settings::SettingsStore stored(places_.settingsFile);
  EXPECT_EQ(stored.readInt(kMainKey, "MIDITemplateMode", -1), 1);
}

TEST_F(ApplicationTest, APortWhoseDeviceIsGoneIsToldAndTheSongPlaysOn) {
  platform::settings::SettingsStore store(places_.settingsFile);
  store.writeString(kMainKey, "PORT_A", "Keyboard Unplugged");
  store.writeString(kMainKey, "PORT_B", "Trace");  // a port that opens: the notice is of the missing one
  MIDIApplication& app = launch({listFile().string()});
  EXPECT_TRUE(app.controller().playback().state().playing);
  const auto& log = app.dialogLog();
  const auto told = std::find_if(log.begin(), log.end(), [](const std::string& line) {
    return line.find("Port A: \"Keyboard Unplugged\" is not connected") != std::string::npos;
  });
  EXPECT_NE(told, log.end());

  command(app::cmd::kMidiSetting);
  auto* ports = app.midiDialogs()->sheet()->findChild<MIDIConfigDialog2*>();
  EXPECT_EQ(ports->ports()->portBox(0)->currentText(), "Keyboard Unplugged (not connected)");
  EXPECT_EQ(ports->ports()->description(0), "Unknown device");
}

// An input whose messages the test plays.
struct Keyboard {
  midi::InputCallback callback;
  void send(std::uint32_t message) { callback({midi::InputMessage::Kind::Short, message, nullptr, 0, 0}); }
};
Keyboard& keyboard() {
  static Keyboard instance;
  return instance;
}
constexpr const char* kKeyboardName = "THRU Keyboard";

class KeyboardBackend : public midi::InputBackend {
 public:
  void enumerate(std::vector<midi::InputDeviceEntry>& list) override {
    list.push_back({kKeyboardName, [](midi::InputCallback callback) -> std::unique_ptr<midi::InputDevice> {
                      struct Open : midi::InputDevice {
                        ~Open() override { keyboard().callback = nullptr; }
                      };
                      keyboard().callback = std::move(callback);
                      return std::make_unique<Open>();
                    }});
  }
};

TEST_F(ApplicationTest, MidiThruPassesAnInputToThePortUntilTheOutputCloses) {
  static const bool registered = (midi::registerInputBackend(std::make_shared<KeyboardBackend>()), true);
  (void)registered;
  MIDIApplication& app = launch({"/n"});
  command(app::cmd::kMidiThru);
  TMidiThruDialog* thru = app.midiDialogs()->thru();
  ASSERT_NE(thru, nullptr);
  EXPECT_EQ(thru->inputBox()->itemText(0), "OFF");
  const int input = thru->inputBox()->findText(kKeyboardName);
  ASSERT_GT(input, 0);
  ASSERT_TRUE(thru->chooseInput(input));
  thru->velocityBox()->setCurrentIndex(28);  // 100
  ASSERT_TRUE(keyboard().callback);
  keyboard().send(0x90 | 0x45 << 8 | 0x20 << 16);
  ASSERT_TRUE(waitFor([&] {
    const auto lines = trace();
    return test::findLine(lines, "90 45 64") < lines.size();
  }));

  // A template switch opens the output again: THRU lets the input go and closes first.
  command(app::cmd::kTemplate1);
  EXPECT_FALSE(keyboard().callback);
  EXPECT_TRUE(waitFor([&] { return app.midiDialogs()->thru() == nullptr; }));
  EXPECT_FALSE(app.controller().playback().state().midiThruOpen);
}

TEST_F(ApplicationTest, SongPropertiesReachTheTdfFileAndTheRow) {
  MIDIApplication& app = launch({listFile().string()});
  ASSERT_TRUE(waitFor([&] { return heard(0); }));
  TSongPropertiesDialog* dialog = app.midiDialogs()->openSongProperties(2);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), "Song 2");
  dialog->portAssignBox()->setCurrentIndex(3);
  dialog->setModule("SC-88");
  dialog->accept();
  const auto stored = core::readSongTdf(songs_[2], {}, {}, 31);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->moduleName, "SC-88");
  EXPECT_EQ(stored->portAssignType, 3);
  EXPECT_EQ(app.controller().lists().entryAt(2)->module, "SC-88");
  EXPECT_EQ(app.fileList().rowAt(2).module, "SC-88");
  EXPECT_TRUE(app.controller().lists().listModified());
  EXPECT_EQ(app.fileList().actions().size(), 2);  // Properties... and Module... in its context menu
  EXPECT_EQ(app.midiDialogs()->openSongProperties(9), nullptr);
}

}  // namespace
}  // namespace volta::shell
