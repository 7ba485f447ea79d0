#pragma once
// Choosing a song's module: the module given by its TDF file or play-list entry,
// else the first keyword of the module definitions found as a word of the song's
// path, title and document, else the default module.

#include <string>
#include <string_view>

#include "player/core/module_definitions.h"

namespace volta::core {

struct DetectionInput {
  std::string_view songPath;
  std::string_view title;
  std::string_view document;       // empty when the song has none
  std::string_view givenModule;    // from the TDF file or the entry; empty when unknown
  std::string_view defaultModule;  // the "DefaultModule" setting
  bool autoScan = true;            // the "AutoScan" setting
};

struct Detection {
  std::string module;
  std::string marker;  // "*" when the module was detected by a keyword
};

Detection detectModule(const TINICritical& store, const DetectionInput& input);

// The text's first `length` bytes with separators turned into spaces (Shift-JIS
// aware): blanks, CR, LF, 0x1A, the full-width space and the delimiter's characters.
std::string normaliseForKeywords(std::string_view text, std::size_t length, std::string_view delimiter);

}  // namespace volta::core
