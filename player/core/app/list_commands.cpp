#include "player/core/app/list_commands.h"

#include <ctime>

#include "platform/atomic_file.h"
#include "player/core/app/command_ids.h"
#include "player/core/app/engine_session.h"
#include "player/core/app/pane_state.h"
#include "player/core/app/playback.h"
#include "player/core/app/remote_host.h"
#include "player/core/playlist/history.h"
#include "player/core/playlist/list_files.h"
#include "player/core/playlist/list_opening.h"

namespace volta::app {

namespace {

namespace fs = std::filesystem;
using platform::settings::kMainKey;
using platform::settings::SettingsBatch;

constexpr const char* kErrorCaption = "VOLTA error report";
constexpr const char* kSaveCaption = "リストのセーブ";
constexpr const char* kDropCaption = "VOLTAApplication::Drop error";
constexpr const char* kDefaultList = "DEFAULT.TO2";
constexpr const char* kListFilterTo2 = "リストファイル|*.TO2|";
constexpr const char* kListFilterTor = "リストファイル|*.TOR|";
constexpr const char* kSongFilter =
    "MIDI/LZH/LIST files|*.MID;*.SMF;*.MFF;*.RMI;*.KAR;*.RCP;*.R36;*.G18;*.G36;*.LZH;*.TOR;*.TO2;*.MYP;*.WRD;*.DV|";
constexpr const char* kSongFilterWave =
    "MIDI/WAVE/LZH/LIST "
    "files|*.MID;*.SMF;*.MFF;*.RMI;*.KAR;*.RCP;*.R36;*.G18;*.G36;*.WAV;*.LZH;*.TOR;*.TO2;*.MYP;*.WRD;*.DV|";

bool isFolder(const std::string& name) {
  std::error_code ignored;
  return fs::is_directory(name, ignored);
}

std::string withSeparator(const std::string& folder) {
  return !folder.empty() && (folder.back() == '/' || folder.back() == '\\') ? folder : folder + "/";
}

// A list file in the folder named by the local date and time, not yet taken.
fs::path datedListName(const fs::path& folder) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H.%M.%S", &local);
  const std::string base = std::string("Unnamed ") + stamp;
  fs::path name = folder / (base + ".TO2");
  std::error_code ignored;
  for (int n = 2; fs::exists(name, ignored); ++n)
    name = folder / (base + " (" + std::to_string(n) + ").TO2");
  return name;
}

// What makes a list the same list: its file, its folder and the songs in it (their
// lengths, learned while playing, may change).
std::vector<std::string> listIdentity(const core::PlayList& list) {
  std::vector<std::string> identity{list.listFileName, list.baseFolder};
  for (const core::MIDIFile& entry : list.files) {
    identity.push_back(entry.fileName);
    identity.push_back(entry.archiveMember);
  }
  return identity;
}

}  // namespace

ListCommands::ListCommands(FrameView& view, platform::settings::SettingsStore& store, fs::path userData,
                           AppSettings& settings, GeneralSettings& general, core::PlayList& list,
                           const EngineSession& session, Playback& playback, PaneState& panes, const RemoteLock& lock)
    : view_(view),
      store_(store),
      userData_(std::move(userData)),
      s_(settings),
      general_(general),
      list_(list),
      session_(session),
      playback_(playback),
      panes_(panes),
      lock_(lock) {}

const core::MIDIFile* ListCommands::entryAt(std::size_t position) const {
  return position < list_.size() ? &list_.entryAt(position) : nullptr;
}

// ---- views of the list ----

void ListCommands::refreshList() {
  const auto headers = core::PlayList::columnHeaders(s_.sortMode);
  view_.setListHeaders(headers.first, headers.second);
  view_.refreshList();
}

void ListCommands::applyOrder() {
  playback_.setPosition(
      list_.applyOrder(s_.sortMode, playback_.state().position, static_cast<unsigned>(std::time(nullptr))));
}

