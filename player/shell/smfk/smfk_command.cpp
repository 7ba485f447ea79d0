#include "player/shell/smfk/smfk_command.h"

#include "player/core/app/player_controller.h"
#include "player/core/startup/player_setup.h"
#include "player/core/temp_folder.h"
#include "player/shell/smfk/smfk_dialog.h"

namespace volta::shell {

void runSmfKnifeDialog(app::PlayerController& controller, const core::PlayerSetup& setup, int selectedRow,
                       QWidget* parent) {
  core::PlayList& list = controller.lists().playList();
  const int row = selectedRow >= 0 ? selectedRow : controller.playback().state().position;
  if (row < 0 || static_cast<std::size_t>(row) >= list.size()) return;
  const auto position = static_cast<std::size_t>(row);
  const core::MIDIFile& entry = list.entryAt(position);
  if (!entry.archiveMember.empty()) return;
  const std::string fileName = entry.fileName;
  const SmfkPlaces places{setup.store().readString(platform::settings::kMainKey, "SMFKFolder", ""),
                          core::privateTempFolder().value_or(std::filesystem::path())};
  TSMFKDialog dialog(setup.smfkLibrary(), {list.fullPathAt(position), entry.smfKnife}, places, parent);
  QObject::connect(&dialog, &TSMFKDialog::playConvertedChanged, &dialog,
                   [&controller, &list, position, fileName](bool on) {
                     // A remote command may have replaced the list while the dialog was open.
                     if (position >= list.size() || list.entryAt(position).fileName != fileName) return;
                     list.entryAt(position).smfKnife = on;
                     list.listModified = true;
                     controller.playback().updateTitle();
                   });
  dialog.exec();
}

}  // namespace volta::shell
