#include "player/core/module_detection.h"

#include <gtest/gtest.h>

#include "player/core/builtin_definitions.h"

namespace volta::core {
namespace {

class ModuleDetection : public ::testing::Test {
 protected:
  ModuleDetection() { loadModuleDefinitions(builtIn_, {}); }
  Detection detect(std::string_view path, std::string_view title, std::string_view document = {},
                   std::string_view given = {}, bool autoScan = true) const {
    return detectModule(builtIn_, {path, title, document, given, "THRU", autoScan});
  }
  TINICritical builtIn_;
};

TEST_F(ModuleDetection, BuiltInKeywordsIgnoreCase) {
  const Detection pro = detect("/music/song.mid", "Theme (SC-88Pro)");
  EXPECT_EQ(pro.module, "SC-88PRO");
  EXPECT_EQ(pro.marker, "*");
  EXPECT_EQ(detect("/music/song.mid", "for 88 owners").module, "SC-88");
  EXPECT_EQ(detect("/music/mu80/song.mid", "").module, "MU80");  // folder names are words too
  EXPECT_EQ(detect("/music/song.mid", "", "\r\n  GS format\r\n").module, "GS");
}

TEST_F(ModuleDetection, FirstWordThatMatchesWins) {
  EXPECT_EQ(detect("/x/song.mid", "XG version", "Written for SC-88").module, "XG");
  EXPECT_EQ(detect("/x/song.mid", "SC-8850", "").module, "SC-8850");
  EXPECT_EQ(detect("/x/song.mid", "SC-88PROFESSIONAL").module, "THRU");  // whole words only
}

TEST_F(ModuleDetection, GivenModuleOrDefault) {
  // A TDF file's module overrides what the documents say.
  const Detection given = detect("/x/song.mid", "SC-88Pro", "SC-88", "MU80");
  EXPECT_EQ(given.module, "MU80");
  EXPECT_EQ(given.marker, "");
  const Detection none = detect("/x/song.mid", "nothing here");
  EXPECT_EQ(none.module, "THRU");
  EXPECT_EQ(none.marker, "");
  // With detection off the default module stands even against a TDF file.
  EXPECT_EQ(detect("/x/song.mid", "SC-88Pro", "", "MU80", false).module, "THRU");
}

TEST(ModuleDetectionLimits, KeywordsBeyondTheLengthAreNotSeen) {
  TINICritical store;
  store.loadText("[keyword]\nlength=20\nSC-55=SC-55\nSC-88PRO=SC-88PRO\nSC-88=SC-88\n", {});
  // The song path alone is the search text here.
  const auto detect = [&](std::string_view text) { return detectModule(store, {text, {}, {}, {}, "GM", true}).module; };
  EXPECT_EQ(detect("0123456789012 SC-55"), "SC-55");        // within the first 20 bytes
  EXPECT_EQ(detect("01234567890123456 SC-55"), "GM");       // starts inside, ends outside
  EXPECT_EQ(detect("01234567890123 SC-88PRO"), "GM");       // "SC-88" is only the part inside
  EXPECT_EQ(detect("0123456789012345678901 SC-55"), "GM");  // wholly beyond
}

TEST(ModuleDetectionLimits, ShiftJisSeparatorsAndDelimiters) {
  TINICritical store;
  // Delimiters: "!", "\\" and the full-width comma 81 41.
  store.loadText("[keyword]\ndelimiter=!\\\x81\x41\nGS=SC-55\n\x83\x5C=SOFT\n", {});
  const auto detect = [&](std::string_view text) { return detectModule(store, {text, {}, {}, {}, "GM", true}).module; };
  EXPECT_EQ(detect("x\x81\x40GS"), "SC-55");    // full-width space
  EXPECT_EQ(detect("x\x81\x41gs!y"), "SC-55");  // double-byte and single-byte delimiters
  EXPECT_EQ(detect("\x83\x5C\tz"), "SOFT");     // a trail byte 5C is not a separator
  EXPECT_EQ(normaliseForKeywords("a\x81\x41\x83\x5C\x1A", 100, "\x81\x41"), "a  \x83\x5C ");
}

}  // namespace
}  // namespace volta::core
