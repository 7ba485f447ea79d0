#pragma once
// The song's own settings, kept in its TDF file beside it: the properties dialog (port
// assignment, with the song's length, WRD state, path and archive member shown) and the
// module dialog ("Auto", then the song modules of the definitions).

#include <QDialog>
#include <filesystem>
#include <string>

#include "player/core/midi_file.h"
#include "player/core/module_definitions.h"

class QComboBox;
class QLabel;
class QListWidget;

namespace volta::shell {

// The longest module name the song dialogs keep.
inline constexpr std::size_t kDialogModuleLength = 49;

// The module a song was written for.
class TTdfDialog : public QDialog {
  Q_OBJECT

 public:
  // Opens at `module` (at "Auto" when it is empty or unknown).
  TTdfDialog(const core::TINICritical& definitions, const std::string& module, int language, QWidget* parent = nullptr);
  // The chosen module's key; empty for "Auto" (the module is detected).
  std::string module() const;
  QListWidget* list() const { return list_; }

 private:
  QListWidget* list_ = nullptr;
};

class TSongPropertiesDialog : public QDialog {
  Q_OBJECT

 public:
  // The entry's values are the defaults of what the song's TDF file holds.
  TSongPropertiesDialog(const core::MIDIFile& entry, std::filesystem::path songPath,
                        const core::TINICritical& definitions, int language, QWidget* parent = nullptr);

  // The entry with the module and port assignment chosen.
  const core::MIDIFile& entry() const { return entry_; }
  void setModule(const std::string& module);
  // Opens the module dialog; false when it was cancelled.
  bool chooseModule();
  // OK: writes the TDF file; false (the dialog stays) when it cannot be written.
  bool save();
  void accept() override;

  QComboBox* portAssignBox() const { return portAssign_; }
  QLabel* moduleLabel() const { return module_; }

 private:
  core::MIDIFile entry_;
  std::filesystem::path songPath_;
  const core::TINICritical& definitions_;
  int language_;
  QComboBox* portAssign_ = nullptr;
  QLabel* module_ = nullptr;
  QLabel* error_ = nullptr;
};

// "%02d:%02d", minutes and seconds.
QString lengthText(std::uint32_t milliseconds);

}  // namespace volta::shell
