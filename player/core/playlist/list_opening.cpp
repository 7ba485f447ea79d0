#include "player/core/playlist/list_opening.h"

#include <system_error>

#include "engine/protocol/error_messages.h"
#include "engine/protocol/records.h"
#include "platform/file_types.h"
#include "platform/text.h"
#include "player/core/file_bytes.h"
#include "player/core/lzh_archives.h"
#include "player/core/playlist/list_files.h"

namespace volta::core {

using platform::text::endsWithIgnoringCase;
using platform::text::equalsIgnoringCase;

namespace fs = std::filesystem;

namespace {

bool isSeparator(char c) {
  return c == '\\' || c == '/';
}

// A failure goes into the progress display as its own line, else to a message box.
void report(OpenResult& result, AddProgress* progress, const std::string& text) {
  if (progress)
    progress->appendMessage("\n      " + text + "\n");
  else
    result.messages.push_back(text);
}

void merge(OpenResult& into, OpenResult from) {
  into.added += from.added;
  into.listLoaded = into.listLoaded || from.listLoaded;
  into.messages.insert(into.messages.end(), std::make_move_iterator(from.messages.begin()),
                       std::make_move_iterator(from.messages.end()));
}

// The script's song: its name with the extension replaced, the first that exists.
OpenResult openScript(PlayList& list, const std::string& name, const OpenOptions& options, EntryReader& reader,
                      AddProgress* progress) {
  const std::string stem = name.substr(0, name.size() - platform::extensionOf(name).size());
  for (const auto& [extension, format] : platform::kSongExtensions) {
    if (format == platform::SongFormat::kWave) continue;  // wave files have no script
    const std::string candidate = stem + std::string(extension);
    MIDIFile probe;
    probe.fileName = candidate;
    if (const auto found = findFileIgnoringCase(fullPath(list.baseFolder, probe))) {
      // The song's own spelling of its name (songs come from systems that ignore case).
      const std::string foundName = found->filename().string();
      return addEntry(list, candidate.substr(0, candidate.size() - foundName.size()) + foundName, options, reader,
                      progress);
    }
  }
  OpenResult result;
  report(result, progress, std::string(kNoSongForScript));
  return result;
}

// A list saved under a name without its extension is still a list.
ListKind listKindOfFile(const std::string& name) {
  const auto bytes = readFileBytes(name);
  return bytes ? listKindOfContent(*bytes) : ListKind::kNone;
}

// Reads the entry and appends it; an unreadable one is reported by its name in the list.
OpenResult readAndAppend(PlayList& list, MIDIFile entry, EntryReader& reader, AddProgress* progress) {
  OpenResult result;
  if (const int error = reader.readEntry(fullPath(list.baseFolder, entry), entry)) {
    const std::string problem = reader.lastProblem();
    report(result, progress, fileColumn(entry) + ": " + (problem.empty() ? protocol::errorMessage(error) : problem));
    return result;
  }
  list.append(std::move(entry));
  result.added = 1;
  return result;
}

bool isFolderName(const PlayList& list, const std::string& name) {
  if (!name.empty() && isSeparator(name.back())) return true;
  MIDIFile probe;
  probe.fileName = name;
  std::error_code error;
  return fs::is_directory(fullPath(list.baseFolder, probe), error);
}

}  // namespace

bool isArchiveName(std::string_view name) {
  return equalsIgnoringCase(platform::extensionOf(name), "lzh");
}

bool isSongName(std::string_view name, bool waveEnabled) {
  const platform::SongFormat format = platform::songFormatOf(name);
  return format == platform::SongFormat::kWave ? waveEnabled : format != platform::SongFormat::kNone;
}

OpenResult openName(PlayList& list, const std::string& name, const OpenOptions& options, EntryReader& reader,
                    AddProgress* progress) {
  OpenResult result;
  if (isFolderName(list, name)) {
    const bool separated = !name.empty() && isSeparator(name.back());
    result = addFolder(list, separated ? name : name + "/", options, reader, progress);
  } else if (listKindOf(name) != ListKind::kNone ||
             (!isSongName(name, true) && listKindOfFile(name) != ListKind::kNone)) {
    result = loadListFile(list, name, options, reader, progress);
  } else if (endsWithIgnoringCase(name, "WRD") || endsWithIgnoringCase(name, "DV")) {
    result = openScript(list, name, options, reader, progress);
  } else if (isArchiveName(name)) {
    result = addArchive(list, name, options, reader, progress);
  } else {
    result = addEntry(list, name, options, reader, progress);
  }
  if (progress) progress->finish(std::string(kProgressFinished));
  return result;
}

OpenResult addFolder(PlayList& list, const std::string& folder, const OpenOptions& options, EntryReader& reader,
                     AddProgress* progress) {
  OpenResult result;
  if (progress) progress->showSource(folder);
  MIDIFile probe;
  probe.fileName = folder;
  std::error_code error;
  for (fs::directory_iterator it(fullPath(list.baseFolder, probe), error), end; !error && it != end;
       it.increment(error)) {
    const std::string fileName = it->path().filename().string();
    std::error_code kindError;
    if (it->is_directory(kindError)) continue;
    if (isArchiveName(fileName))
      merge(result, addArchive(list, folder + fileName, options, reader, progress));
    else if (isSongName(fileName, options.waveEnabled))
      merge(result, addEntry(list, folder + fileName, options, reader, progress));
  }
  return result;
}

OpenResult addEntry(PlayList& list, const std::string& name, const OpenOptions& options, EntryReader& reader,
                    AddProgress* progress) {
  if (progress) progress->showSong(name);
  MIDIFile entry;
  entry.fileName = name;
  entry.module = options.module;
  return readAndAppend(list, std::move(entry), reader, progress);
}

OpenResult addArchive(PlayList& list, const std::string& name, const OpenOptions& options, EntryReader& reader,
                      AddProgress* progress) {
  OpenResult result;
  if (progress) progress->showSource(name);
  MIDIFile probe;
  probe.fileName = name;
  const std::vector<std::string> members = reader.archiveMembers(fullPath(list.baseFolder, probe));
  for (const std::string& member : members) {
    // Wave files are never taken from archives.
    if (!isSongName(member, false)) continue;
    if (progress) progress->showSong(name + " [" + member + "]");
    MIDIFile entry;
    entry.fileName = name;
    entry.archiveMember = member;
    entry.module = options.module;
    entry.wrdState = hasScriptMember(members, member) ? 2 : 1;
    merge(result, readAndAppend(list, std::move(entry), reader, progress));
  }
  return result;
}

OpenResult loadListFile(PlayList& list, const std::string& name, const OpenOptions& options, EntryReader& reader,
                        AddProgress* progress) {
  list.clear();
  OpenResult result;
  const auto bytes = readFileBytes(name);
  const ListKind byName = listKindOf(name);
  const ListKind kind = byName != ListKind::kNone || !bytes ? byName : listKindOfContent(*bytes);
  auto entries = !bytes ? std::nullopt : kind == ListKind::kMyp ? readFormatB(*bytes) : readFormatA(*bytes);
  if (!entries) {
    if (options.reportErrors) result.messages.push_back(name + std::string(kListReadFailed));
    return result;
  }
  if (kind == ListKind::kTor) {
    const std::size_t slash = name.find_last_of("\\/");
    list.baseFolder = slash == std::string::npos ? "." : name.substr(0, slash);
  }
  for (MIDIFile& entry : *entries) {
    if (kind == ListKind::kMyp) {
      OpenOptions songOptions = options;
      songOptions.module = entry.module;
      merge(result, addEntry(list, entry.fileName, songOptions, reader, progress));
      continue;
    }
    reader.checkWrd(fullPath(list.baseFolder, entry), entry);
    list.append(std::move(entry));
    ++result.added;
  }
  list.listFileName = name;
  list.listNamed = kind != ListKind::kMyp;
  result.listLoaded = true;
  return result;
}

}  // namespace volta::core
