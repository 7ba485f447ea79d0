// The MIDI setting pages: every value set through its control, written on OK, read back
// from the settings file and shown again by fresh pages; stored values of the wrong type
// or out of range show (and act as) their defaults; the port list with its descriptions
// follows devices that come and go.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>

#include "player/core/builtin_definitions.h"
#include "player/shell/midi/midi_config_pages.h"
#include "player/shell/midi/midi_template_page.h"
#include "player/shell/midi/port_chooser.h"
#include "player/shell/panel/language.h"
#include "player/shell/settings/property_sheet.h"
#include "tests/support/test_support.h"

namespace volta::shell {
namespace {

namespace fs = std::filesystem;
namespace st = platform::settings;
using platform::midi::DeviceKind;
using st::kMainKey;

const core::TINICritical& definitions() {
  static core::TINICritical store;
  static const bool loaded = (core::loadBuiltInDefinitions(store), true);
  (void)loaded;
  return store;
}

struct Devices {
  std::vector<DeviceInfo> list{{"Trace", DeviceKind::Trace},
                               {"Software synthesizer", DeviceKind::SoftwareSynth},
                               {"USB MIDI Interface MIDI 1", DeviceKind::Hardware}};
  DeviceLister lister() {
    return [this] { return list; };
  }
};

void chooseData(QComboBox* box, const QString& data) {
  ASSERT_NE(box, nullptr);
  const int index = box->findData(data);
  ASSERT_GE(index, 0) << data.toStdString();
  box->setCurrentIndex(index);
}

class MidiPages : public ::testing::Test {
 protected:
  // The MIDI setting sheet as the program builds it.
  std::unique_ptr<TPropertySheet> openSheet() {
    auto sheet = std::make_unique<TPropertySheet>("MIDI setting", store_);
    sequencer_ = sheet->addPage(new MIDIConfigDialog(kEnglish));
    ports_ = sheet->addPage(new MIDIConfigDialog2(devices_.lister(), definitions(), kEnglish));
    general_ = sheet->addPage(new MIDIConfigDialog3(definitions(), kEnglish));
    return sheet;
  }

