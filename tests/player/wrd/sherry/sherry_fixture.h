#pragma once
// The processor on an in-memory display with a tiny face, and a screen that records its calls.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/wrd/sherry/process_wrd.h"
#include "tests/player/wrd/sherry/sherry_writer.h"

namespace volta::wrd::sherry::test {

// 'A' has its top row set, U+3042 (Shift JIS 82A0) its left column; everything else is blank.
std::shared_ptr<const UnifontFace> sherryTestFace();

// Remembers what the processor asked of the window, in order.
class RecordingScreen final : public SVScreen {
 public:
  void refresh() override { calls.push_back("refresh"); }
  void showRect(const SVirtualScreen&, const SShownRect& r) override {
    calls.push_back("rect " + std::to_string(r.destX) + "," + std::to_string(r.destY));
  }
  void setColours(const SPalette& palette) override { calls.push_back("colours " + std::to_string(palette[1].red)); }
  GlyphRows doubleByteGlyph(std::uint16_t) override { return {}; }
  GlyphRows singleByteGlyph(std::uint8_t) override { return {}; }

  std::vector<std::string> calls;
};

class SherryTest : public ::testing::Test {
 protected:
  SherryTest();

  // Opens the script and resets it; false when either failed.
  bool load(const SherryWriter& writer);
  // The message of the error that ended the script after loading and processing up to `time`.
  std::string errorAfter(const SherryWriter& writer, std::int64_t time = 1);
  SVirtualScreen& screen(int id);
  SPalette& palette(int id);

  SDisplay display;
  SProcessWRD processor;
  std::vector<std::string> errors;
  std::filesystem::path directory;
};

// A writer whose initialisation creates palette 1 and screen 1 (width x height, fill 0).
SherryWriter withScreen(int width = 16, int height = 16, int fill = 0);

// Offset of the next body event of `writer`: what error messages name.
std::size_t nextEventOffset(const SherryWriter& writer);
// The offset as messages write it: eight upper-case hexadecimal digits.
std::string hex8(std::size_t offset);

}  // namespace volta::wrd::sherry::test
