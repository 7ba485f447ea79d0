#pragma once
// The player as the desktop's program for its file types, per user: a shared-mime-info
// package for the types no other package defines, a desktop entry, and the default
// application of each chosen type, all under the user's XDG folders. Taking a type back
// removes only a default that names our desktop entry; another program's stays.

#include <array>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace volta::platform::desktop {

// Which of the three descriptions a type's comment takes.
enum class TypeFamily { kSong, kList, kWrd };

struct FileType {
  std::string_view mimeType;
  std::string_view label;                      // the extensions as the page shows them
  std::array<std::string_view, 5> extensions;  // lower case, without dots; empty ends
  bool own;                                    // defined by our package; others are standard types
  TypeFamily family;
  std::string_view parent = {};  // the type ours is a kind of (programs for it are offered too)
};

// Standard MIDI Files and LZH archives keep their standard types; the rarer MIDI extensions,
// which the system's database lacks, get a type of ours beneath the standard one.
inline constexpr std::array<FileType, 7> kFileTypes{{
    {"audio/midi", "MID, MIDI, KAR", {"mid", "midi", "kar"}, false, TypeFamily::kSong},
    {"audio/x-volta-smf", "SMF, MFF, RMI", {"smf", "mff", "rmi"}, true, TypeFamily::kSong, "audio/midi"},
    {"audio/x-rcp", "RCP, R36", {"rcp", "r36"}, true, TypeFamily::kSong},
    {"audio/x-g36", "G36, G18", {"g36", "g18"}, true, TypeFamily::kSong},
    {"application/x-volta-list", "TOR, TO2, MYP", {"tor", "to2", "myp"}, true, TypeFamily::kList},
    {"application/x-volta-wrd", "WRD", {"wrd"}, true, TypeFamily::kWrd},
    {"application/x-lha", "LZH", {"lzh"}, false, TypeFamily::kSong},
}};

inline constexpr std::string_view kDesktopId = "volta.desktop";

// The comments of our own types, as the user may reword them.
struct Descriptions {
  std::string song = "MIDI File";
  std::string list = "VOLTA List File";
  std::string wrd = "WRD File";

  const std::string& of(TypeFamily family) const;
  bool operator==(const Descriptions&) const = default;
};

// The package for mime/packages: our own types with their globs.
std::string mimePackage(const Descriptions& descriptions);
// A desktop entry that opens the given types with `program` ("%F": the files chosen).
std::string desktopEntry(const std::filesystem::path& program, const std::set<std::string>& mimeTypes);
// `program` as the Exec key wants it: quoted when it holds a character the key reserves.
std::string execProgram(const std::string& program);

// A mimeapps.list text: the types whose default application is `desktopId` (first choice).
std::set<std::string> defaultsNaming(std::string_view mimeapps, std::string_view desktopId);
// The same text without `desktopId` as default or added association of `types`; every other
// line stays as it was.
std::string withoutOwnAssociations(std::string_view mimeapps, std::string_view desktopId,
                                   const std::set<std::string>& types);

// The folders the XDG tools use for the user.
struct XdgPlaces {
  std::filesystem::path dataHome;    // $XDG_DATA_HOME, else ~/.local/share
  std::filesystem::path configHome;  // $XDG_CONFIG_HOME, else ~/.config
  static XdgPlaces fromEnvironment();
};

// Runs a program (looked up on the path) with the environment overrides; true when it
// ended with status 0.
using ToolRunner = std::function<bool(const std::vector<std::string>& argv,
                                      const std::vector<std::pair<std::string, std::string>>& environment)>;
bool runTool(const std::vector<std::string>& argv, const std::vector<std::pair<std::string, std::string>>& environment);

class FileAssociations {
 public:
  FileAssociations(XdgPlaces places, std::filesystem::path program, ToolRunner runner = runTool);
  // The user's folders, for the program running now.
  static FileAssociations forRunningProgram();

  // The types whose default application is our desktop entry now.
  std::set<std::string> registeredTypes() const;
  // Makes the player the default for `types` and takes back every other type of ours; with
  // no types, nothing of ours is left. False, with error() set, when a step failed.
  bool apply(const std::set<std::string>& types, const Descriptions& descriptions);
  const std::string& error() const { return error_; }

  std::filesystem::path packageFile() const;
  std::filesystem::path desktopFile() const;

 private:
  bool install(const std::set<std::string>& types, const Descriptions& descriptions);
  bool uninstall();
  bool takeBack(const std::set<std::string>& types);
  bool refreshDatabases();
  bool run(const std::vector<std::string>& argv);
  std::vector<std::filesystem::path> mimeappsFiles() const;
  bool fail(std::string message);

  XdgPlaces places_;
  std::filesystem::path program_;
  ToolRunner runner_;
  std::string error_;
};

}  // namespace volta::platform::desktop