void ListCommands::setSortMode(int mode) {
  s_.sortMode = mode;
  applyOrder();
  refreshList();
  if (!list_.empty()) view_.showRow(playback_.state().position);
  playback_.updateTitle();
}

// ---- opening ----

void ListCommands::clearPanelTitle() {
  view_.setPanelText(kPanelTitle, "");
}

void ListCommands::report(const std::vector<std::string>& messages) {
  for (const auto& text : messages)
    view_.message(kErrorCaption, text);
}

// Opens a name into the list (folder, list file, WRD script, song), showing what went wrong.
void ListCommands::addName(const std::string& name, const std::string& module, bool withProgress) {
  core::OpenOptions options;
  options.module = module;
  options.waveEnabled = general_.enableWaveFile;
  report(core::openName(list_, name, options, *session_.entryReader(), withProgress ? view_.beginProgress() : nullptr)
             .messages);
}

bool ListCommands::loadListFile(const std::string& name, bool reportErrors) {
  core::OpenOptions options;
  options.waveEnabled = general_.enableWaveFile;
  options.reportErrors = reportErrors;
  const auto result = core::loadListFile(list_, name, options, *session_.entryReader());
  report(result.messages);
  return result.listLoaded;
}

bool ListCommands::openFile(const std::string& name, const std::string& module) {
  keepAsDatedList();
  if (!closeList(false)) return false;
  addName(name, module, false);
  playback_.updateTitle();
  applyOrder();
  refreshList();
  return true;
}

bool ListCommands::openName(const std::string& name, const std::string& module, bool thenPlay) {
  if (!openFile(name, module)) return false;
  if (thenPlay) playback_.play();
  return true;
}

void ListCommands::openAndPlay(const std::string& name, const std::string& module) {
  playback_.stop();
  if (!closeList(false)) return;
  addName(name, module, true);
  if (list_.empty()) return;
  pushHistory(name);
  playback_.setPosition(0);
  applyOrder();
  refreshList();
  playback_.play();
}

void ListCommands::playListFile(const std::string& name) {
  loadListFile(name, true);
  applyOrder();
  refreshList();
  playback_.updateTitle();
  playback_.play();
}

void ListCommands::openWithDialog() {
  const auto answer = view_.askOpenFile(
      {"Open...", general_.enableWaveFile ? kSongFilterWave : kSongFilter, general_.openFileDirectory, false});
  general_.openFileDirectory = answer.folder;
  store_.writeString(kMainKey, "OpenFileDirectory", answer.folder);
  if (answer.name) openAndPlay(*answer.name, "");
}

void ListCommands::openFolderWithDialog() {
  const auto answer = view_.askFolder({"Choose a folder", "", general_.openFileDirectory, false});
  if (!answer.name) return;
  general_.openFileDirectory = *answer.name;
  store_.writeString(kMainKey, "OpenFileDirectory", *answer.name);
  playback_.stop();
  if (!closeList(false)) return;
  addName(withSeparator(*answer.name), "", true);
  applyOrder();
  refreshList();
  clearPanelTitle();
  view_.showRow(playback_.state().position);
  playback_.stop();
  pushHistory(*answer.name);
}

// ---- saving and closing ----

std::string ListCommands::listText(const fs::path& file) const {
  const bool relative = core::listKindOf(file.string()) == core::ListKind::kTor && !list_.baseFolder.empty();
  if (relative || list_.baseFolder.empty()) return core::writeFormatA(list_.files, relative);
  // A relative list saved under another kind of name keeps working: its names become absolute.
  std::vector<core::MIDIFile> files = list_.files;
  for (auto& entry : files)
    entry.fileName = core::fullPath(list_.baseFolder, entry).string();
  return core::writeFormatA(files, false);
}

bool ListCommands::storeList(const fs::path& file) const {
  return core::saveListFile(file, listText(file));
}

