#include "player/core/song_tdf.h"

#include <algorithm>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/text.h"
#include "player/core/file_bytes.h"
#include "player/core/module_definitions.h"

namespace volta::core {

using platform::text::equalsIgnoringCase;
using platform::text::trim;

namespace {

namespace fs = std::filesystem;

std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
  }
  return lines;
}

// The section a "[name]" line opens, or none for any other line.
std::optional<std::string_view> sectionOf(std::string_view line) {
  line = trim(line);
  if (line.size() < 2 || line.front() != '[') return {};
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return {};
  return trim(line.substr(1, close - 1));
}

bool isKeyLine(std::string_view line, std::string_view key) {
  const std::size_t equals = line.find('=');
  return equals != std::string_view::npos && equalsIgnoringCase(trim(line.substr(0, equals)), key);
}

std::string sectionFor(std::string_view member, std::string_view plain) {
  return member.empty() ? std::string(plain) : std::string(member);
}

}  // namespace

std::optional<std::string> profileValue(std::string_view text, std::string_view section, std::string_view key) {
  bool inSection = false;
  for (const std::string_view line : linesOf(text)) {
    if (const auto name = sectionOf(line)) {
      inSection = equalsIgnoringCase(*name, section);
    } else if (inSection && isKeyLine(line, key)) {
      std::string_view value = trim(line.substr(line.find('=') + 1));
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
      return std::string(value);
    }
  }
  return {};
}

std::string setProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
  const std::string entry = std::string(key) + '=' + std::string(value) + "\r\n";
  std::string out;
  bool inSection = false;
  bool done = false;
  for (const std::string_view line : linesOf(text)) {
    const auto name = sectionOf(line);
    if (name && inSection && !done) {  // the section ends without the key: add it at its end
      out += entry;
      done = true;
    }
    if (name) inSection = equalsIgnoringCase(*name, section);
    if (inSection && !done && !name && isKeyLine(line, key)) {
      out += entry;
      done = true;
      continue;
    }
    out += std::string(line) + '\n';
  }
  if (!done) {
    if (!inSection) {
      if (!out.empty() && out.back() != '\n') out += "\r\n";
      out += '[' + std::string(section) + "]\r\n";
    }
    out += entry;
  }
  return out;
}

fs::path songTdfPath(const fs::path& songPath) {
  const std::string song = songPath.string();
  const fs::path wanted(song.substr(0, song.size() - std::min<std::size_t>(3, song.size())) + "TDF");
  return findFileIgnoringCase(wanted).value_or(wanted);
}

std::optional<SongTdf> readSongTdf(const fs::path& songPath, std::string_view member, const SongTdf& defaults,
                                   std::size_t maxModuleLength) {
  const auto text = readFileBytes(songTdfPath(songPath));
  if (!text) return {};
  SongTdf values = defaults;
  if (auto module = profileValue(*text, sectionFor(member, "MIDI"), "ModuleName")) {
    values.moduleName = module->substr(0, maxModuleLength);
  }
  if (auto type = profileValue(*text, sectionFor(member, "Sequencer"), "PortAssignType")) {
    values.portAssignType = parseDecimal(*type).value_or(0);
  }
  return values;
}

bool writeSongTdf(const fs::path& songPath, std::string_view member, const SongTdf& values) {
  const fs::path path = songTdfPath(songPath);
  std::string text = readFileBytes(path).value_or("");
  text = setProfileValue(text, sectionFor(member, "MIDI"), "ModuleName", values.moduleName);
  text =
      setProfileValue(text, sectionFor(member, "Sequencer"), "PortAssignType", std::to_string(values.portAssignType));
  // Beside the song, in a folder others may write to: a private temporary name, synced,
  // renamed over the file itself (a symbolic link there is replaced, not followed).
  return platform::replaceFile(path, text, platform::FileAccess::kShared);
}

}  // namespace volta::core