  test::TempDir dir_;
  st::SettingsStore store_{dir_ / "QZ" / "VOLTA.conf"};
  Devices devices_;
  MIDIConfigDialog* sequencer_ = nullptr;
  MIDIConfigDialog2* ports_ = nullptr;
  MIDIConfigDialog3* general_ = nullptr;
};

TEST_F(MidiPages, AFirstStartShowsTheDefaults) {
  auto sheet = openSheet();
  ASSERT_EQ(sheet->tabs()->count(), 3);
  EXPECT_EQ(sheet->tabs()->tabText(0), "Sequencer");
  EXPECT_EQ(sheet->tabs()->tabText(1), "Ports");
  EXPECT_EQ(sheet->tabs()->tabText(2), "General");
  EXPECT_EQ(sequencer_->numberFor("IntervalTime")->value(), 5);
  EXPECT_EQ(sequencer_->numberFor("IntervalTime")->text(), "5 ms");
  EXPECT_EQ(sequencer_->numberFor("RepeatCount")->value(), 2);
  EXPECT_TRUE(sequencer_->switchFor("ScanLength")->isChecked());
  EXPECT_FALSE(sequencer_->switchFor("MidiRate")->isChecked());
  EXPECT_EQ(ports_->ports()->value(), core::MidiTemplate{});
  EXPECT_EQ(ports_->templateBox()->currentData().toInt(), -1);
  EXPECT_EQ(chosenKey(*general_->defaultModuleBox()), "THRU");
  EXPECT_EQ(chosenKey(*general_->filterBox()), "NONE");
  EXPECT_TRUE(general_->switchFor("AutoScan")->isChecked());
  EXPECT_TRUE(general_->userDefFileEdit()->text().isEmpty());
}

TEST_F(MidiPages, EveryValueRoundTripsThroughItsPage) {
  const fs::path userFile = dir_ / "user.def";
  {
    auto sheet = openSheet();
    sequencer_->numberFor("IntervalTime")->setValue(3);
    sequencer_->numberFor("RepeatCount")->setValue(7);
    sequencer_->numberFor("ExclusiveWait1")->setValue(40);
    sequencer_->numberFor("ExclusiveWait2")->setValue(60);
    for (const char* key : {"HSPlay", "MidiRate", "UseReset", "PortOpenClose"})
      sequencer_->switchFor(key)->setChecked(true);
    sequencer_->switchFor("ScanLength")->setChecked(false);
    chooseData(ports_->ports()->portBox(0), "USB MIDI Interface MIDI 1");
    chooseData(ports_->ports()->portBox(1), "Trace");
    chooseData(ports_->ports()->portBox(2), "Software synthesizer");
    chooseData(ports_->ports()->moduleBox(), "SC-88PRO");
    chooseData(ports_->templateBox(), "2");
    chooseData(general_->defaultModuleBox(), "GM");
    chooseData(general_->filterBox(), "NoExclusive");
    general_->userDefFileEdit()->setText(QString::fromStdString(userFile.string()));
    general_->defFileEdit()->setText("/usr/share/volta/other.def");
    general_->soundFontEdit()->setText("/opt/sounds/big.sf2");
    general_->bridgeEngineEdit()->setText("libolder.so");
    general_->switchFor("AutoScan")->setChecked(false);
    for (const char* key : {"SRYEnable", "AnalyzeMode", "DLLTypeIs32Bit"})
      general_->switchFor(key)->setChecked(true);
    sheet->accept();
  }

  // What a new reader of the file sees.
  const st::SettingsStore reread(store_.path());
  const core::CoreSettings stored = core::CoreSettings::read(reread);
  EXPECT_EQ(stored.intervalTime, 3);
  EXPECT_EQ(stored.repeatCount, 7);
  EXPECT_EQ(stored.exclusiveWait1, 40);
  EXPECT_EQ(stored.exclusiveWait2, 60);
  EXPECT_EQ(stored.hsPlay, 1);
  EXPECT_EQ(stored.midiRate, 1);
  EXPECT_EQ(stored.useReset, 1);
  EXPECT_EQ(stored.portOpenClose, 1);
  EXPECT_EQ(stored.scanLength, 0);
  EXPECT_EQ(stored.mainTemplate.ports[0], "USB MIDI Interface MIDI 1");
  EXPECT_EQ(stored.mainTemplate.ports[1], "Trace");
  EXPECT_EQ(stored.mainTemplate.ports[2], "Software synthesizer");
  EXPECT_EQ(stored.mainTemplate.module, "SC-88PRO");
  EXPECT_EQ(stored.midiTemplateMode, 2);
  EXPECT_EQ(stored.defaultModule, "GM");
  EXPECT_EQ(stored.filter, "NoExclusive");
  EXPECT_EQ(stored.userDefFile, userFile.string());
  EXPECT_EQ(stored.defFile, "/usr/share/volta/other.def");
  EXPECT_EQ(stored.soundFont, "/opt/sounds/big.sf2");
  EXPECT_EQ(stored.bridgeEngine, "libolder.so");
  EXPECT_EQ(stored.autoScan, 0);
  EXPECT_EQ(stored.sryEnable, 1);
  EXPECT_EQ(stored.analyzeMode, 1);
  EXPECT_EQ(stored.dllTypeIs32Bit, 1);
  EXPECT_EQ(reread.readInt(kMainKey, "IntervalTime", 0), 3);  // stored as integers
  EXPECT_EQ(reread.readString(kMainKey, "PORT_B", ""), "Trace");

  // Reopened, the pages show what was written.
  auto sheet = openSheet();
  EXPECT_EQ(sequencer_->numberFor("IntervalTime")->value(), 3);
  EXPECT_EQ(sequencer_->numberFor("ExclusiveWait2")->text(), "60 ms");
  EXPECT_TRUE(sequencer_->switchFor("UseReset")->isChecked());
  EXPECT_FALSE(sequencer_->switchFor("ScanLength")->isChecked());
  EXPECT_EQ(ports_->ports()->value(), stored.mainTemplate);
  EXPECT_EQ(ports_->templateBox()->currentData().toInt(), 2);
  EXPECT_EQ(chosenKey(*general_->filterBox()), "NoExclusive");
  EXPECT_EQ(general_->defFileEdit()->text(), "/usr/share/volta/other.def");
  EXPECT_EQ(general_->soundFontEdit()->text(), "/opt/sounds/big.sf2");
  EXPECT_EQ(general_->bridgeEngineEdit()->text(), "libolder.so");
  EXPECT_TRUE(general_->switchFor("DLLTypeIs32Bit")->isChecked());
  EXPECT_FALSE(general_->switchFor("AutoScan")->isChecked());
}

TEST_F(MidiPages, BadStoredValuesShowTheirDefaults) {
  st::SettingsBatch batch;
  batch.setString(kMainKey, "IntervalTime", "fast")
      .setInt(kMainKey, "RepeatCount", -4)
      .setInt(kMainKey, "ExclusiveWait1", 1'000'000)
      .setBinary(kMainKey, "ExclusiveWait2", {1, 2, 3})
      .setInt(kMainKey, "MIDITemplateMode", 17)
      .setBinary(kMainKey, "PORT_A", {0x41, 0x00})
      .setString(kMainKey, "ScanLength", "yes");
  ASSERT_TRUE(store_.apply(batch));
  const core::CoreSettings read = core::CoreSettings::read(store_);
  const core::CoreSettings defaults;
  EXPECT_EQ(read.intervalTime, defaults.intervalTime);
  EXPECT_EQ(read.repeatCount, defaults.repeatCount);
  EXPECT_EQ(read.exclusiveWait1, defaults.exclusiveWait1);
  EXPECT_EQ(read.exclusiveWait2, defaults.exclusiveWait2);
  EXPECT_EQ(read.midiTemplateMode, -1);
  EXPECT_EQ(core::readMidiTemplateMode(store_), -1);
  EXPECT_EQ(read.mainTemplate.ports[0], "MIDI Mapper");
  EXPECT_EQ(read.scanLength, 1);

  auto sheet = openSheet();
  EXPECT_EQ(sequencer_->numberFor("IntervalTime")->value(), 5);
  EXPECT_EQ(sequencer_->numberFor("RepeatCount")->value(), 2);
  EXPECT_EQ(sequencer_->numberFor("ExclusiveWait1")->value(), 0);
  EXPECT_TRUE(sequencer_->switchFor("ScanLength")->isChecked());
  EXPECT_EQ(ports_->templateBox()->currentData().toInt(), -1);
  EXPECT_EQ(chosenKey(*ports_->ports()->portBox(0)), "MIDI Mapper");
}

TEST_F(MidiPages, PortsDescribeTheirDevicesAndFollowHotPlugging) {
  store_.writeString(kMainKey, "PORT_A", "Trace");
  store_.writeString(kMainKey, "PORT_B", "Software synthesizer");
  store_.writeString(kMainKey, "PORT_C", "Keyboard Gone");
  auto sheet = openSheet();
  TPortChooser& ports = *ports_->ports();
  EXPECT_EQ(ports.description(0), "MIDI Port ");
  EXPECT_EQ(ports.description(1), "Synthsizer Voices:256 ");
  EXPECT_EQ(ports.description(2), "Unknown device");
  EXPECT_EQ(ports.portBox(2)->currentText(), "Keyboard Gone (not connected)");
  chooseData(ports.portBox(0), "MIDI Mapper");
  EXPECT_EQ(ports.description(0), "MIDI Mapper ");
  chooseData(ports.portBox(0), "(None)");
  EXPECT_EQ(ports.description(0), "");
  const int listed = ports.portBox(0)->count();

  // The keyboard is plugged in, the interface taken away.
  devices_.list.push_back({"Keyboard Gone", DeviceKind::Hardware});
  devices_.list.erase(devices_.list.begin() + 2);
  ports.refreshDevices();
  EXPECT_EQ(ports.portBox(2)->currentText(), "Keyboard Gone");
  EXPECT_EQ(ports.description(2), "MIDI Port ");
  EXPECT_EQ(ports.portBox(0)->count(), listed);
  EXPECT_EQ(ports.portBox(0)->findData("USB MIDI Interface MIDI 1"), -1);
  EXPECT_EQ(chosenKey(*ports.portBox(0)), "(None)");  // choices stay through a refresh
  EXPECT_EQ(chosenKey(*ports.portBox(1)), "Software synthesizer");
}

TEST_F(MidiPages, JapanesePagesSpeakJapanese) {
  MIDIConfigDialog sequencer(kJapanese);
  MIDIConfigDialog2 ports(devices_.lister(), definitions(), kJapanese);
  MIDIConfigDialog3 general(definitions(), kJapanese);
  EXPECT_EQ(sequencer.windowTitle(), "MIDI演奏の設定");
  EXPECT_EQ(ports.windowTitle(), "ポート");
  EXPECT_EQ(general.windowTitle(), "全般");
}

TEST_F(MidiPages, TemplatesKeepTheEditsOfEachUntilOk) {
  core::MidiTemplate second;
  second.ports = {"Trace", "(None)", "Trace"};
  second.module = "GM";
  ASSERT_TRUE(second.write(store_, 1));
  TMidiTemplatePage page(devices_.lister(), definitions(), kEnglish);
  page.read(store_);
  EXPECT_EQ(page.ports()->value(), core::MidiTemplate{});
  page.templateBox()->setCurrentIndex(1);
  EXPECT_EQ(page.ports()->value(), second);
  chooseData(page.ports()->portBox(1), "Software synthesizer");
  page.templateBox()->setCurrentIndex(3);
  chooseData(page.ports()->portBox(0), "USB MIDI Interface MIDI 1");
  chooseData(page.ports()->moduleBox(), "SC-55");
  page.templateBox()->setCurrentIndex(0);
  ASSERT_TRUE(page.write(store_));

  const st::SettingsStore reread(store_.path());
  EXPECT_EQ(core::MidiTemplate::read(reread, 0), core::MidiTemplate{});
  const auto one = core::MidiTemplate::read(reread, 1);
  EXPECT_EQ(one.ports[1], "Software synthesizer");
  EXPECT_EQ(one.module, "GM");
  const auto three = core::MidiTemplate::read(reread, 3);
  EXPECT_EQ(three.ports[0], "USB MIDI Interface MIDI 1");
  EXPECT_EQ(three.module, "SC-55");
  EXPECT_EQ(reread.readString(st::midiTemplateKey(2), "PORT_A", "?"), "MIDI Mapper");
}

TEST(DeviceDescription, NamesAreMatchedWithoutCase) {
  const std::vector<DeviceInfo> devices{{"Software synthesizer", DeviceKind::SoftwareSynth}};
  EXPECT_EQ(describeDevice("SOFTWARE SYNTHESIZER", devices, kEnglish), "Synthsizer Voices:256 ");
  EXPECT_EQ(describeDevice("Nothing", devices, kJapanese), "Unknown device");
  EXPECT_EQ(describeDevice("", devices, kEnglish), "");
}

}  // namespace
}  // namespace volta::shell
