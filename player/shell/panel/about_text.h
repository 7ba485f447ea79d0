#pragma once
// What the about box says: the version, a line for each outside library found, and
// the engine library in use.

#include <optional>
#include <string>
#include <vector>

namespace volta::shell {

struct LibraryVersion {
  int major = 0;
  int minor = 0;
  std::string detail;  // the DV converter's own text
};

struct AboutInfo {
  std::optional<int> fullScreenDepth;  // bits per pixel of the full-screen display, when it can be used
  std::optional<LibraryVersion> lzh;
  std::optional<LibraryVersion> smfKnife;
  std::optional<LibraryVersion> dvConverter;
  std::string engine;  // description of the engine library in use; empty when none is bound
};

// UTF-8 lines in a language: the version first.
std::vector<std::string> aboutLines(const AboutInfo& info, int language);

}  // namespace volta::shell
