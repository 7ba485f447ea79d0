#include "player/shell/midi/midi_dialogs.h"

#include <QAction>
#include <QWidget>

#include "player/core/app/command_ids.h"
#include "player/core/app/player_controller.h"
#include "player/core/song_tdf.h"
#include "player/shell/midi/midi_config_pages.h"
#include "player/shell/midi/midi_template_page.h"
#include "player/shell/midi/midi_thru_dialog.h"
#include "player/shell/midi/song_dialogs.h"
#include "player/shell/panel/string_table.h"
#include "player/shell/settings/property_sheet.h"

namespace volta::shell {

namespace cmd = app::cmd;

MidiDialogs::MidiDialogs(MidiDialogHost host, QObject* parent) : QObject(parent), host_(std::move(host)) {}

MidiDialogs::~MidiDialogs() {
  // The THRU input must not outlive the hook that lets it go before the output closes.
  if (thru_) {
    host_.controller->session().setBeforeClose(nullptr);
    delete thru_.data();
  }
}

bool MidiDialogs::choose(int id) {
  switch (id) {
    case cmd::kMidiSetting:
      openMidiSetting();
      return true;
    case cmd::kPortTemplates:
      openPortTemplates();
      return true;
    case cmd::kMidiThru:
      openMidiThru();
      return true;
    default:
      return false;
  }
}

// One sheet at a time: a second command brings the open one forward.
TPropertySheet* MidiDialogs::openSheet(const QString& title) {
  if (sheet_) sheet_->close();
  auto* sheet = new TPropertySheet(title, *host_.store, host_.parent);
  sheet->setAttribute(Qt::WA_DeleteOnClose);
  connect(sheet, &TPropertySheet::written, this, [this] { host_.applySettings(); });
  sheet_ = sheet;
  return sheet;
}

TPropertySheet* MidiDialogs::openMidiSetting() {
  const int language = host_.language();
  TPropertySheet* sheet = openSheet(textIn(text_id::kMidiSettingCaption, language));
  sheet->addPage(new MIDIConfigDialog(language));
  sheet->addPage(new MIDIConfigDialog2(host_.devices, *host_.definitions, language));
  sheet->addPage(new MIDIConfigDialog3(*host_.definitions, language));
  sheet->open();
  return sheet;
}

TPropertySheet* MidiDialogs::openPortTemplates() {
  const int language = host_.language();
  TPropertySheet* sheet = openSheet(pick(language, "ポートテンプレート", "Port templates"));
  sheet->addPage(new TMidiTemplatePage(host_.devices, *host_.definitions, language));
  sheet->open();
  return sheet;
}

TMidiThruDialog* MidiDialogs::openMidiThru() {
  app::PlayerController& controller = *host_.controller;
  if (thru_) {
    thru_->raise();
    return thru_;
  }
  core::SongPlayer* player = controller.session().songPlayer();
  core::OutputHandle* output = player ? player->output() : nullptr;
  if (!output) {
    host_.notice("MIDI THRU needs an open output: no MIDI output port is open.");
    return nullptr;
  }
  auto* dialog = new TMidiThruDialog(*output, host_.language(), host_.parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  thru_ = dialog;
  controller.session().setBeforeClose([dialog] { dialog->outputClosing(); });
  controller.playback().setMidiThruOpen(true);
  connect(dialog, &QDialog::finished, this, [&controller] {
    controller.session().setBeforeClose(nullptr);
    controller.playback().setMidiThruOpen(false);
  });
  dialog->show();
  return dialog;
}

void MidiDialogs::addSongActions(QWidget& list, std::function<int()> selectedRow) {
  properties_ = new QAction(&list);
  module_ = new QAction(&list);
  nameSongActions();
  connect(properties_, &QAction::triggered, this, [this, selectedRow] { openSongProperties(selectedRow()); });
  connect(module_, &QAction::triggered, this, [this, selectedRow] { openSongModule(selectedRow()); });
  list.addAction(properties_);
  list.addAction(module_);
  list.setContextMenuPolicy(Qt::ActionsContextMenu);
}

void MidiDialogs::nameSongActions() {
  const int language = host_.language();
  if (properties_) properties_->setText(pick(language, "プロパティ(&R)...", "P&roperties..."));
  if (module_) module_->setText(pick(language, "音源(&M)...", "&Module..."));
}

bool MidiDialogs::validPosition(int position) const {
  return position >= 0 && static_cast<std::size_t>(position) < host_.controller->lists().count();
}

void MidiDialogs::updateEntry(int position, const std::string& module, int portAssignType) {
  if (!validPosition(position)) return;  // the list changed meanwhile
  core::PlayList& list = host_.controller->lists().playList();
  core::MIDIFile& entry = list.entryAt(static_cast<std::size_t>(position));
  entry.module = module;
  entry.portAssignType = portAssignType;
  list.listModified = true;
  host_.refreshRow(position);
  host_.controller->playback().updateTitle();
}

TSongPropertiesDialog* MidiDialogs::openSongProperties(int position) {
  if (!validPosition(position)) return nullptr;
  const core::PlayList& list = host_.controller->lists().playList();
  const auto index = static_cast<std::size_t>(position);
  auto* dialog = new TSongPropertiesDialog(list.entryAt(index), list.fullPathAt(index), *host_.definitions,
                                           host_.language(), host_.parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::accepted, this,
          [this, dialog, position] { updateEntry(position, dialog->entry().module, dialog->entry().portAssignType); });
  dialog->open();
  return dialog;
}

TTdfDialog* MidiDialogs::openSongModule(int position) {
  if (!validPosition(position)) return nullptr;
  const core::PlayList& list = host_.controller->lists().playList();
  const auto index = static_cast<std::size_t>(position);
  const core::MIDIFile& entry = list.entryAt(index);
  const core::SongTdf stored = core::readSongTdf(list.fullPathAt(index), entry.archiveMember,
                                                 {entry.module, entry.portAssignType}, kDialogModuleLength)
                                   .value_or(core::SongTdf{entry.module, entry.portAssignType});
  auto* dialog = new TTdfDialog(*host_.definitions, stored.moduleName, host_.language(), host_.parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  const std::filesystem::path song = list.fullPathAt(index);
  const std::string member = entry.archiveMember;
  connect(dialog, &QDialog::accepted, this, [this, dialog, position, song, member, stored] {
    if (core::writeSongTdf(song, member, {dialog->module(), stored.portAssignType}))
      updateEntry(position, dialog->module(), stored.portAssignType);
  });
  dialog->open();
  return dialog;
}

}  // namespace volta::shell