void ListCommands::removeLeftovers() const {
  platform::removeLeftoverTemporaries(userData_ / kDefaultList);
  platform::removeLeftoverTemporaries(store_.path());
}

void ListCommands::keep(SettingsBatch& batch) {
  keepLast(batch);
  if (!list_.listNamed && !list_.empty()) keepUnnamedList();
}

void ListCommands::keepUnnamedList() {
  const fs::path file = userData_ / kDefaultList;
  std::string text = listText(file);
  if (text == keptText_) return;
  std::error_code ignored;
  fs::create_directories(userData_, ignored);
  if (core::saveListFile(file, text)) {
    keptText_ = std::move(text);
    keepFailed_ = false;
  } else if (!keepFailed_) {
    keepFailed_ = true;
    view_.message(kSaveCaption, file.string() + " のセーブに失敗しました。");
  }
}

void ListCommands::keepLast(SettingsBatch& batch) const {
  batch.setString(kMainKey, "LastList", list_.listNamed ? list_.listFileName : "");
  batch.setInt(kMainKey, "LastMusic", playback_.state().position);
}

bool ListCommands::writeList(const fs::path& file) {
  if (storeList(file)) return true;
  view_.message(kSaveCaption, file.string() + " のセーブに失敗しました。");
  return false;
}

std::optional<std::string> ListCommands::askListName() {
  const auto answer = view_.askSaveFile({kSaveCaption, kListFilterTo2, general_.openListDirectory, true});
  general_.openListDirectory = answer.folder;
  store_.writeString(kMainKey, "OpenListDirectory", answer.folder);
  if (!answer.name) return std::nullopt;
  return core::withListExtension(*answer.name, core::ListKind::kTo2);
}

bool ListCommands::saveListAs() {
  const auto name = askListName();
  if (!name) return false;
  list_.listFileName = *name;
  list_.listNamed = true;
  list_.listModified = true;
  if (!writeList(*name)) return false;
  list_.listModified = false;
  playback_.updateTitle();
  return true;
}

// A named list is written to its file (asking for one when it has none); an unnamed
// list only gets its name here and is written by the next save or its close.
bool ListCommands::saveList() {
  if (!list_.listNamed) {
    const auto name = askListName();
    if (!name) return false;
    list_.listFileName = *name;
    list_.listNamed = true;
    list_.listModified = true;
    playback_.updateTitle();
    return true;
  }
  if (list_.listFileName.empty()) return saveListAs();
  if (!writeList(list_.listFileName)) return false;
  list_.listModified = false;
  playback_.updateTitle();
  return true;
}

// False when the user cancelled. The last list and position go into the batch (or are written at once).
bool ListCommands::closeList(bool defaultSave, SettingsBatch* batch) {
  if (list_.listNamed && list_.listModified) {
    const Answer answer =
        view_.ask(kSaveCaption, "リストファイルが変更されています。セーブしますか", Buttons::kYesNoCancel);
    if (answer == Answer::kCancel) return false;
    if (answer == Answer::kYes && !saveList()) return false;
  } else if (defaultSave && !list_.listNamed) {
    keepUnnamedList();
  }
  SettingsBatch own;
  keepLast(batch ? *batch : own);
  if (!batch) store_.apply(own);
  list_.clear();
  refreshList();
  clearPanelTitle();
  playback_.setPosition(0);
  playback_.stop();
  return true;
}

// A file handed over by another program must not throw away what the user gathered: a
// non-empty unnamed list goes to a dated list file first, reachable from the history.
void ListCommands::keepAsDatedList() {
  if (list_.listNamed || list_.empty()) return;
  std::error_code ignored;
  fs::create_directories(userData_, ignored);
  const fs::path file = datedListName(userData_);
  if (writeList(file)) pushHistory(file.string());
}

void ListCommands::pushHistory(const std::string& name) {
  core::pushHistory(s_.history, name);
}

// ---- new lists and editing ----

