#pragma once
// The pages of "MIDI setting": "Sequencer" (engine timing, output pacing and resets,
// loops, head skip, length scan), "Ports" (the devices of ports A-C, the connected module
// and the template in use) and "General" (song module, filter, module definition files,
// detection, Sherry WRD, engine choice). Each reads its values from the settings when
// opened and writes them on OK; a stored value of the wrong type or out of range shows
// its default.

#include <QWidget>
#include <cstdint>
#include <vector>

#include "platform/settings/settings_store.h"
#include "player/core/core_settings.h"
#include "player/core/module_definitions.h"
#include "player/shell/midi/device_choice.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;
class QSpinBox;

namespace volta::shell {

class TPortChooser;

// Switches and numbers of the core settings, each a control on the page's form.
class CoreSettingsPage : public QWidget {
  Q_OBJECT

 public:
  using Field = std::int32_t core::CoreSettings::*;

  QCheckBox* switchFor(const char* key) const;
  QSpinBox* numberFor(const char* key) const;

 protected:
  CoreSettingsPage(int language, int titleId, QWidget* parent);
  void addSwitch(const char* key, Field field, const QString& label);
  void addNumber(const char* key, Field field, int least, int most, bool milliseconds, const QString& label);
  void showControls(const core::CoreSettings& settings);
  void addControls(platform::settings::SettingsBatch& batch) const;

  QFormLayout* form_ = nullptr;
  int language_;

 private:
  struct Control {
    const char* key;
    Field field;
    QCheckBox* check = nullptr;
    QSpinBox* spin = nullptr;
  };
  std::vector<Control> controls_;
};

// "Sequencer".
class MIDIConfigDialog : public CoreSettingsPage {
  Q_OBJECT

 public:
  explicit MIDIConfigDialog(int language, QWidget* parent = nullptr);
  void read(const platform::settings::SettingsStore& store);
  bool write(platform::settings::SettingsStore& store) const;
};

// "Ports": template -1's ports and module, and "MIDITemplateMode".
class MIDIConfigDialog2 : public QWidget {
  Q_OBJECT

 public:
  MIDIConfigDialog2(DeviceLister lister, const core::TINICritical& definitions, int language,
                    QWidget* parent = nullptr);
  void read(const platform::settings::SettingsStore& store);
  bool write(platform::settings::SettingsStore& store) const;

  TPortChooser* ports() const { return ports_; }
  QComboBox* templateBox() const { return template_; }

 private:
  TPortChooser* ports_ = nullptr;
  QComboBox* template_ = nullptr;
};

// "General".
class MIDIConfigDialog3 : public CoreSettingsPage {
  Q_OBJECT

 public:
  MIDIConfigDialog3(const core::TINICritical& definitions, int language, QWidget* parent = nullptr);
  void read(const platform::settings::SettingsStore& store);
  bool write(platform::settings::SettingsStore& store) const;

  QComboBox* defaultModuleBox() const { return defaultModule_; }
  QComboBox* filterBox() const { return filter_; }
  QLineEdit* userDefFileEdit() const { return userDefFile_; }
  QLineEdit* defFileEdit() const { return defFile_; }
  QLineEdit* soundFontEdit() const { return soundFont_; }
  QLineEdit* bridgeEngineEdit() const { return bridgeEngine_; }

 private:
  QLineEdit* addFileRow(const QString& label, const char* objectName, const QString& filter);

  QComboBox* defaultModule_ = nullptr;
  QComboBox* filter_ = nullptr;
  QLineEdit* userDefFile_ = nullptr;
  QLineEdit* defFile_ = nullptr;
  QLineEdit* soundFont_ = nullptr;
  QLineEdit* bridgeEngine_ = nullptr;
};

}  // namespace volta::shell
