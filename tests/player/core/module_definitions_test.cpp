#include "player/core/module_definitions.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/test_support.h"

namespace volta::core {
namespace {

void writeText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::pair<std::string, std::string>> entriesOf(const TINICritical& store, std::string_view section) {
  auto guard = store.lock();
  std::vector<std::pair<std::string, std::string>> out;
  if (const TINIValues* values = store.findSection(section)) {
    for (const auto& entry : values->entries())
      out.emplace_back(entry.key, entry.value);
  }
  return out;
}

using Entries = std::vector<std::pair<std::string, std::string>>;

TEST(ModuleDefinitionSyntax, KeysValuesCommentsAndDirectives) {
  TINICritical store;
  store.loadText(
      "before=ignored\n"
      "[s]\r\n"
      "; comment=no\n"
      "#pragma whatever=no\n"
      "  key  =  value with trailing blanks  \r\n"
      "noequals\n"
      "first second=2\n"
      "empty=\n"
      "=novalue\n"
      "\tindented=yes\n",
      {});
  EXPECT_EQ(entriesOf(store, "s"),
            (Entries{{"key", "value with trailing blanks  "}, {"second", "2"}, {"empty", ""}, {"indented", "yes"}}));
  EXPECT_EQ(store.findSection("before"), nullptr);
}

TEST(ModuleDefinitionSyntax, ReplacingAKeyKeepsItsPlaceAndKeysIgnoreCase) {
  TINICritical store;
  store.loadText("[alias]\ngs=SC-55\nxg=MU50\nGS=SC-88\n", {});
  EXPECT_EQ(entriesOf(store, "alias"), (Entries{{"gs", "SC-88"}, {"xg", "MU50"}}));
  EXPECT_EQ(store.getValue("alias", "GS"), "SC-88");
  EXPECT_EQ(store.resolveAlias("Xg"), "MU50");
  EXPECT_EQ(store.resolveAlias("SC-8850"), "SC-8850");
}

TEST(ModuleDefinitionSyntax, SectionsContinueAcrossTextsWhateverTheirCase) {
  TINICritical store;
  store.loadText("[keyword]\nlength=100\nGS=GS\n", {});
  store.loadText("[Keyword]\nlength=4096\nXG=XG\n", {});
  EXPECT_EQ(entriesOf(store, "keyword"), (Entries{{"length", "4096"}, {"GS", "GS"}, {"XG", "XG"}}));
  store.clear();
  EXPECT_EQ(store.findSection("keyword"), nullptr);
}

TEST(ModuleDefinitionSyntax, ManyKeysStayFindableAndInOrder) {
  std::string text = "[big]\n";
  for (int i = 0; i < 500; ++i)
    text += "K" + std::to_string(i) + "=" + std::to_string(i * 3) + "\n";
  TINICritical store;
  store.loadText(text, {});
  for (int i = 0; i < 500; ++i)
    ASSERT_EQ(store.getInteger("big", "k" + std::to_string(i), -1), i * 3);
  auto guard = store.lock();
  const auto& entries = store.findSection("big")->entries();
  ASSERT_EQ(entries.size(), 500u);
  EXPECT_EQ(entries[123].key, "K123");
}

TEST(ModuleDefinitionSyntax, IntegersAndDefaults) {
  TINICritical store;
  store.loadText("[n]\na=12abc\nb=abc\nc= -5\nd=99999999999\n", {});
  EXPECT_EQ(store.getInteger("n", "a", 0), 12);
  EXPECT_EQ(store.getInteger("n", "b", 7), 7);
  EXPECT_EQ(store.getInteger("n", "c", 0), -5);
  EXPECT_EQ(store.getInteger("n", "d", 0), INT_MAX);
  EXPECT_EQ(store.getInteger("n", "missing", 3), 3);
  EXPECT_EQ(store.getInteger("missing", "a", 4), 4);
  EXPECT_EQ(store.getValue("missing", "a", "dflt"), "dflt");
}

TEST(ModuleDefinitionFiles, IncludeIsReadAtItsLineFromTheIncludingFilesFolder) {
  test::TempDir dir;
  writeText(dir / "d" / "main.def", "[s]\na=main\n#include part.def\nc=main\n");
  writeText(dir / "d" / "part.def", "[s]\na=part\nb=part\nc=part\n[t]\nx=1\n");
  writeText(dir / "part.def", "[s]\nb=wrong folder\n");
  TINICritical store;
  ASSERT_TRUE(store.loadFile(dir / "d" / "main.def"));
  EXPECT_EQ(entriesOf(store, "s"), (Entries{{"a", "part"}, {"b", "part"}, {"c", "main"}}));
  EXPECT_EQ(store.getValue("t", "x"), "1");
}

TEST(ModuleDefinitionFiles, IncludeNamesFromWindowsFindTheirFiles) {
  test::TempDir dir;
  writeText(dir / "main.def", "[s]\n#INCLUDE   sub\\Part.DEF\n");
  writeText(dir / "sub" / "part.def", "[s]\nfound=yes\n");
  TINICritical store;
  ASSERT_TRUE(store.loadFile(dir / "main.def"));
  EXPECT_EQ(store.getValue("s", "found"), "yes");
}

TEST(ModuleDefinitionFiles, IncludeCyclesAndMissingFilesEndQuietly) {
  test::TempDir dir;
  writeText(dir / "self.def", "[s]\n#include self.def\ncount=1\n#include other.def\n#include missing.def\n");
  writeText(dir / "other.def", "[o]\n#include self.def\n#include other.def\nseen=1\n");
  TINICritical store;
  ASSERT_TRUE(store.loadFile(dir / "self.def"));
  EXPECT_EQ(entriesOf(store, "s"), (Entries{{"count", "1"}}));
  EXPECT_EQ(store.getValue("o", "seen"), "1");
  EXPECT_FALSE(store.loadFile(dir / "missing.def"));
}

TEST(ModuleDefinitionFiles, IncludesOfFoldersAndOddNamesAddNothing) {
  test::TempDir dir;
  std::filesystem::create_directories(dir / "sub");
  writeText(dir / "main.def", std::string("[s]\n#include .\n#include sub\n#include \0\0x.def\nafter=1\n", 53));
  TINICritical store;
  ASSERT_TRUE(store.loadFile(dir / "main.def"));
  EXPECT_EQ(entriesOf(store, "s"), (Entries{{"after", "1"}}));
  EXPECT_FALSE(store.loadFile(dir / "sub"));
}

TEST(ModuleDefinitionFiles, FanOutOfIncludesIsBounded) {
  test::TempDir dir;
  // Each level includes the next one ten times: unbounded, that is 10^12 loads.
  for (int level = 0; level < 12; ++level) {
    std::string text = "[s]\nlevel" + std::to_string(level) + "=1\n";
    for (int i = 0; i < 10; ++i)
      text += "#include " + std::to_string(level + 1) + ".def\n";
    writeText(dir / (std::to_string(level) + ".def"), text);
  }
  TINICritical store;
  ASSERT_TRUE(store.loadFile(dir / "0.def"));
  EXPECT_EQ(store.getValue("s", "level11"), "1");
}

TEST(ModuleDefinitionFiles, ValuesOutliveLaterLoads) {
  TINICritical store;
  store.loadText("[s]\nkept=first text\n", {});
  std::string_view view;
  {
    auto guard = store.lock();
    view = *store.findSection("s")->find("kept");
  }
  for (int i = 0; i < 100; ++i)
    store.loadText("[s]\nother" + std::to_string(i) + "=" + std::string(1000, 'x') + "\n", {});
  EXPECT_EQ(view, "first text");
}

}  // namespace
}  // namespace volta::core
