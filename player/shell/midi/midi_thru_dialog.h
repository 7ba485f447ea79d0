#pragma once
// "MIDI THRU": what an input device (a keyboard, another program) plays goes through
// the player's output to a port, keeping its channel or on a fixed one, with the
// velocity unchanged or fixed. Stays open beside the player; closing it lets the input go.

#include <QDialog>
#include <memory>

#include "player/core/midi_thru.h"

class QComboBox;
class QLabel;

namespace volta::shell {

class TMidiThruDialog : public QDialog {
  Q_OBJECT

 public:
  // The output must outlive the dialog's listening: call outputClosing() before it goes.
  TMidiThruDialog(core::OutputHandle& output, int language, QWidget* parent = nullptr);
  ~TMidiThruDialog() override;

  // Listens to input `index` of the list (0 is "OFF"); false when it does not open.
  bool chooseInput(int index);
  bool listening() const { return thru_->running(); }
  // The output is about to close: the input is let go and the dialog closes.
  void outputClosing();

  QComboBox* inputBox() const { return input_; }
  QComboBox* destinationBox() const { return destination_; }
  QComboBox* velocityBox() const { return velocity_; }
  QString status() const;

 private:
  std::unique_ptr<core::MidiThru> thru_;
  int language_;
  QComboBox* input_ = nullptr;
  QComboBox* destination_ = nullptr;
  QComboBox* velocity_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace volta::shell
