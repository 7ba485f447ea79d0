#pragma once
// The documents that come with a song: its companion text files gathered into
// one text for the document window, or, when it has none, a report built from
// other text files of its folder. Texts stay Shift-JIS bytes; the bytes 01 nn
// are display codes of the document window.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace volta::core {

// The three half-width katakana of the supplement file's extension, in Shift-JIS,
// and as a UTF-8 file name shows them on this system.
inline constexpr std::string_view kSupplementExtension = "\xCE\xBF\xB8";
inline constexpr std::string_view kSupplementExtensionUtf8 = "\xEF\xBE\x8E\xEF\xBD\xBF\xEF\xBD\xB8";

// The whole file as text, or none when it cannot be read: a final 0x1A is dropped,
// a MacBinary header (type "TEXT" at bytes 65-68) is dropped, a lone CR becomes
// CR LF, and the text ends at its first zero byte.
std::optional<std::string> readTextFile(const std::filesystem::path& path);

// The song's companions (supplement, HED, TXT, DOC, in that order), each after
// its heading; none when autoDocument is off or no companion exists.
std::optional<std::string> gatherDocuments(const std::filesystem::path& songPath, bool autoDocument);

// Up to four other text files of the folder (supplement, HED, TXT, DOC
// extensions in turn) after the report heading; none when no file was taken.
std::optional<std::string> autoDocument(const std::filesystem::path& songFolder);

struct SongDocument {
  enum class Source { kCompanions, kFolderReport, kNone };
  std::string text;
  Source source = Source::kNone;
  // The song player's "document found": a document resulted.
  bool found() const { return source != Source::kNone; }
};

// What the song player shows for a song: its companions; else, when both the
// auto document flag and the "AutoDoc" setting are on, the folder report; else
// the "No document files." report.
SongDocument findSongDocument(const std::filesystem::path& songPath, bool autoDocumentFlag, bool autoDocSetting);

}  // namespace volta::core
