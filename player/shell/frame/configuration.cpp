// The configuration sheets of the application, and applying what they wrote.

#include "platform/thread_priority.h"
#include "player/core/keys/key_table.h"
#include "player/core/song_player.h"
#include "player/shell/frame/frame_panes.h"
#include "player/shell/frame/main_frame.h"
#include "player/shell/frame/midi_application.h"
#include "player/shell/keys/key_dispatcher.h"
#include "player/shell/settings/configuration_sheets.h"
#include "player/shell/settings/general_values.h"

namespace volta::shell {

TPropertySheet* MIDIApplication::showConfiguration(int command) {
  if (sheet_ && sheet_->isVisible()) {
    sheet_->raise();
    return sheet_.get();
  }
  sheet_ = makeConfigurationSheet(command, panes_->language(), *store_, frame_.get());
  if (!sheet_) return nullptr;
  connect(sheet_.get(), &TPropertySheet::written, this, &MIDIApplication::applySettings);
  sheet_->open();
  return sheet_.get();
}

TPropertySheet* MIDIApplication::configurationSheet() const {
  return sheet_ && sheet_->isVisible() ? sheet_.get() : nullptr;
}

void MIDIApplication::applySettings() {
  setup_->reapply();
  if (core::SongPlayer* player = controller_->session().songPlayer()) setup_->prepare(*player);
  controller_->settingsChanged();
  panes_->applyGeneralSettings(*store_);
  keys_->setTable(keys::KeyTable::read(*store_));
  applyTray();
  applyFrameModes();
  applyPriority();
  refreshList();
  commandsChanged();
  updateIdle();
}

// A pane put into a window of its own shows there at once; one taken back returns to the main window.
void MIDIApplication::applyFrameModes() {
  app::AppSettings& settings = controller_->settings();
  const auto frameMode = WindowValues::read(*store_).frameMode;
  for (int pane = 0; pane < kPaneCount; ++pane) {
    const auto index = static_cast<std::size_t>(pane);
    if (settings.frameMode[index] == frameMode[index]) continue;
    settings.frameMode[index] = frameMode[index];
    frame_->setFramed(pane, frameMode[index]);
    if (frameMode[index]) {
      settings.windowFlag[index] = true;
      frame_->setFrameVisible(pane, true);
    }
  }
}

// "PriorityLevel" as stored: a level outside -2 ... 2 leaves the priority as it is.
void MIDIApplication::applyPriority() {
  platform::setThreadPriorityLevel(store_->readInt(platform::settings::kMainKey, "PriorityLevel", 0));
}

}  // namespace volta::shell
