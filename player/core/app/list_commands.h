#pragma once
// The play list's commands: opening, saving, closing, dropping, the play order,
// the history, the album and the start-up restore.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/settings/settings_store.h"
#include "player/core/app/app_settings.h"
#include "player/core/app/frame_view.h"
#include "player/core/playlist/list_opening.h"
#include "player/core/playlist/playlist.h"

namespace volta::app {

class EngineSession;
class PaneState;
class Playback;
class RemoteLock;

class ListCommands {
 public:
  ListCommands(FrameView& view, platform::settings::SettingsStore& store, std::filesystem::path userData,
               AppSettings& settings, GeneralSettings& general, core::PlayList& list, const EngineSession& session,
               Playback& playback, PaneState& panes, const RemoteLock& lock);

  // Opens a name (folder, list, WRD script, song) into a fresh list; false when the
  // close of the current list was cancelled. Remote "OpenFile"/"PlayFile" and the command line.
  bool openName(const std::string& name, const std::string& module, bool thenPlay);
  // Open and the history: a fresh list from the name, played from its start.
  void openAndPlay(const std::string& name, const std::string& module);
  // A list file named on the command line, played from its start.
  void playListFile(const std::string& name);
  void restoreLastList();
  void drop(const std::vector<std::string>& names);
  // False when the user cancelled. The last list and position go into the batch (or are written at once).
  bool closeList(bool defaultSave, platform::settings::SettingsBatch* batch = nullptr);
  std::vector<std::string> albumItems() const;
  // What closing with the default save would keep, kept now without closing: the unnamed
  // list (written only when it changed since) and the last list and position into the batch.
  // A failed write is told once, until a write succeeds again.
  void keep(platform::settings::SettingsBatch& batch);
  // Removes what saves of the list and settings killed half-way left behind.
  void removeLeftovers() const;

  // The list, album, history, order and file-browser commands; false for others.
  bool command(int id);
  bool checked(int id) const;

  // The list itself, for the list window.
  core::PlayList& playList() { return list_; }
  const core::PlayList& playList() const { return list_; }
  std::size_t count() const { return list_.size(); }
  const core::MIDIFile* entryAt(std::size_t position) const;  // play order
  std::string baseFolder() const { return list_.baseFolder; }
  std::string listFileName() const { return list_.listFileName; }
  bool listNamed() const { return list_.listNamed; }
  bool listModified() const { return list_.listModified; }

 private:
  void refreshList();
  void applyOrder();
  void setSortMode(int mode);
  void report(const std::vector<std::string>& messages);
  // Adds a name to the list as opening does (folder, list file, WRD script, song).
  void addName(const std::string& name, const std::string& module, bool withProgress);
  bool loadListFile(const std::string& name, bool reportErrors);
  bool openFile(const std::string& name, const std::string& module);
  // The list's text for a file (absolute names unless the file is a relative list).
  std::string listText(const std::filesystem::path& file) const;
  // That text into the file; false on failure.
  bool storeList(const std::filesystem::path& file) const;
  // The same, telling the user of a failure.
  bool writeList(const std::filesystem::path& file);
  bool saveList();
  void keepLast(platform::settings::SettingsBatch& batch) const;
  void keepUnnamedList();
  bool saveListAs();
  std::optional<std::string> askListName();
  void pushHistory(const std::string& name);
  void keepAsDatedList();
  void openWithDialog();
  void openFolderWithDialog();
  void newRelativeList();
  void newAbsoluteList();
  void editList();
  void openAlbumItem(std::size_t index);
  void addToAlbum();
  void editAlbum();
  bool runUnlocked(int id);
  void clearPanelTitle();

  FrameView& view_;
  platform::settings::SettingsStore& store_;
  std::filesystem::path userData_;
  AppSettings& s_;
  GeneralSettings& general_;
  core::PlayList& list_;
  const EngineSession& session_;
  Playback& playback_;
  PaneState& panes_;
  const RemoteLock& lock_;
  std::string keptText_;  // the unnamed list as last written
  bool keepFailed_ = false;
};

}  // namespace volta::app
