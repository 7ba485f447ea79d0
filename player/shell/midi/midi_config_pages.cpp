#include "player/shell/midi/midi_config_pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "bridge95/older_engine_setting.h"
#include "player/shell/midi/port_chooser.h"
#include "player/shell/panel/string_table.h"

namespace volta::shell {

namespace st = platform::settings;
using core::CoreSettings;

namespace {

// "%d ms" of the string table, as the suffix of a number box.
QString millisecondSuffix(int language) {
  return textIn(text_id::kMilliseconds, language).remove(QStringLiteral("%d"));
}

}  // namespace

// ---- switches and numbers ----

CoreSettingsPage::CoreSettingsPage(int language, int titleId, QWidget* parent) : QWidget(parent), language_(language) {
  setWindowTitle(textIn(titleId, language));
  form_ = new QFormLayout(this);
}

void CoreSettingsPage::addSwitch(const char* key, Field field, const QString& label) {
  auto* check = new QCheckBox(label, this);
  check->setObjectName(QString::fromUtf8(key));
  form_->addRow(check);
  controls_.push_back({key, field, check, nullptr});
}

void CoreSettingsPage::addNumber(const char* key, Field field, int least, int most, bool milliseconds,
                                 const QString& label) {
  auto* spin = new QSpinBox(this);
  spin->setObjectName(QString::fromUtf8(key));
  spin->setRange(least, most);
  if (milliseconds) spin->setSuffix(millisecondSuffix(language_));
  form_->addRow(label, spin);
  controls_.push_back({key, field, nullptr, spin});
}

QCheckBox* CoreSettingsPage::switchFor(const char* key) const {
  return findChild<QCheckBox*>(QString::fromUtf8(key));
}

QSpinBox* CoreSettingsPage::numberFor(const char* key) const {
  return findChild<QSpinBox*>(QString::fromUtf8(key));
}

void CoreSettingsPage::showControls(const CoreSettings& settings) {
  for (const Control& control : controls_) {
    const std::int32_t value = settings.*control.field;
    if (control.check) control.check->setChecked(value != 0);
    if (control.spin) control.spin->setValue(value);
  }
}

void CoreSettingsPage::addControls(st::SettingsBatch& batch) const {
  for (const Control& control : controls_) {
    const int value = control.check ? (control.check->isChecked() ? 1 : 0) : control.spin->value();
    batch.setInt(st::kMainKey, control.key, value);
  }
}

// ---- Sequencer ----

MIDIConfigDialog::MIDIConfigDialog(int language, QWidget* parent)
    : CoreSettingsPage(language, text_id::kPageSequencer, parent) {
  const auto l = language;
  addNumber("IntervalTime", &CoreSettings::intervalTime, 1, core::kMaxIntervalTime, true,
            pick(l, "タイマー間隔", "Timer interval"));
  addNumber("RepeatCount", &CoreSettings::repeatCount, 0, core::kMaxRepeatCount, false,
            pick(l, "無限ループの繰り返し回数", "Repeats of endless loops"));
  addNumber("ExclusiveWait1", &CoreSettings::exclusiveWait1, 0, core::kMaxExclusiveWait, true,
            pick(l, "エクスクルーシブ後の待ち 1", "Wait after exclusives 1"));
  addNumber("ExclusiveWait2", &CoreSettings::exclusiveWait2, 0, core::kMaxExclusiveWait, true,
            pick(l, "エクスクルーシブ後の待ち 2", "Wait after exclusives 2"));
  addSwitch("HSPlay", &CoreSettings::hsPlay, pick(l, "曲頭の無音を飛ばす", "Skip the silent lead-in"));
  addSwitch("MidiRate", &CoreSettings::midiRate, pick(l, "MIDI の転送速度で送る", "Send at MIDI wire speed"));
  addSwitch("UseReset", &CoreSettings::useReset,
            pick(l, "リセット時にデバイスもリセット", "Reset the devices with the output"));
  addSwitch("ScanLength", &CoreSettings::scanLength, pick(l, "演奏前に曲の長さを調べる", "Scan the length first"));
  addSwitch("PortOpenClose", &CoreSettings::portOpenClose,
            pick(l, "曲ごとにポートを開き直す", "Reopen the ports for every song"));
}

void MIDIConfigDialog::read(const st::SettingsStore& store) {
  showControls(CoreSettings::read(store));
}

bool MIDIConfigDialog::write(st::SettingsStore& store) const {
  st::SettingsBatch batch;
  addControls(batch);
  return store.apply(batch);
}

// ---- Ports ----

MIDIConfigDialog2::MIDIConfigDialog2(DeviceLister lister, const core::TINICritical& definitions, int language,
                                     QWidget* parent)
    : QWidget(parent) {
  setWindowTitle(textIn(text_id::kPagePorts, language));
  auto* layout = new QVBoxLayout(this);
  ports_ = new TPortChooser(std::move(lister), definitions, language, this);
  layout->addWidget(ports_);
  auto* form = new QFormLayout;
  template_ = new QComboBox(this);
  template_->setObjectName(QStringLiteral("MIDITemplateMode"));
  template_->addItem(pick(language, "なし（上のポート）", "None (the ports above)"), -1);
  for (int index = 0; index < core::kTemplateCount; ++index)
    template_->addItem(pick(language, "テンプレート %1", "Template %1").arg(index + 1), index);
  form->addRow(pick(language, "使うポートテンプレート", "Port template in use"), template_);
  layout->addLayout(form);
  layout->addStretch();
}

void MIDIConfigDialog2::read(const st::SettingsStore& store) {
  const CoreSettings settings = CoreSettings::read(store);
  ports_->setTemplate(settings.mainTemplate);
  template_->setCurrentIndex(std::max(0, template_->findData(settings.midiTemplateMode)));
}

bool MIDIConfigDialog2::write(st::SettingsStore& store) const {
  st::SettingsBatch batch;
  ports_->value().addTo(batch, -1);
  batch.setInt(st::kMainKey, "MIDITemplateMode", template_->currentData().toInt());
  return store.apply(batch);
}

// ---- General ----

MIDIConfigDialog3::MIDIConfigDialog3(const core::TINICritical& definitions, int language, QWidget* parent)
    : CoreSettingsPage(language, text_id::kPageGeneral, parent) {
  const auto l = language;
  defaultModule_ = new QComboBox(this);
  defaultModule_->setObjectName(QStringLiteral("DefaultModule"));
  setKeyChoices(*defaultModule_, sectionChoices(definitions, "tdfindex"), CoreSettings{}.defaultModule);
  form_->addRow(pick(l, "不明な曲の音源", "Module of unknown songs"), defaultModule_);
  filter_ = new QComboBox(this);
  filter_->setObjectName(QStringLiteral("Filter"));
  setKeyChoices(*filter_, sectionChoices(definitions, "filterindex"), CoreSettings{}.filter);
  form_->addRow(pick(l, "フィルタ", "Filter"), filter_);
  const QString definitionFiles =
      pick(l, "音源定義 (*.def *.DEF);;すべて (*)", "Module definitions (*.def *.DEF);;All files (*)");
  userDefFile_ = addFileRow(pick(l, "ユーザー定義ファイル", "User module file"), "UserDefFile", definitionFiles);
  defFile_ = addFileRow(pick(l, "音源定義ファイル", "Module definition file"), "DefFile", definitionFiles);
  soundFont_ = addFileRow(pick(l, "SoundFont（ソフトウェア音源）", "SoundFont (software synthesizer)"), "SoundFont",
                          pick(l, "SoundFont (*.sf2 *.SF2);;すべて (*)", "SoundFonts (*.sf2 *.SF2);;All files (*)"));
  soundFont_->setPlaceholderText(pick(l, "空欄: 標準の SoundFont", "Empty: the standard SoundFont"));
  bridgeEngine_ = addFileRow(
      pick(l, "ブリッジが使う旧エンジン（次回起動から）", "Older engine for the bridge (next start)"),
      bridge95::kOlderEngineSetting, pick(l, "ライブラリ (*.so);;すべて (*)", "Libraries (*.so);;All files (*)"));
  bridgeEngine_->setPlaceholderText(pick(l, "空欄: ブリッジを使わない", "Empty: no bridge"));
  addSwitch("AutoScan", &CoreSettings::autoScan, pick(l, "曲の音源を自動判別", "Detect the song's module"));
  addSwitch("SRYEnable", &CoreSettings::sryEnable, pick(l, "Sherry WRD (.sry) を使う", "Use Sherry WRD (.sry)"));
  addSwitch("AnalyzeMode", &CoreSettings::analyzeMode, pick(l, "解析モード", "Analyze mode"));
  addSwitch("DLLTypeIs32Bit", &CoreSettings::dllTypeIs32Bit,
            pick(l, "32ビットエンジンを優先（Linux では常に使用）", "Prefer the 32-bit engine (always used on Linux)"));
}

QLineEdit* MIDIConfigDialog3::addFileRow(const QString& label, const char* objectName, const QString& filter) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QString::fromUtf8(objectName));
  auto* browse = new QPushButton(QStringLiteral("..."), this);
  browse->setMaximumWidth(32);
  connect(browse, &QPushButton::clicked, this, [this, edit, filter] {
    const QString chosen = QFileDialog::getOpenFileName(this, QString(), edit->text(), filter);
    if (!chosen.isEmpty()) edit->setText(chosen);
  });
  auto* row = new QHBoxLayout;
  row->addWidget(edit);
  row->addWidget(browse);
  form_->addRow(label, row);
  return edit;
}

