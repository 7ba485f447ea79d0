// The play list's commands: opening, saving, closing, dropping, the play order,
// the history, the album and the start-up restore.

#include <ctime>

#include "player/core/app/controller_impl.h"
#include "player/core/playlist/history.h"
#include "player/core/playlist/list_files.h"
#include "player/core/playlist/list_opening.h"
#include "player/core/playlist/song_entry_reader.h"

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
    "MIDI/LZH/LIST files|*.MID;*.SMF;*.MFF;*.RMI;*.RCP;*.R36;*.G18;*.G36;*.LZH;*.TOR;*.TO2;*.MYP;*.WRD;*.DV|";
constexpr const char* kSongFilterWave =
    "MIDI/WAVE/LZH/LIST "
    "files|*.MID;*.SMF;*.MFF;*.RMI;*.RCP;*.R36;*.G18;*.G36;*.WAV;*.LZH;*.TOR;*.TO2;*.MYP;*.WRD;*.DV|";

// Without an engine no song can be read: entries keep their file names as titles.
class NameOnlyReader final : public core::EntryReader {
 public:
  int readEntry(const fs::path& file, core::MIDIFile& entry) override {
    entry.title = file.filename().string();
    checkWrd(file, entry);
    return 0;
  }
  void checkWrd(const fs::path& file, core::MIDIFile& entry) override {
    entry.wrdState = companions_.present(file) ? 2 : 1;
  }

 private:
  core::WrdCompanions companions_;
};

bool isFolder(const std::string& name) {
  std::error_code ignored;
  return fs::is_directory(name, ignored);
}

std::string withSeparator(const std::string& folder) {
  return !folder.empty() && (folder.back() == '/' || folder.back() == '\\') ? folder : folder + "/";
}

}  // namespace

// ---- views of the list ----

void PlayerController::Impl::refreshList() {
  const auto headers = core::PlayList::columnHeaders(s.sortMode);
  view.setListHeaders(headers.first, headers.second);
  view.refreshList();
}

void PlayerController::Impl::applyOrder() {
  st.position = list.applyOrder(s.sortMode, st.position, static_cast<unsigned>(std::time(nullptr)));
}

void PlayerController::Impl::setSortMode(int mode) {
  s.sortMode = mode;
  applyOrder();
  refreshList();
  if (!list.empty()) view.showRow(st.position);
  updateTitle();
}

// ---- opening ----

// Songs are read through the engine when one is bound.
std::unique_ptr<core::EntryReader> PlayerController::Impl::entryReader() const {
  if (binding && binding->bound()) return std::make_unique<core::SongEntryReader>(*binding);
  return std::make_unique<NameOnlyReader>();
}

void PlayerController::Impl::report(const std::vector<std::string>& messages) {
  for (const auto& text : messages)
    view.message(kErrorCaption, text);
}

// Opens a name into the list (folder, list file, WRD script, song), showing what went wrong.
void PlayerController::Impl::addName(const std::string& name, const std::string& module, bool withProgress) {
  core::OpenOptions options;
  options.module = module;
  options.waveEnabled = general.enableWaveFile;
  report(core::openName(list, name, options, *entryReader(), withProgress ? view.beginProgress() : nullptr).messages);
}

bool PlayerController::Impl::loadListFile(const std::string& name, bool reportErrors) {
  core::OpenOptions options;
  options.waveEnabled = general.enableWaveFile;
  options.reportErrors = reportErrors;
  const auto result = core::loadListFile(list, name, options, *entryReader());
  report(result.messages);
  return result.listLoaded;
}

bool PlayerController::Impl::openFile(const std::string& name, const std::string& module) {
  if (!closeList(false, nullptr)) return false;
  addName(name, module, false);
  updateTitle();
  applyOrder();
  refreshList();
  return true;
}

// Open and the history: a fresh list from the name, played from its start.
void PlayerController::Impl::openAndPlay(const std::string& name, const std::string& module) {
  stop();
  if (!closeList(false, nullptr)) return;
  addName(name, module, true);
  if (list.empty()) return;
  pushHistory(name);
  st.position = 0;
  applyOrder();
  refreshList();
  play();
}

void PlayerController::Impl::openWithDialog() {
  const auto answer = view.askOpenFile(
      {"Open...", general.enableWaveFile ? kSongFilterWave : kSongFilter, general.openFileDirectory, false});
  general.openFileDirectory = answer.folder;
  store.writeString(kMainKey, "OpenFileDirectory", answer.folder);
  if (answer.name) openAndPlay(*answer.name, "");
}

