#include "player/wrd/script_lookup.h"

#include <algorithm>
#include <string>
#include <system_error>

#include "platform/text.h"

namespace volta::wrd {

using platform::text::endsWithIgnoringCase;
using platform::text::equalsIgnoringCase;

namespace {

bool isFile(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

// The song's path with its last three characters replaced, matched to an existing file.
std::filesystem::path withEnding(const std::string& song, std::string_view ending) {
  const std::string name = song.substr(0, song.size() - std::min<std::size_t>(3, song.size())) + std::string(ending);
  const std::filesystem::path path(name);
  return findFileIgnoringCase(path.parent_path(), path.filename().string());
}

}  // namespace

std::filesystem::path lookupScriptSource(const std::filesystem::path& song, bool sryEnabled) {
  const std::string text = song.string();
  if (sryEnabled) {
    const auto sry = withEnding(text, "SRY");
    if (isFile(sry)) return sry;
  }
  const auto wrd = withEnding(text, "WRD");
  if (isFile(wrd)) return wrd;
  return withEnding(text, "DV");
}

bool isSherryScriptPath(const std::filesystem::path& path) {
  return endsWithIgnoringCase(path.string(), ".sry");
}

bool isDvScriptPath(const std::filesystem::path& path) {
  return endsWithIgnoringCase(path.string(), "dv");
}

std::filesystem::path findFileIgnoringCase(const std::filesystem::path& directory, std::string_view name) {
  std::string relative(name);
  std::replace(relative.begin(), relative.end(), '\\', '/');
  const std::filesystem::path exact = directory / relative;
  std::error_code ec;
  if (relative.empty() || std::filesystem::exists(exact, ec)) return exact;
  const std::filesystem::path wanted(relative);
  const std::filesystem::path folder = directory / wanted.parent_path();
  const std::string leaf = wanted.filename().string();
  for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (equalsIgnoringCase(it->path().filename().string(), leaf)) return folder / it->path().filename();
  }
  return exact;
}

}  // namespace volta::wrd
