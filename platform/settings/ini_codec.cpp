#include "platform/settings/ini_codec.h"

#include "platform/text.h"

namespace volta::platform::settings {
namespace {

using text::trim;

// Text is decoded to code points; a byte that is not part of valid UTF-8 is kept
// as itself, marked, so that no byte of a foreign file is lost on the way.
constexpr std::uint32_t kRawByte = 0x200000;
constexpr std::string_view kByteArrayPrefix = "@ByteArray(";
constexpr std::string_view kGeneral = "General";
constexpr char kHexDigits[] = "0123456789abcdef";

std::size_t sequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

std::vector<std::uint32_t> decodeUtf8(std::string_view text) {
  std::vector<std::uint32_t> out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    }
    const std::size_t length = sequenceLength(lead);
    std::uint32_t cp = lead & (0x7F >> length);
    bool valid = length != 0 && i + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      cp = (cp << 6) | (next & 0x3F);
    }
    valid = valid && cp >= 0x80 && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF) && !(length == 3 && cp < 0x800) &&
            !(length == 4 && cp < 0x10000);
    if (valid) {
      out.push_back(cp);
      i += length;
    } else {
      out.push_back(kRawByte | lead);
      ++i;
    }
  }
  return out;
}

void appendUtf8(std::string& out, std::uint32_t cp) {
  if (cp & kRawByte) {
    out += static_cast<char>(cp & 0xFF);
  } else {
    text::appendUtf8(out, cp);
  }
}

std::string encodeUtf8(const std::vector<std::uint32_t>& cps) {
  std::string out;
  for (const std::uint32_t cp : cps)
    appendUtf8(out, cp);
  return out;
}

int hexValue(std::uint32_t c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}

void appendHex(std::string& out, std::uint32_t value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    out += kHexDigits[(value >> shift) & 0xF];
}

// Keys and section names: letters, digits, "_", "-" and "." stand as they are,
// "/" becomes "\", everything else is %XX (or %UXXXX above U+00FF).
std::string escapeKey(std::string_view key) {
  std::string out;
  for (const std::uint32_t cp : decodeUtf8(key)) {
    const std::uint32_t c = cp & ~kRawByte;
    if (cp == '/') {
      out += '\\';
    } else if (cp < 0x80 && (std::isalnum(static_cast<int>(cp)) || cp == '_' || cp == '-' || cp == '.')) {
      out += static_cast<char>(cp);
    } else if (c <= 0xFF) {
      out += '%';
      appendHex(out, c, 2);
    } else {
      out += "%U";
      appendHex(out, c > 0xFFFF ? 0xFFFD : c, 4);
    }
  }
  return out;
}

