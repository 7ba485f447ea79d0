#include "player/shell/panel/string_table.h"

#include <gtest/gtest.h>

#include <set>

#include "player/shell/panel/about_text.h"

namespace volta::shell {
namespace {

TEST(StringTable, EveryIdentifierIsEvenUniqueAndFilledInBothLanguages) {
  std::set<int> seen;
  for (const TextPair& pair : textPairs()) {
    EXPECT_EQ(pair.id % 2, 0) << pair.id;
    EXPECT_TRUE(seen.insert(pair.id).second) << pair.id;
    EXPECT_FALSE(pair.japanese.empty()) << pair.id;
    EXPECT_FALSE(pair.english.empty()) << pair.id;
  }
}

TEST(StringTable, TheLanguageIsAddedToTheIdentifier) {
  for (const TextPair& pair : textPairs()) {
    EXPECT_EQ(text(pair.id, kJapanese), pair.japanese);
    EXPECT_EQ(text(pair.id, kEnglish), pair.english);
    EXPECT_EQ(text(pair.id + 1, kJapanese), pair.english);  // the odd identifier is the English text
  }
  EXPECT_EQ(text(text_id::kListFont, kJapanese), "ＭＳ Ｐゴシック");
  EXPECT_EQ(text(text_id::kListFont, kEnglish), "MS Sans Serif");
  EXPECT_EQ(text(20101, kJapanese), "Courier New");
  EXPECT_EQ(text(text_id::kNoSongs, kJapanese), "ERROR: 曲がありません");
  EXPECT_EQ(text(text_id::kPageLiquid, kEnglish), "Like liquid");
  EXPECT_EQ(text(7, kJapanese), "");
}

TEST(StringTable, FiltersBecomeQtFiltersInBothCases) {
  EXPECT_EQ(qtFileFilter(text(text_id::kTorFilter, kJapanese)), "リストファイル (*.tor *.TOR)");
  EXPECT_EQ(qtFileFilter(text(text_id::kAlbumFilter, kEnglish)),
            "VOLTA List file(*.TOR,*.TO2) (*.tor *.TOR *.to2 *.TO2)");
  EXPECT_EQ(qtFileFilter("A|*.mid|All|*|"), "A (*.mid *.MID);;All (*)");
  EXPECT_EQ(qtFileFilter("No patterns"), "");
  EXPECT_EQ(qtFileFilter("Open end|*.x"), "Open end (*.x *.X)");
  const std::string wave = qtFileFilter(text(text_id::kOpenFilterWithWave, kEnglish));
  EXPECT_NE(wave.find("*.wav"), std::string::npos);
  EXPECT_EQ(qtFileFilter(text(text_id::kOpenFilter, kEnglish)).find("*.wav"), std::string::npos);
}

TEST(AboutText, VersionAndOneLinePerLibrary) {
  AboutInfo info;
  info.fullScreenDepth = 32;
  info.lzh = LibraryVersion{1, 52, {}};
  info.dvConverter = LibraryVersion{0, 9, "beta"};
  info.engine = "voltant 2.3";
  const auto lines = aboutLines(info, kEnglish);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "Version 2.3 rel.11");
  EXPECT_EQ(lines[1], "Full screen: available, 32 bpp");
  EXPECT_EQ(lines[2], "LZH archive library Ver.1.52");
  EXPECT_EQ(lines[3], "SMFK32: not found");
  EXPECT_EQ(lines[4], "DV converter Ver.0.9 beta");
  EXPECT_EQ(lines[5], "Sequence engine: voltant 2.3");
  const auto japanese = aboutLines(AboutInfo{}, kJapanese);
  ASSERT_EQ(japanese.size(), 5u);  // no engine line without an engine
  EXPECT_EQ(japanese[0], "Version 2.3 rel.11");
  EXPECT_EQ(japanese[1], "全画面表示: 使用できません");
}

}  // namespace
}  // namespace volta::shell
