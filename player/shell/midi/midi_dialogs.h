#pragma once
// The MIDI commands of the main window: "MIDI setting" (2008, the Sequencer, Ports and
// General pages), "Port templates" (2018), "MIDI THRU" (2012), and the list window's
// "Properties..." and "Module..." of a song. The dialogs open beside the player (the
// song and remote control go on); what they change is applied through the host.

#include <QObject>
#include <QPointer>
#include <functional>

#include "platform/settings/settings_store.h"
#include "player/core/module_definitions.h"
#include "player/shell/midi/device_choice.h"
#include "player/shell/midi/midi_thru_dialog.h"
#include "player/shell/settings/property_sheet.h"

class QWidget;

namespace volta::app {
class PlayerController;
}

namespace volta::shell {

class TSongPropertiesDialog;
class TTdfDialog;

struct MidiDialogHost {
  QWidget* parent = nullptr;
  platform::settings::SettingsStore* store = nullptr;
  const core::TINICritical* definitions = nullptr;
  app::PlayerController* controller = nullptr;
  std::function<int()> language;
  // Takes up changed settings at once (the start-up path's re-read, then the player's).
  std::function<void()> applySettings;
  // The list window's row shown again after a song's settings changed.
  std::function<void(int)> refreshRow;
  // A message in the player's notice box.
  std::function<void(const std::string&)> notice;
  DeviceLister devices = systemDevices();
};

class MidiDialogs : public QObject {
  Q_OBJECT

 public:
  explicit MidiDialogs(MidiDialogHost host, QObject* parent = nullptr);
  ~MidiDialogs() override;

  // Opens the dialog of a MIDI command; false for other commands.
  bool choose(int id);
  // "Properties..." and "Module..." in the list window's context menu, for its selected row.
  void addSongActions(QWidget& list, std::function<int()> selectedRow);
  // Names those items in the menus' language, as it is now.
  void nameSongActions();

  TPropertySheet* openMidiSetting();
  TPropertySheet* openPortTemplates();
  // Null when no output is open to pass the input to.
  TMidiThruDialog* openMidiThru();
  // The song at a position of the list; null when there is none.
  TSongPropertiesDialog* openSongProperties(int position);
  TTdfDialog* openSongModule(int position);

  // What is open now (null when closed).
  TPropertySheet* sheet() const { return sheet_; }
  TMidiThruDialog* thru() const { return thru_; }

 private:
  TPropertySheet* openSheet(const QString& title);
  void updateEntry(int position, const std::string& module, int portAssignType);
  bool validPosition(int position) const;

  MidiDialogHost host_;
  QPointer<TPropertySheet> sheet_;
  QPointer<TMidiThruDialog> thru_;
  QPointer<QAction> properties_;
  QPointer<QAction> module_;
};

}  // namespace volta::shell