void PlayerController::Impl::openFolderWithDialog() {
  const auto answer = view.askFolder({"Choose a folder", "", general.openFileDirectory, false});
  if (!answer.name) return;
  general.openFileDirectory = *answer.name;
  store.writeString(kMainKey, "OpenFileDirectory", *answer.name);
  stop();
  if (!closeList(false, nullptr)) return;
  addName(withSeparator(*answer.name), "", true);
  applyOrder();
  refreshList();
  panelTitle("");
  view.showRow(st.position);
  stop();
  pushHistory(*answer.name);
}

// ---- saving and closing ----

bool PlayerController::Impl::storeList(const fs::path& file) const {
  const bool relative = core::listKindOf(file.string()) == core::ListKind::kTor && !list.baseFolder.empty();
  if (relative || list.baseFolder.empty()) return core::saveListFile(file, core::writeFormatA(list.files, relative));
  // A relative list saved under another kind of name keeps working: its names become absolute.
  std::vector<core::MIDIFile> files = list.files;
  for (auto& entry : files)
    entry.fileName = core::fullPath(list.baseFolder, entry).string();
  return core::saveListFile(file, core::writeFormatA(files, false));
}

bool PlayerController::Impl::writeList(const fs::path& file) {
  if (storeList(file)) return true;
  view.message(kSaveCaption, file.string() + " のセーブに失敗しました。");
  return false;
}

std::optional<std::string> PlayerController::Impl::askListName() {
  const auto answer = view.askSaveFile({kSaveCaption, kListFilterTo2, general.openListDirectory, true});
  general.openListDirectory = answer.folder;
  store.writeString(kMainKey, "OpenListDirectory", answer.folder);
  return answer.name;
}

bool PlayerController::Impl::saveListAs() {
  const auto name = askListName();
  if (!name) return false;
  list.listFileName = *name;
  list.listNamed = true;
  list.listModified = true;
  if (!writeList(*name)) return false;
  list.listModified = false;
  updateTitle();
  return true;
}

// A named list is written to its file (asking for one when it has none); an unnamed
// list only gets its name here and is written by the next save or its close.
bool PlayerController::Impl::saveList() {
  if (!list.listNamed) {
    const auto name = askListName();
    if (!name) return false;
    list.listFileName = *name;
    list.listNamed = true;
    list.listModified = true;
    updateTitle();
    return true;
  }
  if (list.listFileName.empty()) return saveListAs();
  if (!writeList(list.listFileName)) return false;
  list.listModified = false;
  updateTitle();
  return true;
}

// False when the user cancelled. The last list and position go into the batch (or are written at once).
bool PlayerController::Impl::closeList(bool defaultSave, SettingsBatch* batch) {
  if (list.listNamed && list.listModified) {
    const Answer answer =
        view.ask(kSaveCaption, "リストファイルが変更されています。セーブしますか", Buttons::kYesNoCancel);
    if (answer == Answer::kCancel) return false;
    if (answer == Answer::kYes && !saveList()) return false;
  } else if (defaultSave && !list.listNamed) {
    std::error_code ignored;
    fs::create_directories(userData, ignored);
    writeList(userData / kDefaultList);
  }
  SettingsBatch own;
  SettingsBatch& last = batch ? *batch : own;
  last.setString(kMainKey, "LastList", list.listNamed ? list.listFileName : "");
  last.setInt(kMainKey, "LastMusic", st.position);
  if (!batch) store.apply(own);
  list.clear();
  refreshList();
  panelTitle("");
  st.position = 0;
  stop();
  return true;
}

void PlayerController::Impl::pushHistory(const std::string& name) {
  core::pushHistory(s.history, name);
}

// ---- new lists and editing ----

void PlayerController::Impl::newRelativeList() {
  if (!closeList(false, nullptr)) return;
  const auto answer = view.askSaveFile({kSaveCaption, kListFilterTor, general.openListDirectory, true});
  general.openListDirectory = answer.folder;
  store.writeString(kMainKey, "OpenListDirectory", answer.folder);
  if (!answer.name) return;
  list.listFileName = *answer.name;
  list.baseFolder = fs::path(*answer.name).parent_path().string();
  list.listNamed = true;
  writeList(*answer.name);
  updateTitle();
  editList();
}

void PlayerController::Impl::newAbsoluteList() {
  if (!closeList(false, nullptr)) return;
  list.listNamed = true;
  panelTitle("");
  st.position = 0;
  stop();
}

