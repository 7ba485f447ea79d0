#pragma once
// "Port templates": the ports and module of each template the Play menu switches to
// (templates 1 to 4, stored as "MIDITemplate0" to "MIDITemplate3"). Switching between
// templates here keeps the edits of each until OK writes them all.

#include <QWidget>
#include <array>

#include "platform/settings/settings_store.h"
#include "player/core/core_settings.h"
#include "player/shell/midi/device_choice.h"

class QComboBox;

namespace volta::shell {

class TPortChooser;

class TMidiTemplatePage : public QWidget {
  Q_OBJECT

 public:
  TMidiTemplatePage(DeviceLister lister, const core::TINICritical& definitions, int language,
                    QWidget* parent = nullptr);
  void read(const platform::settings::SettingsStore& store);
  bool write(platform::settings::SettingsStore& store) const;

  // Shows template `index` (0 to 3) for editing.
  void showTemplate(int index);
  QComboBox* templateBox() const { return choice_; }
  TPortChooser* ports() const { return ports_; }

 private:
  // The edits of the template shown, kept.
  void keepShown();

  std::array<core::MidiTemplate, core::kTemplateCount> templates_;
  int shown_ = 0;
  QComboBox* choice_ = nullptr;
  TPortChooser* ports_ = nullptr;
};

}  // namespace volta::shell