void MIDIConfigDialog3::read(const st::SettingsStore& store) {
  const CoreSettings settings = CoreSettings::read(store);
  chooseKey(*defaultModule_, settings.defaultModule);
  chooseKey(*filter_, settings.filter);
  userDefFile_->setText(QFile::decodeName(settings.userDefFile.c_str()));
  defFile_->setText(QFile::decodeName(settings.defFile.c_str()));
  soundFont_->setText(QFile::decodeName(settings.soundFont.c_str()));
  bridgeEngine_->setText(QFile::decodeName(settings.bridgeEngine.c_str()));
  showControls(settings);
}

bool MIDIConfigDialog3::write(st::SettingsStore& store) const {
  st::SettingsBatch batch;
  batch.setString(st::kMainKey, "DefaultModule", chosenKey(*defaultModule_))
      .setString(st::kMainKey, "Filter", chosenKey(*filter_))
      .setString(st::kMainKey, "UserDefFile", QFile::encodeName(userDefFile_->text()).toStdString())
      .setString(st::kMainKey, "DefFile", QFile::encodeName(defFile_->text()).toStdString())
      .setString(st::kMainKey, "SoundFont", QFile::encodeName(soundFont_->text()).toStdString())
      .setString(st::kMainKey, bridge95::kOlderEngineSetting, QFile::encodeName(bridgeEngine_->text()).toStdString());
  addControls(batch);
  return store.apply(batch);
}

}  // namespace volta::shell
