#include "player/shell/midi/port_chooser.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "player/shell/panel/language.h"

namespace volta::shell {

TPortChooser::TPortChooser(DeviceLister lister, const core::TINICritical& definitions, int language, QWidget* parent)
    : QWidget(parent), lister_(std::move(lister)), devices_(lister_()), language_(language) {
  auto* form = new QFormLayout(this);
  for (std::size_t port = 0; port < ports_.size(); ++port) {
    ports_[port] = new QComboBox(this);
    ports_[port]->setObjectName(QStringLiteral("port%1").arg(QChar('A' + static_cast<int>(port))));
    ports_[port]->setMinimumContentsLength(24);
    descriptions_[port] = new QLabel(this);
    auto* column = new QVBoxLayout;
    column->addWidget(ports_[port]);
    column->addWidget(descriptions_[port]);
    form->addRow(pick(language, "ポート%1", "Port %1").arg(QChar('A' + static_cast<int>(port))), column);
    connect(ports_[port], &QComboBox::currentIndexChanged, this, [this, port] {
      describe(port);
      emit changed();
    });
  }
  module_ = new QComboBox(this);
  module_->setObjectName(QStringLiteral("module"));
  setKeyChoices(*module_, sectionChoices(definitions, "moduleindex"), core::MidiTemplate{}.module);
  form->addRow(pick(language, "接続している音源", "Connected module"), module_);
  connect(module_, &QComboBox::currentIndexChanged, this, &TPortChooser::changed);
  poll_.setInterval(kPollMs);
  connect(&poll_, &QTimer::timeout, this, &TPortChooser::refreshDevices);
  setTemplate(core::MidiTemplate{});
}

void TPortChooser::setTemplate(const core::MidiTemplate& values) {
  for (std::size_t port = 0; port < ports_.size(); ++port)
    fillPort(port, values.ports[port]);
  chooseKey(*module_, values.module);
}

core::MidiTemplate TPortChooser::value() const {
  core::MidiTemplate values;
  for (std::size_t port = 0; port < ports_.size(); ++port)
    values.ports[port] = chosenKey(*ports_[port]);
  values.module = chosenKey(*module_);
  return values;
}

void TPortChooser::refreshDevices() {
  auto devices = lister_();
  if (devices == devices_) return;
  devices_ = std::move(devices);
  for (std::size_t port = 0; port < ports_.size(); ++port)
    fillPort(port, chosenKey(*ports_[port]));
}

QString TPortChooser::description(int port) const {
  return descriptions_.at(static_cast<std::size_t>(port))->text();
}

// "MIDI Mapper", the devices, "(None)"; a chosen name that is none of them is kept, marked.
void TPortChooser::fillPort(std::size_t port, const std::string& chosen) {
  QComboBox& box = *ports_[port];
  const QSignalBlocker quiet(box);
  box.clear();
  box.addItem(QString::fromUtf8(core::kMapperPortName), QString::fromUtf8(core::kMapperPortName));
  for (const DeviceInfo& device : devices_)
    box.addItem(QString::fromStdString(device.name), QString::fromStdString(device.name));
  box.addItem(QString::fromUtf8(core::kNoPortName), QString::fromUtf8(core::kNoPortName));
  int index = box.findData(QString::fromStdString(chosen), Qt::UserRole, Qt::MatchFixedString);
  if (index < 0) {
    box.addItem(pick(language_, "%1（未接続）", "%1 (not connected)").arg(QString::fromStdString(chosen)),
                QString::fromStdString(chosen));
    index = box.count() - 1;
  }
  box.setCurrentIndex(index);
  describe(port);
}

void TPortChooser::describe(std::size_t port) {
  descriptions_[port]->setText(QString::fromStdString(describeDevice(chosenKey(*ports_[port]), devices_, language_)));
}

void TPortChooser::showEvent(QShowEvent* event) {
  refreshDevices();
  poll_.start();
  QWidget::showEvent(event);
}

void TPortChooser::hideEvent(QHideEvent* event) {
  poll_.stop();
  QWidget::hideEvent(event);
}

}  // namespace volta::shell