void PlayerController::Impl::editList() {
  if (!view.editList()) return;
  list.listModified = true;
  applyOrder();
  refreshList();
  updateTitle();
}

// ---- drop ----

void PlayerController::Impl::drop(const std::vector<std::string>& names) {
  if (locked()) return;
  std::optional<std::size_t> firstNew;  // index in files of the first entry the drop added
  for (const std::string& dropped : names) {
    std::string name = dropped;
    if (!list.baseFolder.empty()) {
      const std::string& base = list.baseFolder;
      const bool inside = name.size() > base.size() && name.compare(0, base.size(), base) == 0 &&
                          (name[base.size()] == '/' || name[base.size()] == '\\');
      if (inside) {
        name = name.substr(base.size());
      } else if (view.ask(kDropCaption, "基本フォルダ以下のファイルしか登録できません。リストファイルをとじますか？",
                          Buttons::kYesNo) == Answer::kYes) {
        if (!closeList(false, nullptr)) continue;
        firstNew.reset();
      } else {
        view.message(kDropCaption, "ドロップされたファイルは無視されました。");
        continue;
      }
    }
    const std::size_t before = list.files.size();
    addName(isFolder(dropped) ? withSeparator(name) : name, "", true);
    if (!firstNew && list.files.size() > before) firstNew = before;
  }
  applyOrder();
  refreshList();
  if (!list.listFileName.empty() && !storeList(list.listFileName))
    view.message(kSaveCaption, "リストファイルのセーブに失敗しました");
  if (firstNew && general.autoDropPlay) {
    stop();
    for (std::size_t i = 0; i < list.order.size(); ++i)
      if (list.order[i] == *firstNew) st.position = static_cast<int>(i);
    play();
  }
  list.listModified = true;
  updateTitle();
}

// ---- start-up restore ----

void PlayerController::Impl::restoreLastList() {
  const std::string last = store.readString(kMainKey, "LastList", "");
  if (!last.empty()) {
    loadListFile(last, true);
  } else {
    const fs::path fallback = userData / kDefaultList;
    std::error_code ignored;
    if (fs::exists(fallback, ignored)) loadListFile(fallback.string(), false);
    list.listNamed = false;
    list.listFileName.clear();
  }
  st.position = store.readInt(kMainKey, "LastMusic", 0);
  if (st.position < 0 || static_cast<std::size_t>(st.position) >= list.size()) st.position = 0;
  applyOrder();
  refreshList();
  if (!list.empty()) view.showRow(st.position);
  updateTitle();
}

// ---- album ----

std::vector<std::string> PlayerController::Impl::albumItems() const {
  return core::readAlbum(store);
}

void PlayerController::Impl::openAlbumItem(std::size_t index) {
  const auto items = albumItems();
  if (index >= items.size() || !closeList(false, nullptr)) return;
  loadListFile(items[index], true);
  applyOrder();
  refreshList();
  updateTitle();
  showListPane();
}

void PlayerController::Impl::addToAlbum() {
  if (list.listFileName.empty() ? !saveListAs() : !writeList(list.listFileName)) return;
  list.listModified = false;
  updateTitle();
  if (core::appendToAlbum(store, list.listFileName)) view.message("Album - VOLTA Player", "追加しました。");
}

void PlayerController::Impl::editAlbum() {
  if (const auto items = view.editAlbum(albumItems())) core::rewriteAlbum(store, *items);
}

// ---- commands ----

bool PlayerController::Impl::runListCommand(int id) {
  if (id >= cmd::kAlbumFirst && id <= cmd::kAlbumLast) {
    openAlbumItem(static_cast<std::size_t>(id - cmd::kAlbumFirst));
    return true;
  }
  if (id >= cmd::kHistoryFirst && id <= cmd::kHistoryLast) {
    const std::string name = s.history[static_cast<std::size_t>(id - cmd::kHistoryFirst)];
    if (!name.empty() && !locked()) openAndPlay(name, "");
    return true;
  }
  switch (id) {
    case cmd::kOrderNormal:
    case cmd::kOrderRandom:
    case cmd::kOrderFileName:
    case cmd::kOrderTitle:
      setSortMode(core::PlayList::nextSortMode(id, s.sortMode));
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
    default:
      break;
  }
  if (locked()) {
    // Every other list command is refused while a remote client holds the lock.
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
      closeList(false, nullptr);
      return true;
    default:
      return false;
  }
}

}  // namespace volta::app
