#pragma once
// The controller's state and operations, shared by its source files: playing,
// timers and panes in player_controller.cpp, the play list's commands in
// list_commands.cpp. It is also the remote-control host.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "player/core/app/display_texts.h"
#include "player/core/app/player_controller.h"
#include "player/core/core_settings.h"
#include "player/core/dde/dde_commands.h"
#include "player/core/engine_binding.h"
#include "player/core/playlist/list_opening.h"
#include "player/core/playlist/playlist.h"
#include "player/core/song_player.h"

namespace volta::app {

struct PlayerController::Impl final : dde::DdeHost {
  Impl(FrameView& view, platform::settings::SettingsStore& store, std::filesystem::path userData)
      : view(view), store(store), userData(std::move(userData)) {}

  FrameView& view;
  platform::settings::SettingsStore& store;
  std::filesystem::path userData;
  core::PlayList list;
  AppSettings s;
  GeneralSettings general;
  PlayingState st;
  core::EngineBinding* binding = nullptr;
  core::TINICritical* definitions = nullptr;
  core::CoreSettings coreSettings;
  std::unique_ptr<core::SongPlayer> player;
  WrdHooks hooks;
  std::function<void(core::SongPlayer&)> setup;

  // ---- engine and song (player_controller.cpp) ----
  bool hasEngine() const { return player && player->output(); }
  bool songLoaded() const { return player && player->loaded(); }
  void makePlayer();
  void readCoreSettings();
  void startEntry();
  void showSong(const core::MIDIFile& entry);
  void showBackLight(const std::string& module);
  void followWrd();

  // ---- texts ----
  TitleState titleState() const;
  void updateTitle();
  void panelTitle(const std::string& utf8) { view.setPanelText(kPanelTitle, utf8); }
  const core::MIDIFile* currentEntry() const;
  void showEntryTitle();
  void resetPanel();

  // ---- playing ----
  void clearSelection();
  void setPaused(bool paused);
  void togglePause();
  void remotePause(bool pause);
  void changeSpeed(bool faster);
  void select(bool forward);
  void seekTo(int tenths);

  // ---- timers and display ----
  bool displayTimerArmed = false;
  void armDisplayTimer(int ms);
  void killDisplayTimer();
  void timer(int id);
  void displayUpdate(bool full);
  void showCounters(const protocol::SequencerStatus& status);
  bool endOfSong(const protocol::SequencerStatus* status);
  void followOutput();

  // ---- panes ----
  void selectPane(int pane);
  void toggleFullScreen();
  void turnPage(int step);
  void showListPane();
  void showWrdPane(bool script);

  // ---- commands ----
  bool runCommand(int id);
  bool runUserPlayback(int id);
  bool runModeCommand(int id);
  bool runListCommand(int id);
  bool enabled(int id) const;
  bool checked(int id) const;

  // ---- the play list (list_commands.cpp) ----
  void refreshList();
  void applyOrder();
  void setSortMode(int mode);
  std::unique_ptr<core::EntryReader> entryReader() const;
  void report(const std::vector<std::string>& messages);
  // Adds a name to the list as opening does (folder, list file, WRD script, song).
  void addName(const std::string& name, const std::string& module, bool withProgress);
  bool loadListFile(const std::string& name, bool reportErrors);
  // The list's text into a file (absolute names unless the file is a relative list); false on failure.
  bool storeList(const std::filesystem::path& file) const;
  // The same, telling the user of a failure.
  bool writeList(const std::filesystem::path& file);
  bool saveList();
  bool saveListAs();
  std::optional<std::string> askListName();
  bool closeList(bool defaultSave, platform::settings::SettingsBatch* batch);
  void pushHistory(const std::string& name);
  void openWithDialog();
  void openFolderWithDialog();
  void openAndPlay(const std::string& name, const std::string& module);
  void newRelativeList();
  void newAbsoluteList();
  void editList();
  void drop(const std::vector<std::string>& names);
  void restoreLastList();
  std::vector<std::string> albumItems() const;
  void openAlbumItem(std::size_t index);
  void addToAlbum();
  void editAlbum();

  // ---- DdeHost ----
  bool locked() const { return st.lockHolder.has_value(); }
  std::optional<dde::Conversation> lockHolder() const override { return st.lockHolder; }
  void setLockHolder(std::optional<dde::Conversation> holder) override;
  bool openFile(const std::string& name, const std::string& module) override;
  void play() override;
  void playPosition(std::uint32_t n) override;
  void stop() override;
  void pause() override { remotePause(true); }
  void resume() override { remotePause(false); }
  void togglePane(int pane) override;
  void mini() override;
  void fullScreenFromRemote() override;
  std::size_t count() const override { return list.size(); }
  const core::MIDIFile* entryAt(std::size_t position) const override {
    return position < list.size() ? &list.entryAt(position) : nullptr;
  }
  std::string baseFolder() const override { return list.baseFolder; }
  std::string listFileName() const override { return list.listFileName; }
  bool playing() const override { return st.playing; }
  bool paused() const override { return st.paused; }
  int position() const override { return st.position; }
};

}  // namespace volta::app
