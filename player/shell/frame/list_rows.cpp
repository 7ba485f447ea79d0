#include "player/shell/frame/list_rows.h"

#include "player/core/song_player.h"
#include "player/shell/frame/text_codec.h"
#include "player/wrd/shift_jis.h"

namespace volta::shell {

namespace {

// The part after the last "\" or "/" (file names are the system's UTF-8 bytes).
std::string_view lastPart(std::string_view name) {
  const std::size_t separator = name.find_last_of("\\/");
  return separator == std::string_view::npos ? name : name.substr(separator + 1);
}

QString osText(std::string_view name) {
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// Runs of ASCII blanks and ideographic blanks (0x81 0x40) as one blank, no trailing blank.
std::string cutSpaces(std::string_view title) {
  std::string cut;
  bool blank = false;
  for (std::size_t i = 0; i < title.size(); ++i) {
    const auto byte = static_cast<std::uint8_t>(title[i]);
    const bool wide = wrd::isShiftJisLead(byte) && i + 1 < title.size();
    const bool isBlank = byte == ' ' || (byte == 0x81 && wide && static_cast<std::uint8_t>(title[i + 1]) == 0x40);
    if (isBlank) {
      if (!blank) cut += ' ';
      blank = true;
      if (wide) ++i;
      continue;
    }
    blank = false;
    cut += title[i];
    if (wide) cut += title[++i];
  }
  if (!cut.empty() && cut.back() == ' ') cut.pop_back();
  return cut;
}

bool looksUntitled(std::string_view title) {
  return title.empty() || title == " " || title == "\x81\x40";
}

}  // namespace

FileListRow listRow(const core::MIDIFile& entry, bool spaceCut) {
  FileListRow row;
  const std::string title = spaceCut ? cutSpaces(entry.title) : entry.title;
  row.title = looksUntitled(title) ? QStringLiteral("Untitled !!") : fromCp932(title);
  row.fileName = osText(entry.archiveMember.empty() ? lastPart(entry.fileName) : entry.archiveMember);
  if (entry.lengthMs) row.length = QString::fromStdString(core::lengthLabel(entry.lengthMs));
  if (!entry.archiveMember.empty()) row.archive = QStringLiteral("LZH");
  row.module = entry.module.empty() ? QStringLiteral("Auto") : fromCp932(entry.module);
  row.hasWrd = entry.wrdState == 2;
  return row;
}

}  // namespace volta::shell
