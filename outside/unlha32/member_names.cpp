#include "outside/unlha32/member_names.h"

#include <optional>

#include "outside/unlha32/unlha32.h"
#include "platform/text.h"

namespace volta::unlha {

namespace {

using Raw = std::span<const std::uint8_t>;

// What the header stores: an MS-DOS path (level 0, the base name of level 1), and the
// folder and file name of the extended headers.
struct StoredFields {
  std::string dosPath;
  std::string folder;  // 0xFF between folders
  std::string file;
  bool hasFile = false;
};

std::string bytesOf(Raw raw, std::size_t from, std::size_t to) {
  return std::string(raw.begin() + static_cast<std::ptrdiff_t>(from), raw.begin() + static_cast<std::ptrdiff_t>(to));
}

std::uint32_t little(Raw raw, std::size_t at, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = width; i-- > 0;)
    value = value << 8 | raw[at + i];
  return value;
}

// Extended headers from the first size field: type, data, then the next size.
void readExtended(Raw raw, std::size_t at, std::size_t width, StoredFields& fields) {
  while (at + width <= raw.size()) {
    const std::uint32_t size = little(raw, at, width);
    const std::size_t start = at + width;
    if (size < 1 + width || size - width > raw.size() - start) return;
    const std::size_t end = start + size - width;
    if (raw[start] == 0x01) {
      fields.file = bytesOf(raw, start + 1, end);
      fields.hasFile = true;
    } else if (raw[start] == 0x02) {
      fields.folder = bytesOf(raw, start + 1, end);
    }
    at = end;
  }
}

std::optional<std::string> baseName(Raw raw) {
  if (raw.size() < 22 || raw.size() < 22u + raw[21]) return std::nullopt;
  return bytesOf(raw, 22, 22u + raw[21]);
}

StoredFields storedFields(Raw raw, int level) {
  StoredFields fields;
  if (level <= 1) fields.dosPath = baseName(raw).value_or(std::string());
  if (level == 1 && raw.size() >= 22) readExtended(raw, 25u + raw[21], 2, fields);
  if (level == 2) readExtended(raw, 24, 2, fields);
  if (level == 3) readExtended(raw, 28, 4, fields);
  return fields;
}

bool isValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t width = lead < 0x80                   ? 1
                              : lead >= 0xC2 && lead < 0xE0 ? 2
                              : lead >= 0xE0 && lead < 0xF0 ? 3
                              : lead >= 0xF0 && lead < 0xF5 ? 4
                                                            : 0;
    if (width == 0 || at + width > text.size()) return false;
    for (std::size_t i = 1; i < width; ++i)
      if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return false;
    at += width;
  }
  return true;
}

// "/" for the separators of an MS-DOS path; a 0x5C that ends a Shift-JIS character stays.
std::string dosToSlashes(std::string_view path, bool shiftJis) {
  std::string out;
  for (std::size_t at = 0; at < path.size(); ++at) {
    const auto byte = static_cast<unsigned char>(path[at]);
    if (shiftJis && platform::text::isShiftJisLead(byte) && at + 1 < path.size()) {
      out += path.substr(at, 2);
      ++at;
    } else {
      out += byte == '\\' || byte == 0xFF ? '/' : path[at];
    }
  }
  return out;
}

std::string folderToSlashes(std::string folder) {
  for (char& c : folder)
    if (static_cast<unsigned char>(c) == 0xFF) c = '/';
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

// The stored path with "/" between folders, still in the archive's bytes.
std::string storedPath(const StoredFields& fields, bool shiftJis) {
  const std::string file = fields.hasFile ? fields.file : fields.dosPath;
  const std::string folder = fields.folder.empty() ? std::string() : folderToSlashes(fields.folder);
  return folder + (fields.hasFile ? file : dosToSlashes(file, shiftJis));
}

std::string componentProblem(std::string_view part) {
  if (part == "." || part == "..") return "its path leaves the folder (\"..\")";
  for (const char c : part) {
    if (c == ':') return "its name holds a drive letter or \":\"";
    if (c == '\\') return "its name holds a backslash";
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return "its name holds a control character";
  }
  return {};
}

// The name with empty parts dropped (a leading "/" kept), and what is wrong with it.
MemberName checked(std::string_view decoded) {
  MemberName result;
  const bool absolute = !decoded.empty() && decoded.front() == '/';
  std::size_t at = 0;
  while (at <= decoded.size()) {
    const std::size_t end = std::min(decoded.find('/', at), decoded.size());
    const std::string_view part = decoded.substr(at, end - at);
    if (!part.empty()) {
      if (!result.name.empty() || absolute) result.name += '/';
      result.name += part;
      if (result.problem.empty()) result.problem = componentProblem(part);
    }
    at = end + 1;
  }
  if (absolute) result.problem = "its path is absolute";
  if (result.name.empty()) result.problem = "it has no name";
  if (result.name.size() > UNLHA_NAME_MAX) result.problem = "its name is too long";
  return result;
}

// One character of UTF-8 text at `at`: its width in bytes.
std::size_t characterWidth(std::string_view text, std::size_t at) {
  std::size_t width = 1;
  while (at + width < text.size() && (static_cast<unsigned char>(text[at + width]) & 0xC0) == 0x80)
    ++width;
  return width;
}

}  // namespace

MemberName memberName(std::span<const std::uint8_t> raw, int level, std::uint8_t os) {
  const StoredFields fields = storedFields(raw, level);
  std::string whole = fields.folder + fields.file + fields.dosPath;
  std::erase(whole, '\xFF');  // folder separators
  const bool utf8 = os == 'U' && isValidUtf8(whole);
  const std::string path = storedPath(fields, !utf8);
  return checked(utf8 ? path : platform::text::cp932ToUtf8(path));
}

bool matchesPattern(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*") return true;
  std::size_t p = 0, n = 0;
  std::size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += characterWidth(name, n);
    } else if (p < pattern.size() && platform::text::upperAscii(pattern[p]) == platform::text::upperAscii(name[n])) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*')
    ++p;
  return p == pattern.size();
}

}  // namespace volta::unlha
