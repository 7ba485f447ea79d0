#pragma once
// The INI text of the settings file, in the layout QSettings uses for its INI
// format: values of the main key in "[General]", one section per sub-key, keys
// and section names percent-escaped, strings C-escaped and quoted when needed,
// byte arrays as "@ByteArray(...)". Reading is tolerant: a line that does not
// parse is skipped and counted, so one bad line never costs the other values.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace volta::platform::settings {

struct IniValue {
  enum class Kind { kText, kBinary, kOpaque };
  Kind kind = Kind::kText;
  // kText: the decoded text; kBinary: the bytes; kOpaque: the raw value text of a
  // type this store does not read ("@Variant(...)" and the like), written back as it was.
  std::string data;
};

// A value's place: its path of sub-key names below the main key, joined by "/",
// then "/" and the value name (just the value name for the main key).
struct IniEntry {
  std::string path;
  IniValue value;
};

// Entries keyed by the upper-cased path: names ignore case as the registry's do,
// while each entry keeps the spelling it was created with.
using IniEntries = std::map<std::string, IniEntry>;

struct IniDocument {
  IniEntries entries;
  std::size_t malformedLines = 0;
};

IniDocument parseIni(std::string_view text);
std::string formatIni(const IniEntries& entries);

}  // namespace volta::platform::settings