void ListCommands::newRelativeList() {
  if (!closeList(false)) return;
  const auto answer = view_.askSaveFile({kSaveCaption, kListFilterTor, general_.openListDirectory, true});
  general_.openListDirectory = answer.folder;
  store_.writeString(kMainKey, "OpenListDirectory", answer.folder);
  if (!answer.name) return;
  const std::string name = core::withListExtension(*answer.name, core::ListKind::kTor);
  list_.listFileName = name;
  list_.baseFolder = fs::path(name).parent_path().string();
  list_.listNamed = true;
  writeList(name);
  playback_.updateTitle();
  editList();
}

void ListCommands::newAbsoluteList() {
  if (!closeList(false)) return;
  list_.listNamed = true;
  clearPanelTitle();
  playback_.setPosition(0);
  playback_.stop();
}

// On OK the edited entries replace the list's; a song that was playing gives way to the
// list's first, anything else stops. A remote command may replace the list while the
// dialog is open: the edits belong to the list it showed, and are then dropped.
void ListCommands::editList() {
  const bool wasPlaying = playback_.state().playing;
  const auto shown = listIdentity(list_);
  const auto reader = session_.entryReader();
  auto edited = view_.editList({list_, *reader, general_.enableWaveFile, general_.openFileDirectory});
  if (!edited) return;
  if (listIdentity(list_) != shown) {
    view_.message(kErrorCaption, "編集中にリストが変更されたため、編集は反映されませんでした。");
    return;
  }
  list_.files = std::move(*edited);
  applyOrder();
  refreshList();
  playback_.stop();
  playback_.setPosition(0);
  if (wasPlaying && !list_.empty()) playback_.play();
  list_.listModified = true;
  playback_.updateTitle();
}

// ---- drop ----

void ListCommands::drop(const std::vector<std::string>& names) {
  if (lock_.locked()) return;
  std::optional<std::size_t> firstNew;  // index in files of the first entry the drop added
  for (const std::string& dropped : names) {
    std::string name = dropped;
    if (!list_.baseFolder.empty()) {
      const std::string& base = list_.baseFolder;
      const bool inside = name.size() > base.size() && name.compare(0, base.size(), base) == 0 &&
                          (name[base.size()] == '/' || name[base.size()] == '\\');
      if (inside) {
        name = name.substr(base.size());
      } else if (view_.ask(kDropCaption, "基本フォルダ以下のファイルしか登録できません。リストファイルをとじますか？",
                           Buttons::kYesNo) == Answer::kYes) {
        if (!closeList(false)) continue;
        firstNew.reset();
      } else {
        view_.message(kDropCaption, "ドロップされたファイルは無視されました。");
        continue;
      }
    }
    const std::size_t before = list_.files.size();
    addName(isFolder(dropped) ? withSeparator(name) : name, "", true);
    if (!firstNew && list_.files.size() > before) firstNew = before;
  }
  applyOrder();
  refreshList();
  if (!list_.listFileName.empty() && !storeList(list_.listFileName))
    view_.message(kSaveCaption, "リストファイルのセーブに失敗しました");
  if (firstNew && general_.autoDropPlay) {
    playback_.stop();
    for (std::size_t i = 0; i < list_.order.size(); ++i)
      if (list_.order[i] == *firstNew) playback_.setPosition(static_cast<int>(i));
    playback_.play();
  }
  list_.listModified = true;
  playback_.updateTitle();
}

// ---- start-up restore ----

void ListCommands::restoreLastList() {
  const std::string last = store_.readString(kMainKey, "LastList", "");
  if (!last.empty()) {
    loadListFile(last, true);
  } else {
    const fs::path fallback = userData_ / kDefaultList;
    std::error_code ignored;
    if (fs::exists(fallback, ignored)) loadListFile(fallback.string(), false);
    list_.listNamed = false;
    list_.listFileName.clear();
  }
  playback_.setPosition(store_.readInt(kMainKey, "LastMusic", 0));
  if (playback_.state().position < 0 || static_cast<std::size_t>(playback_.state().position) >= list_.size())
    playback_.setPosition(0);
  applyOrder();
  refreshList();
  if (!list_.empty()) view_.showRow(playback_.state().position);
  playback_.updateTitle();
}

