#pragma once
// List files: format A (.TOR with names relative to the list's folder, .TO2 with
// absolute names), read and written, and format B (.MYP), read only. Texts are kept
// as the bytes they are (Shift-JIS from Windows, UTF-8 file names here). Also the
// texts of the list window's columns.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "player/core/midi_file.h"

namespace volta::core {

enum class ListKind { kNone, kTor, kTo2, kMyp };

// By the last three characters of the name, without case.
ListKind listKindOf(std::string_view name);
// A list file of whatever name, by its first bytes: format A's "#!" header line naming the
// program (after an optional UTF-8 BOM) makes it a .TO2 list when its first song's name is absolute, a .TOR list
// otherwise; kNone for anything else.
ListKind listKindOfContent(std::string_view bytes);
// The name with the extension of the kind appended when its file name has no extension at all.
std::string withListExtension(const std::string& name, ListKind kind);

// Format A; none when the header line lacks "volta". Lines end in LF (a CR before it is
// dropped); a last line without LF is kept whole, and lines have no length limit.
std::optional<std::vector<MIDIFile>> readFormatA(std::string_view bytes);
// Format B: one song per line, an optional "/M:" module.
std::vector<MIDIFile> readFormatB(std::string_view bytes);

// Format A's text in the order of the entries, lines ending in CR LF. With relativeNames
// (a .TOR list) the names' backslashes are written as "/". Line breaks inside a text are
// written as blanks, since they would split the entry's fields.
std::string writeFormatA(const std::vector<MIDIFile>& files, bool relativeNames);
// Writes the text to a temporary file beside the list and renames it over the list, so a
// failure leaves the old list as it was; false on any failure.
bool saveListFile(const std::filesystem::path& file, std::string_view text);

// The list window's columns (bytes as stored; the title's "Untitled !!" when it shows nothing).
std::string titleColumn(const MIDIFile& entry, bool spaceCut);
std::string fileColumn(const MIDIFile& entry);
std::string lengthColumn(const MIDIFile& entry);
std::string lzhColumn(const MIDIFile& entry);
std::string moduleColumn(const MIDIFile& entry);

}  // namespace volta::core
