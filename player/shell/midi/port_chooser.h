#pragma once
// The devices of ports A, B and C with a description of each choice, and the module
// connected to them: the values of one MIDI template. While shown it follows devices
// that are plugged in or go away; a chosen device that is not there stays chosen and is
// marked as not connected, so that opening the page never changes a setting.

#include <QTimer>
#include <QWidget>
#include <array>
#include <vector>

#include "player/core/core_settings.h"
#include "player/shell/midi/device_choice.h"

class QComboBox;
class QLabel;

namespace volta::shell {

class TPortChooser : public QWidget {
  Q_OBJECT

 public:
  // How often the device list is looked at while the chooser is shown.
  static constexpr int kPollMs = 1500;

  TPortChooser(DeviceLister lister, const core::TINICritical& definitions, int language, QWidget* parent = nullptr);

  void setTemplate(const core::MidiTemplate& values);
  core::MidiTemplate value() const;
  // Lists the devices again, keeping every port's choice.
  void refreshDevices();

  QComboBox* portBox(int port) const { return ports_.at(static_cast<std::size_t>(port)); }
  QComboBox* moduleBox() const { return module_; }
  QString description(int port) const;

 signals:
  void changed();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void fillPort(std::size_t port, const std::string& chosen);
  void describe(std::size_t port);

  DeviceLister lister_;
  std::vector<DeviceInfo> devices_;
  int language_;
  std::array<QComboBox*, 3> ports_{};
  std::array<QLabel*, 3> descriptions_{};
  QComboBox* module_ = nullptr;
  QTimer poll_;
};

}  // namespace volta::shell
