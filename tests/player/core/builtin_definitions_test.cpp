#include "player/core/builtin_definitions.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "player/core/byte_text.h"
#include "tests/support/test_support.h"

namespace volta::core {
namespace {

std::vector<std::string> words(std::string_view text) {
  std::istringstream in{std::string(text)};
  std::vector<std::string> out;
  for (std::string word; in >> word;)
    out.push_back(word);
  return out;
}

class BuiltInDefinitions : public ::testing::Test {
 protected:
  void SetUp() override { loadModuleDefinitions(store_, {}); }

  std::vector<TINIValues::Entry> entries(std::string_view section) const {
    auto guard = store_.lock();
    const TINIValues* values = store_.findSection(section);
    return values ? values->entries() : std::vector<TINIValues::Entry>{};
  }
  bool hasSection(std::string_view name) const { return store_.findSection(name) != nullptr; }
  std::set<std::string> modules() const {
    std::set<std::string> ids;
    for (const char* index : {"moduleindex", "tdfindex"}) {
      for (const auto& entry : entries(index))
        ids.emplace(entry.key);
    }
    return ids;
  }

  TINICritical store_;
};

TEST_F(BuiltInDefinitions, TextsComeInTheirLoadOrderAndEveryLineIsWellFormed) {
  std::vector<int> ids;
  // A line is blank, a comment, a section header or key=value with a key free of blanks.
  const std::regex wellFormed(R"(^(|;.*|\[[^\]]+\]|[^=\s;#\[][^=\s]*=.*)$)");
  for (const BuiltInText& text : builtInDefinitionTexts()) {
    ids.push_back(text.resourceId);
    std::istringstream in{std::string(text.text)};
    int number = 0;
    for (std::string line; std::getline(in, line);) {
      ++number;
      EXPECT_TRUE(std::regex_match(line, wellFormed)) << text.fileName << ":" << number << ": " << line;
      EXPECT_TRUE(line.empty() || line.back() != ' ') << text.fileName << ":" << number << " ends in a blank";
    }
    // The embedded bytes are the resource file's.
    EXPECT_EQ(test::readText(test::sourceDir() / "player/resources/modules" / std::string(text.fileName)), text.text);
  }
  EXPECT_EQ(ids, (std::vector<int>{11000, 11010, 11011, 11012, 11005}));
}

TEST_F(BuiltInDefinitions, EveryModuleHasItsInstrumentsBackLightAndConversions) {
  const auto ids = modules();
  ASSERT_GE(ids.size(), 14u);
  const std::set<std::string> colourNames{"ROLAND", "YAMAHA", "OTHER", "KORG"};
  for (const std::string& id : ids) {
    const std::string table = store_.getValue("InstrumentMap", id);
    EXPECT_TRUE(hasSection(table)) << id << " -> " << table;
    const std::string colour = upperAscii(store_.getValue("LiquidBackLight", id));
    EXPECT_TRUE(colourNames.count(colour) || colour.starts_with("0X")) << id << " -> " << colour;
    for (const std::string& song : ids) {
      const std::string pair = store_.resolveAlias(id) + ":" + store_.resolveAlias(song);
      const std::string sections = store_.getValue("convindex", pair);
      ASSERT_FALSE(sections.empty()) << pair;
      for (const std::string& section : words(sections))
        EXPECT_TRUE(hasSection(section)) << pair << " " << section;
    }
  }
  for (const auto& entry : entries("filterindex"))
    EXPECT_TRUE(hasSection(entry.key)) << entry.key;
  for (const auto& entry : entries("alias"))
    EXPECT_TRUE(ids.count(std::string(entry.value))) << entry.key;
  for (const auto& entry : entries("keyword")) {
    if (entry.key == "length" || entry.key == "delimiter") continue;
    EXPECT_TRUE(ids.count(store_.resolveAlias(entry.value))) << entry.key << " -> " << entry.value;
  }
}

TEST_F(BuiltInDefinitions, CommandSectionsNameWhatExists) {
  const std::regex byte(R"(\$[0-9A-Fa-f]{2}|[0-9]{1,3})");
  const auto checkMessage = [&](std::string_view text, std::string_view where) {
    for (const std::string& token : words(text)) {
      if (token.starts_with("M:") || token.starts_with("C:")) {
        EXPECT_FALSE(store_.getValue("midimessage", token.substr(2)).empty()) << where << " " << token;
      } else if (token.starts_with("W:") || token.starts_with("R:")) {
        EXPECT_TRUE(parseDecimal(token.substr(2))) << where << " " << token;
      } else {
        EXPECT_TRUE(std::regex_match(token, byte)) << where << " " << token;
      }
    }
  };
  for (const auto& entry : entries("midimessage"))
    checkMessage(entry.value, entry.key);
  const std::regex patchHalf(R"((\*|[0-9]{1,3}):(\*|[0-9]{1,3}):(\*|[0-9]{1,3}))");
  for (const auto& conversion : entries("convindex")) {
    for (const std::string& name : words(conversion.value)) {
      for (const auto& key : {"MIDI", "MIDI_A", "MIDI_B", "MIDI_C"})
        checkMessage(store_.getValue(name, key), name);
      for (const std::string& base : words(store_.getValue(name, "BaseSection")))
        EXPECT_TRUE(hasSection(base)) << base;
      for (const std::string& map : words(store_.getValue(name, "PatchMap"))) {
        ASSERT_TRUE(hasSection(map)) << map;
        for (const auto& patch : entries(map)) {
          std::string source(patch.key);
          if (source.starts_with("DM:")) source.erase(0, 3);
          EXPECT_TRUE(std::regex_match(source, patchHalf)) << map << " " << patch.key;
          EXPECT_TRUE(std::regex_match(std::string(patch.value), patchHalf)) << map << " " << patch.value;
        }
      }
    }
  }
}

TEST_F(BuiltInDefinitions, InstrumentTablesUseTheKeyGrammar) {
  const std::regex key(R"((DM:)?(\*|[0-9]{3})-(\*|[0-9]{3})-[0-9]{3}|(MSB|LSB)-[0-9]{3}|Type|InstLink|Head)");
  for (const char* table : {"Instrument-SC88", "Instrument-SC88PRO", "Instrument-SC55", "Instrument-CM",
                            "Instrument-XG", "Instrument-05R/W", "Instrument-GM"}) {
    ASSERT_TRUE(hasSection(table)) << table;
    const auto list = entries(table);
    for (const auto& entry : list) {
      EXPECT_TRUE(std::regex_match(std::string(entry.key), key)) << table << " " << entry.key;
      EXPECT_FALSE(entry.value.empty()) << table << " " << entry.key;
    }
    const auto links = words(store_.getValue(table, "InstLink"));
    ASSERT_FALSE(links.empty()) << table;
    EXPECT_EQ(links.front(), table);  // itself first
    for (const std::string& link : links)
      EXPECT_TRUE(hasSection(link)) << link;
    EXPECT_TRUE(std::set<std::string>({"NORMAL", "ROLAND", "YAMAHA"}).count(store_.getValue(table, "Type"))) << table;
  }
}

TEST_F(BuiltInDefinitions, WellKnownInstrumentNames) {
  int gmPrograms = 0;
  for (const auto& entry : entries("Instrument-GM"))
    gmPrograms += entry.key.starts_with("*-*-");
  EXPECT_EQ(gmPrograms, 128);
  EXPECT_EQ(store_.getValue("Instrument-GM", "*-*-001"), "Acoustic Grand Piano");
  EXPECT_EQ(store_.getValue("Instrument-GM", "*-*-128"), "Gunshot");
  EXPECT_EQ(store_.getValue("Instrument-SC55", "*-000-001"), "Piano 1");
  EXPECT_EQ(store_.getValue("Instrument-SC55", "*-008-001"), "Piano 1w");
  EXPECT_EQ(store_.getValue("Instrument-SC55", "*-008-015"), "Church Bell");
  const std::vector<std::pair<const char*, const char*>> gsDrums{
      {"001", "STANDARD"}, {"009", "ROOM"},  {"017", "POWER"},     {"025", "ELECTRONIC"}, {"026", "TR-808"},
      {"033", "JAZZ"},     {"041", "BRUSH"}, {"049", "ORCHESTRA"}, {"057", "SFX"},        {"128", "CM-64/CM-32L"}};
  for (const auto& [program, name] : gsDrums) {
    EXPECT_EQ(store_.getValue("Instrument-SC55", std::string("DM:*-*-") + program), name) << program;
  }
  EXPECT_EQ(store_.getValue("Instrument-SC88", "DM:*-*-001"), "STANDARD 1");
  EXPECT_EQ(store_.getValue("Instrument-SC88PRO", "DM:*-*-031"), "TR-909");
  EXPECT_EQ(store_.getValue("Instrument-XG", "000-000-001"), "GrandPno");
  EXPECT_EQ(store_.getValue("Instrument-XG", "040-000-001"), "PianoStr");  // an XG variation in bank MSB 0
  EXPECT_EQ(store_.getValue("Instrument-XG", "DM:*-127-001"), "Standard Kit");
  EXPECT_EQ(store_.getValue("Instrument-CM", "*-*-001"), "AcouPiano1");
  EXPECT_EQ(store_.getValue("Instrument-CM", "*-*-128"), "JungleTune");
}

TEST_F(BuiltInDefinitions, AliasesResolveTheGreetingPair) {
  // "SC-55" with a "GS" song resolves to "SC-55:SC-55", whose section sends the GS reset.
  const std::string pair = store_.resolveAlias("SC-55") + ":" + store_.resolveAlias("gs");
  EXPECT_EQ(pair, "SC-55:SC-55");
  const std::string sections = store_.getValue("convindex", pair);
  bool sendsReset = false;
  for (const std::string& name : words(sections))
    sendsReset |= store_.getValue(name, "MIDI").find("M:GSReset") != std::string::npos;
  EXPECT_TRUE(sendsReset) << sections;
  EXPECT_EQ(store_.getValue("midimessage", "GSReset"), "$F0 $41 $10 $42 $12 $40 $00 $7F $00 $41 $F7");
  EXPECT_EQ(store_.resolveAlias("sc-88pro"), "sc-88pro");  // an id itself has no alias
  EXPECT_FALSE(store_.getValue("convindex", "SC-88PRO:sc-88pro").empty());
}

TEST(BuiltInDefinitionsUserFile, UserFileExtendsAndOverrides) {
  test::TempDir dir;
  std::ofstream(dir / "user.def") << "[keyword]\nlength=4096\n[alias]\nMYMODULE=MU80\n[moduleindex]\nTHRU=Mine\n";
  TINICritical store;
  loadModuleDefinitions(store, dir / "user.def");
  EXPECT_EQ(store.getInteger("keyword", "length", 0), 4096);
  EXPECT_EQ(store.getValue("keyword", "SC-88PRO"), "SC-88PRO");  // the built-in patterns stay
  EXPECT_EQ(store.resolveAlias("mymodule"), "MU80");
  EXPECT_EQ(store.getValue("moduleindex", "THRU"), "Mine");
  {
    auto guard = store.lock();
    EXPECT_EQ(store.findSection("moduleindex")->entries().front().key, "THRU");  // replaced in place
  }
  loadModuleDefinitions(store, dir / "missing.def");  // a reload starts afresh; a missing user file adds nothing
  EXPECT_NE(store.getInteger("keyword", "length", 0), 4096);
  EXPECT_EQ(store.resolveAlias("mymodule"), "mymodule");
}

}  // namespace
}  // namespace volta::core
