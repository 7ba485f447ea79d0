#include "player/shell/panel/about_text.h"

#include <cstdio>

#include "player/shell/panel/string_table.h"

namespace volta::shell {
namespace {

// Formats one string-table pattern; the patterns take at most two numbers and one text.
std::string format(int id, int language, int first, int second, const std::string& detail = {}) {
  const std::string pattern(text(id, language));
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, pattern.c_str(), first, second, detail.c_str());
  return buffer;
}

std::string formatText(int id, int language, const std::string& value) {
  const std::string pattern(text(id, language));
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, pattern.c_str(), value.c_str());
  return buffer;
}

std::string libraryLine(int id, int language, const std::optional<LibraryVersion>& version, const char* name) {
  if (!version) return formatText(text_id::kLibraryMissing, language, name);
  return format(id, language, version->major, version->minor, version->detail);
}

}  // namespace

std::vector<std::string> aboutLines(const AboutInfo& info, int language) {
  std::vector<std::string> lines{std::string(text(text_id::kVersion, language))};
  lines.push_back(info.fullScreenDepth ? format(text_id::kDisplayDepth, language, *info.fullScreenDepth, 0)
                                       : std::string(text(text_id::kDisplayMissing, language)));
  lines.push_back(libraryLine(text_id::kLzhVersion, language, info.lzh, "UNLHA32"));
  lines.push_back(libraryLine(text_id::kSmfKnifeVersion, language, info.smfKnife, "SMFK32"));
  lines.push_back(libraryLine(text_id::kDvVersion, language, info.dvConverter, "DV2WRD32"));
  if (!info.engine.empty()) lines.push_back(formatText(text_id::kEngineDescription, language, info.engine));
  return lines;
}

}  // namespace volta::shell
