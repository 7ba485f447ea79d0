#include "player/core/listedit/folder_browser.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <system_error>

#include "platform/file_types.h"
#include "platform/text.h"

namespace volta::core {

namespace fs = std::filesystem;

namespace {

// The order in which the files list groups songs by their extension; extensions the
// shared table learns later come last.
constexpr std::array<std::string_view, 11> kShownOrder = {"MID", "SMF", "MFF", "RMI", "KAR", "R36",
                                                          "RCP", "WAV", "LZH", "G18", "G36"};

std::size_t groupOf(const std::string& fileName) {
  const std::string_view extension = platform::extensionOf(fileName);
  const auto found = std::find_if(kShownOrder.begin(), kShownOrder.end(), [&](std::string_view shown) {
    return platform::text::equalsIgnoringCase(shown, extension);
  });
  return static_cast<std::size_t>(found - kShownOrder.begin());
}

// An absolute folder without "." and ".." steps and without a trailing separator.
std::string normalFolder(const fs::path& folder) {
  std::string text = fs::absolute(folder).lexically_normal().string();
  while (text.size() > 1 && text.back() == '/')
    text.pop_back();
  return text;
}

bool isFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

// The folder below the base as "/sub", "/" for the base itself; none when it lies outside.
std::optional<std::string> relativeInside(const fs::path& folder, const fs::path& base) {
  const fs::path inside = folder.lexically_relative(base);
  if (inside.empty() || *inside.begin() == "..") return std::nullopt;
  return inside == "." ? std::string("/") : "/" + inside.generic_string();
}

bool isPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

}  // namespace

std::string BrowserItem::label() const {
  switch (kind) {
    case Kind::kUp:
      return " [ Up ]";
    case Kind::kFolder:
      return " [" + name + "]";
    case Kind::kPlace:
      return " [ -" + name + "- ]";
    case Kind::kFile:
      break;
  }
  return name;
}

FolderBrowser::FolderBrowser(std::string baseFolder, const std::string& startFolder, std::vector<std::string> places)
    : base_(std::move(baseFolder)), places_(std::move(places)) {
  if (relative())
    current_ = "/";
  else if (isFolder(startFolder))
    current_ = normalFolder(startFolder);
  else
    current_ = places_.empty() ? "/" : normalFolder(places_.front());
}

fs::path FolderBrowser::currentPath() const {
  return relative() ? fs::path(joinName(base_, current_.substr(1))) : fs::path(current_);
}

bool FolderBrowser::atTop() const {
  return current_ == "/";
}

std::vector<BrowserItem> FolderBrowser::items(const SongFilter& filter, EntryReader& reader) const {
  std::vector<BrowserItem> items;
  if (!atTop()) items.push_back({BrowserItem::Kind::kUp, ".."});
  const fs::path here = currentPath();
  FolderListing listing = listFolder(here);
  for (const std::string& folder : listing.folders)
    items.push_back({BrowserItem::Kind::kFolder, folder});
  if (!relative()) {
    for (const std::string& place : places_)
      items.push_back({BrowserItem::Kind::kPlace, place});
  }
  std::erase_if(listing.files, [&](const std::string& file) { return !offersSong(here / file, filter, reader); });
  std::stable_sort(listing.files.begin(), listing.files.end(),
                   [](const std::string& a, const std::string& b) { return groupOf(a) < groupOf(b); });
  for (const std::string& file : listing.files)
    items.push_back({BrowserItem::Kind::kFile, file});
  return items;
}

bool FolderBrowser::choose(const BrowserItem& item) {
  switch (item.kind) {
    case BrowserItem::Kind::kUp: {
      if (atTop()) return false;
      const std::size_t cut = current_.find_last_of('/');
      current_ = cut == 0 ? "/" : current_.substr(0, cut);
      return true;
    }
    case BrowserItem::Kind::kFolder:
      if (item.name == "..") return choose({BrowserItem::Kind::kUp, item.name});
      if (!isPlainName(item.name)) return false;
      current_ = joinName(current_, item.name);
      return true;
    case BrowserItem::Kind::kPlace:
      return !relative() && goTo(item.name);
    case BrowserItem::Kind::kFile:
      break;
  }
  return false;
}

bool FolderBrowser::goTo(const fs::path& folder) {
  if (!isFolder(folder)) return false;
  const std::string target = normalFolder(folder);
  if (!relative()) {
    current_ = target;
    return true;
  }
  // Inside by its name, or by where links lead.
  auto inside = relativeInside(target, normalFolder(base_));
  if (!inside) {
    std::error_code error, baseError;
    const fs::path real = fs::canonical(target, error);
    const fs::path realBase = fs::canonical(base_, baseError);
    if (!error && !baseError) inside = relativeInside(real, realBase);
  }
  if (!inside) return false;
  current_ = *inside;
  return true;
}

std::string FolderBrowser::entryName(const std::string& fileName) const {
  return joinName(current_, fileName);
}

}  // namespace volta::core
