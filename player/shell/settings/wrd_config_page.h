#pragma once
// The "WRD" page: when the WRD pane comes forward, how scripts are drawn, the full
// screen's options, the two font files, and the screen modes the full screen can use.

#include <QWidget>

#include "player/shell/settings/general_values.h"

class QCheckBox;
class QComboBox;
class QListWidget;

namespace volta::shell {

class FileChoice;

class TWRDConfigDialog : public QWidget {
  Q_OBJECT

 public:
  explicit TWRDConfigDialog(int language, QWidget* parent = nullptr);

  void setValues(const WrdValues& values);
  WrdValues values() const;
  void read(const platform::settings::SettingsStore& store) { setValues(WrdValues::read(store)); }
  bool write(platform::settings::SettingsStore& store) const { return writeValues(store, values()); }

  QCheckBox* autoWrd() const { return autoWrd_; }
  QCheckBox* autoWrd2() const { return autoWrd2_; }
  QCheckBox* highSpeed() const { return highSpeed_; }
  QCheckBox* noWrd() const { return noWrd_; }
  QCheckBox* line480() const { return line480_; }
  QCheckBox* ddChange() const { return ddChange_; }
  QComboBox* vsync() const { return vsync_; }
  FileChoice* wrdFont() const { return wrdFont_; }
  FileChoice* kanaFont() const { return kanaFont_; }
  QListWidget* screenModes() const { return modes_; }

 private:
  QCheckBox* autoWrd_;
  QCheckBox* autoWrd2_;
  QCheckBox* highSpeed_;
  QCheckBox* noWrd_;
  QCheckBox* line480_;
  QCheckBox* ddChange_;
  QComboBox* vsync_;
  FileChoice* wrdFont_;
  FileChoice* kanaFont_;
  QListWidget* modes_;
};

}  // namespace volta::shell
