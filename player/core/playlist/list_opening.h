#pragma once
// Opening a name into the play list: a folder, a list file, a WRD script (its song),
// or one song. Songs are read through an injected reader, and the progress of adding
// goes to an optional progress display.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "player/core/midi_file.h"
#include "player/core/playlist/playlist.h"

namespace volta::core {

class EntryReader {
 public:
  virtual ~EntryReader() = default;
  // A song being added: its title and WRD state into the entry; 0 or the player's error code.
  virtual int readEntry(const std::filesystem::path& file, MIDIFile& entry) = 0;
  // An entry of a list file, whose title is known: only its WRD state.
  virtual void checkWrd(const std::filesystem::path& file, MIDIFile& entry) = 0;
  // The files of an LZH archive, "/" between folders; none where archives cannot be read.
  virtual std::vector<std::string> archiveMembers(const std::filesystem::path&) { return {}; }
  // Why the last song could not be read, when there is more to say than its error code.
  virtual std::string lastProblem() const { return {}; }
};

// The modeless dialog shown while songs are added.
class AddProgress {
 public:
  virtual ~AddProgress() = default;
  virtual void showSource(const std::string& folderOrArchive) = 0;
  virtual void showSong(const std::string& name) = 0;
  virtual void appendMessage(const std::string& text) = 0;
  // Adding ended; the dialog shows the text and stays until the user closes it.
  virtual void finish(const std::string& text) = 0;
};

inline constexpr std::string_view kProgressFinished = "終了しました";
inline constexpr std::string_view kNoSongForScript = "MIDIファイルがありません";
inline constexpr std::string_view kListReadFailed = "の読み出しに失敗しました。";

struct OpenOptions {
  std::string module;        // the "/M:" module of new entries; empty = automatic
  bool waveEnabled = false;  // wave files count as songs of a folder
  bool reportErrors = true;  // an unreadable list file gives a message
};

struct OpenResult {
  std::size_t added = 0;              // entries appended to the list
  bool listLoaded = false;            // a list file replaced the list
  std::vector<std::string> messages;  // for message boxes, in order (texts without a progress display)
};

// Opens a name into the list. A list file replaces the list's contents (the caller has
// closed the old list); everything else is appended. The order is left for the caller
// to apply again.
OpenResult openName(PlayList& list, const std::string& name, const OpenOptions& options, EntryReader& reader,
                    AddProgress* progress = nullptr);

// The songs and LZH archives of a folder (name ending in a separator), in the order the
// system lists them.
OpenResult addFolder(PlayList& list, const std::string& folder, const OpenOptions& options, EntryReader& reader,
                     AddProgress* progress = nullptr);

// One song; an unreadable one is not added and its error message is reported.
OpenResult addEntry(PlayList& list, const std::string& name, const OpenOptions& options, EntryReader& reader,
                    AddProgress* progress = nullptr);

// The song members of an LZH archive, each read as a song; their WRD state from the
// archive's other members.
OpenResult addArchive(PlayList& list, const std::string& name, const OpenOptions& options, EntryReader& reader,
                      AddProgress* progress = nullptr);

// A list file by its extension: .MYP format B, else format A; .TOR names are relative to its folder.
OpenResult loadListFile(PlayList& list, const std::string& name, const OpenOptions& options, EntryReader& reader,
                        AddProgress* progress = nullptr);

// Whether a name's extension is that of a song (wave files only when enabled).
bool isSongName(std::string_view name, bool waveEnabled);
// Whether a name is that of an LZH archive, whose members are listed instead of it.
bool isArchiveName(std::string_view name);

}  // namespace volta::core
