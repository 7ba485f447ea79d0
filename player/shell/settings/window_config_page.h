#pragma once
// The "Window, other" page: which panes live in windows of their own, the priority of
// the player, what mini mode shows and whether it stays on top, and the options of
// dropping, full screen, the tray icon and idle-time display updates.

#include <QWidget>
#include <array>

#include "player/shell/settings/general_values.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSlider;

namespace volta::shell {

class TWindowConfigDialog : public QWidget {
  Q_OBJECT

 public:
  explicit TWindowConfigDialog(int language, QWidget* parent = nullptr);

  void setValues(const WindowValues& values);
  WindowValues values() const;
  void read(const platform::settings::SettingsStore& store) { setValues(WindowValues::read(store)); }
  // False when the settings could not be written.
  bool write(platform::settings::SettingsStore& store) const;

  QCheckBox* paneBox(int pane) const { return panes_.at(static_cast<std::size_t>(pane)); }
  QSlider* priority() const { return priority_; }
  QRadioButton* miniChoice(int minimize) const { return mini_.at(static_cast<std::size_t>(minimize)); }
  QCheckBox* miniAlwaysTop() const { return miniAlwaysTop_; }
  QCheckBox* autoDropPlay() const { return autoDropPlay_; }
  QCheckBox* ddNoRead() const { return ddNoRead_; }
  QCheckBox* trayIcon() const { return trayIcon_; }
  QCheckBox* idleNoAct() const { return idleNoAct_; }
  QCheckBox* idleNoAct2() const { return idleNoAct2_; }
  QLineEdit* shortCut() const { return shortCut_; }

 private:
  std::array<QCheckBox*, 5> panes_{};
  QSlider* priority_ = nullptr;
  std::array<QRadioButton*, 3> mini_{};
  QCheckBox* miniAlwaysTop_ = nullptr;
  QCheckBox* autoDropPlay_ = nullptr;
  QCheckBox* ddNoRead_ = nullptr;
  QCheckBox* trayIcon_ = nullptr;
  QCheckBox* idleNoAct_ = nullptr;
  QCheckBox* idleNoAct2_ = nullptr;
  QLineEdit* shortCut_ = nullptr;
};

}  // namespace volta::shell
