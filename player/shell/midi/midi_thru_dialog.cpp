#include "player/shell/midi/midi_thru_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>

#include "player/shell/midi/device_choice.h"

namespace volta::shell {

namespace {

QComboBox* listBox(QWidget* parent, const char* name, const std::vector<std::string>& items) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromUtf8(name));
  for (const std::string& item : items)
    box->addItem(QString::fromStdString(item));
  return box;
}

}  // namespace

TMidiThruDialog::TMidiThruDialog(core::OutputHandle& output, int language, QWidget* parent)
    : QDialog(parent), thru_(std::make_unique<core::MidiThru>(output)), language_(language) {
  setWindowTitle(QStringLiteral("MIDI THRU"));
  auto* form = new QFormLayout(this);
  std::vector<std::string> inputs{"OFF"};
  for (const std::string& name : core::MidiThru::inputNames())
    inputs.push_back(name);
  input_ = listBox(this, "input", inputs);
  destination_ = listBox(this, "destination", core::MidiThruRouter::destinationNames());
  velocity_ = listBox(this, "velocity", core::MidiThruRouter::velocityNames());
  status_ = new QLabel(this);
  form->addRow(pick(language, "入力", "Input"), input_);
  form->addRow(pick(language, "出力先", "Destination"), destination_);
  form->addRow(pick(language, "ベロシティ", "Velocity"), velocity_);
  form->addRow(status_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &TMidiThruDialog::reject);
  form->addRow(buttons);
  connect(input_, &QComboBox::activated, this, &TMidiThruDialog::chooseInput);
  connect(destination_, &QComboBox::currentIndexChanged, this,
          [this](int index) { thru_->router().setDestination(index); });
  connect(velocity_, &QComboBox::currentIndexChanged, this, [this](int index) { thru_->router().setVelocity(index); });
}

TMidiThruDialog::~TMidiThruDialog() = default;

bool TMidiThruDialog::chooseInput(int index) {
  const QSignalBlocker quiet(input_);
  input_->setCurrentIndex(index);
  status_->clear();
  if (index <= 0) {
    thru_->stop();
    return true;
  }
  if (thru_->start(static_cast<std::uint32_t>(index - 1))) return true;
  status_->setText(pick(language_, "%1 を開けません", "Cannot open %1").arg(input_->itemText(index)));
  input_->setCurrentIndex(0);
  return false;
}

void TMidiThruDialog::outputClosing() {
  thru_->stop();
  close();
}

QString TMidiThruDialog::status() const {
  return status_->text();
}

}  // namespace volta::shell
