#include "player/core/documents.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/text.h"
#include "player/core/file_bytes.h"

namespace volta::core {

using platform::text::equalsIgnoringCase;

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMacBinaryHeader = 128;
constexpr std::size_t kMaxFolderDocuments = 4;
constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kReportHeading = "\x01\x07    VOLTA Player report\r\n\x01r";

// An extension as the document names it, and the spellings a file name may carry.
struct Extension {
  std::string_view shown;
  std::array<std::string_view, 2> spellings;
};

// Companion order in the document.
constexpr std::array<Extension, 4> kCompanions = {{
    {kSupplementExtension, {kSupplementExtension, kSupplementExtensionUtf8}},
    {"HED", {"HED", "HED"}},
    {"TXT", {"TXT", "TXT"}},
    {"DOC", {"DOC", "DOC"}},
}};

void normaliseLineEnds(std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) out += '\n';
  }
  text = std::move(out);
}

std::optional<fs::path> findCompanion(const std::string& songPath, const Extension& extension) {
  if (songPath.size() < 3) return {};
  const std::string base = songPath.substr(0, songPath.size() - 3);
  for (const std::string_view spelling : extension.spellings) {
    if (auto found = findFileIgnoringCase(base + std::string(spelling))) return found;
  }
  return {};
}

bool hasExtension(const std::string& name, const Extension& extension) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  const std::string_view ext = std::string_view(name).substr(dot + 1);
  return std::any_of(extension.spellings.begin(), extension.spellings.end(),
                     [&](std::string_view spelling) { return equalsIgnoringCase(ext, spelling); });
}

std::vector<fs::path> filesWithExtension(const fs::path& folder, const Extension& extension) {
  std::vector<fs::path> files;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (hasExtension(it->path().filename().string(), extension) && it->is_regular_file(error)) {
      files.push_back(it->path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

std::optional<std::string> readTextFile(const fs::path& path) {
  std::optional<std::string> bytes = readFileBytes(path);
  if (!bytes) return {};
  std::string& text = *bytes;
  if (!text.empty() && text.back() == '\x1A') text.pop_back();
  if (text.size() >= 69 && equalsIgnoringCase(std::string_view(text).substr(65, 4), "TEXT")) {
    text.erase(0, std::min(kMacBinaryHeader, text.size()));
  }
  // Documents are zero-terminated texts: a zero byte (such as the padding after a
  // MacBinary data fork) ends the text.
  text.resize(std::min(text.size(), text.find('\0')));
  normaliseLineEnds(text);
  return bytes;
}

std::optional<std::string> gatherDocuments(const fs::path& songPath, bool autoDocument) {
  if (!autoDocument) return {};
  std::string document;
  bool any = false;
  for (const Extension& extension : kCompanions) {
    const auto file = findCompanion(songPath.string(), extension);
    const auto text = file ? readTextFile(*file) : std::nullopt;
    if (!text) continue;
    any = true;
    document += std::string(kCrLf) + "\x01\x05    " + std::string(extension.shown) + " File\r\n\r\n" + *text;
  }
  if (!any) return {};
  return document;
}

std::optional<std::string> autoDocument(const fs::path& songFolder) {
  std::string files;
  std::size_t taken = 0;
  for (const Extension& extension : kCompanions) {
    for (const fs::path& file : filesWithExtension(songFolder, extension)) {
      if (taken >= kMaxFolderDocuments) break;
      const auto text = readTextFile(file);
      if (!text) continue;
      ++taken;
      files += std::string(kCrLf) + "\x01\x05    " + file.filename().string() + std::string(kCrLf) + *text;
    }
  }
  if (taken == 0) return {};
  return std::string(kReportHeading) + "Cannot find any document files, and display better some document file.\r\n" +
         files;
}

SongDocument findSongDocument(const fs::path& songPath, bool autoDocumentFlag, bool autoDocSetting) {
  if (auto companions = gatherDocuments(songPath, autoDocumentFlag)) {
    return {std::move(*companions), SongDocument::Source::kCompanions};
  }
  if (autoDocumentFlag && autoDocSetting) {
    if (auto report = autoDocument(songPath.parent_path().empty() ? fs::path(".") : songPath.parent_path())) {
      return {std::move(*report), SongDocument::Source::kFolderReport};
    }
  }
  return {std::string(kReportHeading) + "No document files.\r\n", SongDocument::Source::kNone};
}

}  // namespace volta::core