// Reads `digits` hex digits at text[i]; -1 when they are not all there.
long readHex(std::string_view text, std::size_t i, std::size_t digits) {
  if (i + digits > text.size()) return -1;
  long value = 0;
  for (std::size_t k = 0; k < digits; ++k) {
    const int digit = hexValue(static_cast<unsigned char>(text[i + k]));
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

std::string unescapeKey(std::string_view key) {
  std::string out;
  for (std::size_t i = 0; i < key.size(); ++i) {
    const char c = key[i];
    if (c == '\\') {
      out += '/';
    } else if (c == '%' && i + 1 < key.size() && key[i + 1] == 'U' && readHex(key, i + 2, 4) >= 0) {
      appendUtf8(out, static_cast<std::uint32_t>(readHex(key, i + 2, 4)));
      i += 5;
    } else if (c == '%' && readHex(key, i + 1, 2) >= 0) {
      appendUtf8(out, static_cast<std::uint32_t>(readHex(key, i + 1, 2)));
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

// Values: C escapes for control characters, quotes around text with ";", ",", "="
// or outer blanks. After a numeric escape a following hex digit is escaped too,
// since readers take hex digits greedily. Without `textCodec` (byte arrays)
// everything from 0x7F up is escaped as well.
std::string escapeValue(const std::vector<std::uint32_t>& cps, bool textCodec) {
  std::string out;
  bool needsQuotes = false;
  bool escapeNextIfDigit = false;
  for (const std::uint32_t cp : cps) {
    if (cp == ';' || cp == ',' || cp == '=') needsQuotes = true;
    if (escapeNextIfDigit && hexValue(cp) >= 0) {
      out += "\\x";
      appendHex(out, cp, 2);
      continue;
    }
    escapeNextIfDigit = false;
    switch (cp) {
      case '\0':
        out += "\\0";
        escapeNextIfDigit = true;
        break;
      case '\a':
        out += "\\a";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\v':
        out += "\\v";
        break;
      case '"':
      case '\\':
        out += '\\';
        out += static_cast<char>(cp);
        break;
      default:
        if (cp <= 0x1F || cp == 0x7F || (cp >= 0x80 && !textCodec)) {
          out += "\\x";
          appendHex(out, cp & 0xFF, 2);
          escapeNextIfDigit = true;
        } else {
          appendUtf8(out, cp);
        }
    }
  }
  if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' '))) out = '"' + out + '"';
  return out;
}

std::uint32_t simpleEscape(std::uint32_t c) {
  switch (c) {
    case 'a':
      return '\a';
    case 'b':
      return '\b';
    case 'f':
      return '\f';
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return '\t';
    case 'v':
      return '\v';
    default:
      return c;
  }
}

// Reads a greedy run of digits in `base` starting at cps[i]; returns the value and moves i past it.
std::uint32_t readNumber(const std::vector<std::uint32_t>& cps, std::size_t& i, int base) {
  std::uint32_t value = 0;
  while (i < cps.size()) {
    const int digit = hexValue(cps[i]);
    if (digit < 0 || digit >= base) break;
    value = (value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit)) & 0xFFFF;
    ++i;
  }
  return value;
}

// The inverse of escapeValue; a ";" outside quotes starts a comment.
std::vector<std::uint32_t> unescapeValue(std::string_view raw) {
  const std::vector<std::uint32_t> cps = decodeUtf8(trim(raw));
  std::vector<std::uint32_t> out;
  bool quoted = false;
  std::size_t keepUntil = 0;  // length of out that ends in quoted or escaped text
  for (std::size_t i = 0; i < cps.size();) {
    const std::uint32_t c = cps[i++];
    if (c == '"') {
      quoted = !quoted;
      keepUntil = out.size();
    } else if (c == ';' && !quoted) {
      break;
    } else if (c == '\\' && i < cps.size()) {
      const std::uint32_t e = cps[i++];
      if (e == 'x') {
        out.push_back(readNumber(cps, i, 16));
      } else if (e >= '0' && e <= '7') {
        --i;
        out.push_back(readNumber(cps, i, 8));
      } else {
        out.push_back(simpleEscape(e));
      }
      keepUntil = out.size();
    } else {
      out.push_back(c);
      if (quoted) keepUntil = out.size();
    }
  }
  while (out.size() > keepUntil && (out.back() == ' ' || out.back() == '\t'))
    out.pop_back();
  return out;
}

bool startsWith(const std::vector<std::uint32_t>& cps, std::string_view prefix) {
  if (cps.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (cps[i] != static_cast<unsigned char>(prefix[i])) return false;
  }
  return true;
}

IniValue decodeValue(std::string_view raw) {
  const std::vector<std::uint32_t> cps = unescapeValue(raw);
  if (startsWith(cps, kByteArrayPrefix) && cps.back() == ')') {
    std::string bytes;
    for (std::size_t i = kByteArrayPrefix.size(); i + 1 < cps.size(); ++i) {
      const std::uint32_t c = cps[i] & ~kRawByte;
      bytes += static_cast<char>(c <= 0xFF ? c : '?');
    }
    return {IniValue::Kind::kBinary, bytes};
  }
  if (startsWith(cps, "@@")) return {IniValue::Kind::kText, encodeUtf8(cps).substr(1)};
  if (startsWith(cps, "@")) return {IniValue::Kind::kOpaque, std::string(trim(raw))};
  return {IniValue::Kind::kText, encodeUtf8(cps)};
}

std::string encodeValue(const IniValue& value) {
  switch (value.kind) {
    case IniValue::Kind::kOpaque:
      return value.data;
    case IniValue::Kind::kBinary: {
      std::vector<std::uint32_t> cps;
      for (const char c : kByteArrayPrefix)
        cps.push_back(static_cast<unsigned char>(c));
      for (const char c : value.data)
        cps.push_back(static_cast<unsigned char>(c));
      cps.push_back(')');
      return escapeValue(cps, false);
    }
    case IniValue::Kind::kText:
      break;
  }
  const std::string text = !value.data.empty() && value.data.front() == '@' ? '@' + value.data : value.data;
  return escapeValue(decodeUtf8(text), true);
}

// A section header: the group it opens ("" for the main key), or false when malformed.
bool parseSection(std::string_view line, std::string& group) {
  const std::size_t close = line.rfind(']');
  if (close == std::string_view::npos || close < 2) return false;
  const std::string_view name = line.substr(1, close - 1);
  if (name == kGeneral) {
    group.clear();
  } else if (name == "%General") {
    group = std::string(kGeneral);
  } else {
    group = unescapeKey(name);
  }
  return !trim(line.substr(close + 1)).size();
}

// A key path with an empty part ("X/", "/X", "A//B") names no value and could not be
// written back.
bool namesValue(const std::string& path) {
  return !path.empty() && path.front() != '/' && path.back() != '/' && path.find("//") == std::string::npos;
}

}  // namespace

IniDocument parseIni(std::string_view text) {
  IniDocument doc;
  std::string group;
  bool groupValid = true;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = trim(line);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      groupValid = parseSection(line, group);
      if (!groupValid) ++doc.malformedLines;
      continue;
    }
    const std::size_t equals = line.find('=');
    const std::string_view key = equals == std::string_view::npos ? std::string_view{} : trim(line.substr(0, equals));
    if (key.empty() || !groupValid) {
      ++doc.malformedLines;
      continue;
    }
    const std::string name = unescapeKey(key);
    IniEntry entry{group.empty() ? name : group + '/' + name, decodeValue(line.substr(equals + 1))};
    if (!namesValue(entry.path)) {
      ++doc.malformedLines;
      continue;
    }
    const std::string folded = text::upperAscii(entry.path);
    doc.entries.insert_or_assign(folded, std::move(entry));
  }
  return doc;
}

std::string formatIni(const IniEntries& entries) {
  // Section header -> its lines; the main key's section comes first.
  std::map<std::string, std::pair<std::string, std::string>> sections;
  for (const auto& [folded, entry] : entries) {
    const std::size_t slash = entry.path.find('/');
    const std::string group = slash == std::string::npos ? std::string{} : entry.path.substr(0, slash);
    const std::string key = slash == std::string::npos ? entry.path : entry.path.substr(slash + 1);
    const std::string header = group.empty()       ? "[General]"
                               : group == kGeneral ? "[%General]"
                                                   : '[' + escapeKey(group) + ']';
    auto& section = sections[group.empty() ? std::string{} : text::upperAscii(group) + ' '];
    section.first = header;
    section.second += escapeKey(key) + '=' + encodeValue(entry.value) + '\n';
  }
  std::string out;
  for (const auto& [order, section] : sections) {
    if (!out.empty()) out += '\n';
    out += section.first + '\n' + section.second;
  }
  return out;
}

}  // namespace volta::platform::settings
