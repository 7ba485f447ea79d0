#include "player/core/playlist/list_files.h"

#include <algorithm>
#include <cstdint>

#include "platform/atomic_file.h"
#include "platform/text.h"
#include "player/core/song_player.h"

namespace volta::core {

using platform::text::equalsIgnoringCase;
using platform::text::isShiftJisLead;
using platform::text::upperAscii;

namespace {

constexpr std::string_view kHeader = "#! /usr/local/bin/volta";
constexpr int kNumberedLines = 7;  // lines 3 to 9 of an entry

class LineReader {
 public:
  explicit LineReader(std::string_view bytes) : rest_(bytes) {}
  std::optional<std::string_view> next() {
    if (rest_.empty()) return std::nullopt;
    const std::size_t end = rest_.find('\n');
    std::string_view line = rest_.substr(0, end);
    rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
  }

 private:
  std::string_view rest_;
};

// The C library's decimal conversion of a 32-bit long: blanks, a sign, digits; anything else
// ends the number, and numbers beyond the range stop at its ends.
long decimal(std::string_view text) {
  constexpr long long kMax = 2147483647LL;
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r')))
    ++at;
  const bool negative = at < text.size() && text[at] == '-';
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
  long long value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
    value = std::min(value * 10 + (text[at] - '0'), kMax + 1);
  return static_cast<long>(negative ? -value : std::min(value, kMax));
}

void setNumberedField(MIDIFile& entry, int line, std::string_view text) {
  switch (line) {
    case 3:
      entry.lengthMs = static_cast<std::uint32_t>(decimal(text));
      break;
    case 4:
      entry.measures = static_cast<std::uint16_t>(decimal(text));
      break;
    case 5:
      entry.archiveMember = std::string(text);
      break;
    case 6:
      entry.wrdState = static_cast<std::int32_t>(decimal(text));
      break;
    case 7:
      entry.module = std::string(text);
      break;
    case 8:
      entry.portAssignType = static_cast<std::int32_t>(decimal(text));
      break;
    default:
      entry.smfKnife = decimal(text) != 0;
      break;
  }
}

bool endsEntry(std::string_view line) {
  return !line.empty() && line.front() == '@';
}

// Lines 3 to 9 of an entry, until "@" or the end; after line 9, lines up to the "@".
void readNumberedLines(LineReader& lines, MIDIFile& entry) {
  for (int line = 3; line < 3 + kNumberedLines; ++line) {
    const auto text = lines.next();
    if (!text || endsEntry(*text)) return;
    setNumberedField(entry, line, *text);
  }
  for (auto text = lines.next(); text && !endsEntry(*text); text = lines.next()) {
  }
}

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

// The words after a "/" in the options; "M:" names the module up to the next slash or blank.
std::string moduleOption(std::string_view options) {
  std::string module;
  for (std::size_t slash = options.find('/'); slash != std::string_view::npos; slash = options.find('/', slash + 1)) {
    const std::string_view word = options.substr(slash + 1);
    if (word.size() < 2 || upperAscii(word[0]) != 'M' || word[1] != ':') continue;
    const auto end = std::find_if(word.begin() + 2, word.end(), [](char c) { return c == '/' || isBlank(c); });
    module.assign(word.begin() + 2, end);
  }
  return module;
}

std::optional<MIDIFile> formatBEntry(std::string_view line) {
  MIDIFile entry;
  std::string_view options;
  if (line.front() == '"') {
    const std::size_t close = line.find('"', 1);
    entry.fileName = std::string(line.substr(1, close == std::string_view::npos ? close : close - 1));
    options = close == std::string_view::npos ? std::string_view() : line.substr(close + 1);
  } else {
    const auto blank = std::find_if(line.begin(), line.end(), isBlank);
    entry.fileName.assign(line.begin(), blank);
    options = line.substr(static_cast<std::size_t>(blank - line.begin()));
  }
  if (entry.fileName.empty()) return std::nullopt;
  entry.module = moduleOption(options);
  return entry;
}

void appendLine(std::string& out, std::string_view text) {
  const std::size_t start = out.size();
  out.append(text);
  std::replace_if(
      out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  out.append("\r\n");
}

void appendNumber(std::string& out, long long value) {
  appendLine(out, std::to_string(value));
}

bool isTrailByte(char c) {
  const auto b = static_cast<std::uint8_t>(c);
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// 2 for a double-byte character starting here, else 1. A lead byte without a possible
// second byte stands alone, so "/" and blanks are never swallowed (UTF-8 names hold such bytes).
std::size_t charWidth(std::string_view text, std::size_t at) {
  return isShiftJisLead(text[at]) && at + 1 < text.size() && isTrailByte(text[at + 1]) ? 2 : 1;
}

// Backslashes become slashes; the second byte of a double-byte character stays.
std::string storedName(const MIDIFile& entry, bool relativeNames) {
  std::string name = entry.fileName;
  for (std::size_t at = 0; relativeNames && at < name.size(); at += charWidth(name, at)) {
    if (name[at] == '\\') name[at] = '/';
  }
  return name;
}

bool isIdeographicBlank(std::string_view text, std::size_t at) {
  return at + 1 < text.size() && text[at] == '\x81' && text[at + 1] == '\x40';
}

// Each run of ASCII and ideographic blanks as its first blank; a trailing blank dropped.
std::string cutSpaces(std::string_view title) {
  std::string out;
  bool inRun = false;
  std::size_t runStart = 0;
  for (std::size_t at = 0; at < title.size();) {
    const bool ideographic = isIdeographicBlank(title, at);
    const std::size_t width = charWidth(title, at);
    const bool blank = ideographic || title[at] == ' ';
    if (blank && !inRun) runStart = out.size();
    if (!blank || !inRun) out.append(title.substr(at, width));
    inRun = blank;
    at += width;
  }
  if (inRun) out.resize(runStart);
  return out;
}

// Where the name part begins: after the last "/" or "\" that is not the second byte of a double-byte character.
std::size_t namePartStart(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t at = 0; at < path.size(); at += charWidth(path, at)) {
    if (path[at] == '/' || path[at] == '\\') start = at + 1;
  }
  return start;
}

}  // namespace

ListKind listKindOf(std::string_view name) {
  if (name.size() < 3) return ListKind::kNone;
  const std::string_view last = name.substr(name.size() - 3);
  if (equalsIgnoringCase(last, "TOR")) return ListKind::kTor;
  if (equalsIgnoringCase(last, "TO2")) return ListKind::kTo2;
  if (equalsIgnoringCase(last, "MYP")) return ListKind::kMyp;
  return ListKind::kNone;
}

ListKind listKindOfContent(std::string_view bytes) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  // The "#!" keeps songs that happen to hold the word in their first bytes out.
  if (bytes.substr(0, 2) != "#!") return ListKind::kNone;
  const auto files = readFormatA(bytes);
  if (!files) return ListKind::kNone;
  const bool relative = !files->empty() && !std::filesystem::path(files->front().fileName).is_absolute();
  return relative ? ListKind::kTor : ListKind::kTo2;
}

std::string withListExtension(const std::string& name, ListKind kind) {
  if (std::filesystem::path(name).has_extension() || kind == ListKind::kNone) return name;
  return name + (kind == ListKind::kTor ? ".TOR" : kind == ListKind::kTo2 ? ".TO2" : ".MYP");
}

std::optional<std::vector<MIDIFile>> readFormatA(std::string_view bytes) {
  LineReader lines(bytes);
  const auto header = lines.next();
  if (!header || header->find("volta") == std::string_view::npos) return std::nullopt;
  std::vector<MIDIFile> files;
  for (;;) {
    const auto name = lines.next();
    if (!name || name->empty()) break;
    const auto title = lines.next();
    if (!title) break;
    MIDIFile entry;
    entry.fileName = std::string(*name);
    entry.title = std::string(*title);
    readNumberedLines(lines, entry);
    files.push_back(std::move(entry));
  }
  return files;
}

std::vector<MIDIFile> readFormatB(std::string_view bytes) {
  LineReader lines(bytes);
  std::vector<MIDIFile> files;
  for (auto line = lines.next(); line && !line->empty(); line = lines.next()) {
    if (auto entry = formatBEntry(*line)) files.push_back(std::move(*entry));
  }
  return files;
}

std::string writeFormatA(const std::vector<MIDIFile>& files, bool relativeNames) {
  std::string out;
  appendLine(out, kHeader);
  for (const MIDIFile& entry : files) {
    appendLine(out, storedName(entry, relativeNames));
    appendLine(out, entry.title);
    appendNumber(out, entry.lengthMs);
    appendNumber(out, entry.measures);
    appendLine(out, entry.archiveMember);
    appendNumber(out, entry.wrdState);
    appendLine(out, entry.module);
    appendNumber(out, entry.portAssignType);
    appendNumber(out, entry.smfKnife ? 1 : 0);
    appendLine(out, "@");
  }
  return out;
}

bool saveListFile(const std::filesystem::path& file, std::string_view text) {
  return platform::replaceFile(file, text, platform::FileAccess::kShared);
}

std::string titleColumn(const MIDIFile& entry, bool spaceCut) {
  std::string shown = spaceCut ? cutSpaces(entry.title) : entry.title;
  if (shown.empty() || shown == " " || shown == "\x81\x40") return "Untitled !!";
  return shown;
}

std::string fileColumn(const MIDIFile& entry) {
  if (!entry.archiveMember.empty()) return entry.archiveMember;
  return entry.fileName.substr(namePartStart(entry.fileName));
}

std::string lengthColumn(const MIDIFile& entry) {
  return entry.lengthMs == 0 ? std::string() : lengthLabel(entry.lengthMs);
}

std::string lzhColumn(const MIDIFile& entry) {
  return entry.archiveMember.empty() ? std::string() : "LZH";
}

std::string moduleColumn(const MIDIFile& entry) {
  return entry.module.empty() ? "Auto" : entry.module;
}

}  // namespace volta::core