// ---- album ----

std::vector<std::string> ListCommands::albumItems() const {
  return core::readAlbum(store_);
}

void ListCommands::openAlbumItem(std::size_t index) {
  const auto items = albumItems();
  if (index >= items.size() || !closeList(false)) return;
  loadListFile(items[index], true);
  applyOrder();
  refreshList();
  playback_.updateTitle();
  panes_.showListPane();
}

void ListCommands::addToAlbum() {
  if (list_.listFileName.empty() ? !saveListAs() : !writeList(list_.listFileName)) return;
  list_.listModified = false;
  playback_.updateTitle();
  if (core::appendToAlbum(store_, list_.listFileName)) view_.message("Album - VOLTA Player", "追加しました。");
}

void ListCommands::editAlbum() {
  if (const auto items = view_.editAlbum(albumItems())) core::rewriteAlbum(store_, *items);
}

// ---- commands ----

bool ListCommands::command(int id) {
  if (id >= cmd::kAlbumFirst && id <= cmd::kAlbumLast) {
    openAlbumItem(static_cast<std::size_t>(id - cmd::kAlbumFirst));
    return true;
  }
  if (id >= cmd::kHistoryFirst && id <= cmd::kHistoryLast) {
    const std::string name = s_.history[static_cast<std::size_t>(id - cmd::kHistoryFirst)];
    if (!name.empty() && !lock_.locked()) openAndPlay(name, "");
    return true;
  }
  switch (id) {
    case cmd::kOrderNormal:
    case cmd::kOrderRandom:
    case cmd::kOrderFileName:
    case cmd::kOrderTitle:
      setSortMode(core::PlayList::nextSortMode(id, s_.sortMode));
      return true;
    case cmd::kOpenFolder:
      openFolderWithDialog();
      return true;
    case cmd::kAlbumEdit:
      editAlbum();
      return true;
    case cmd::kAlbumAddList:
      addToAlbum();
      return true;
    case cmd::kLaunchExplorer:
      view_.launchFileBrowser(list_.baseFolder);
      return true;
    default:
      return runUnlocked(id);
  }
}

// Every other list command is refused while a remote client holds the lock.
bool ListCommands::runUnlocked(int id) {
  if (lock_.locked()) {
    return id == cmd::kOpenFile || id == cmd::kNewRelativeList || id == cmd::kNewAbsoluteList || id == cmd::kEditList ||
           id == cmd::kSaveList || id == cmd::kSaveListAs || id == cmd::kCloseList;
  }
  switch (id) {
    case cmd::kOpenFile:
      openWithDialog();
      return true;
    case cmd::kNewRelativeList:
      newRelativeList();
      return true;
    case cmd::kNewAbsoluteList:
      newAbsoluteList();
      return true;
    case cmd::kEditList:
      editList();
      return true;
    case cmd::kSaveList:
      saveList();
      return true;
    case cmd::kSaveListAs:
      saveListAs();
      return true;
    case cmd::kCloseList:
      closeList(false);
      return true;
    default:
      return false;
  }
}

bool ListCommands::checked(int id) const {
  switch (id) {
    case cmd::kOrderNormal:
      return s_.sortMode == core::kOrderAdded;
    case cmd::kOrderRandom:
      return s_.sortMode == core::kOrderRandom;
    case cmd::kOrderFileName:
      return s_.sortMode == core::kOrderFileName || s_.sortMode == core::kOrderFileNameReverse;
    case cmd::kOrderTitle:
      return s_.sortMode == core::kOrderTitle || s_.sortMode == core::kOrderTitleReverse;
    default:
      return false;
  }
}

}  // namespace volta::app
