#include "player/core/builtin_definitions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "platform/text.h"
#include "tests/support/test_support.h"

namespace volta::core {

using platform::text::upperAscii;

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

// The performance monitor's reading of an instrument table: the sections of "InstLink" in turn,
// in each the exact bank, then any LSB, then any MSB, then any bank, then the catch-all.
struct Bank {
  int lsb = 0;
  int msb = 0;
};

std::string threeDigits(int value) {
  char text[4];
  std::snprintf(text, sizeof text, "%03d", value);
  return text;
}

std::string instrumentName(const TINICritical& store, std::string_view table, Bank bank, int program,
                           bool rhythm = false) {
  std::string links = store.getValue(table, "InstLink");
  if (links.empty()) links = table;
  const std::string prefix = rhythm ? "DM:" : "";
  const std::string lsb = threeDigits(bank.lsb), msb = threeDigits(bank.msb), number = threeDigits(program);
  for (const std::string& section : words(links)) {
    for (const std::string& key : {lsb + "-" + msb + "-" + number, "*-" + msb + "-" + number, lsb + "-*-" + number,
                                   "*-*-" + number, std::string("*-*-*")}) {
      std::string name = store.getValue(section, prefix + key);
      if (!name.empty()) return name;
    }
  }
  return "-------------";
}

constexpr const char* kRolandTables[] = {"Instrument-SC88", "Instrument-SC88PRO", "Instrument-SC55"};

TEST_F(BuiltInDefinitions, EveryBuiltInSectionSetsEachKeyOnce) {
  // A repeated key would silently replace the first name, so each must be written once.
  for (const BuiltInText& text : builtInDefinitionTexts()) {
    std::istringstream in{std::string(text.text)};
    std::string section;
    std::set<std::string> seen;
    for (std::string line; std::getline(in, line);) {
      if (line.starts_with("[")) {
        section = line;
        seen.clear();
      } else if (const auto equals = line.find('='); !line.starts_with(";") && equals != std::string::npos) {
        EXPECT_TRUE(seen.insert(upperAscii(line.substr(0, equals))).second)
            << text.fileName << " " << section << " " << line;
      }
    }
  }
}

TEST_F(BuiltInDefinitions, ToneNamesFitTheModulesDisplays) {
  const std::regex toneKey(R"((\*|[0-9]{3})-(\*|[0-9]{3})-[0-9]{3})");
  const auto checkWidth = [&](const char* table, std::size_t width) {
    for (const auto& entry : entries(table)) {
      if (!std::regex_match(std::string(entry.key), toneKey)) continue;
      EXPECT_LE(entry.value.size(), width) << table << " " << entry.key << "=" << entry.value;
      EXPECT_NE(entry.value.front(), ' ') << table << " " << entry.key;
    }
  };
  for (const char* table : kRolandTables)
    checkWidth(table, 12);
  checkWidth("Instrument-CM", 10);
  checkWidth("Instrument-XG", 8);
}

TEST_F(BuiltInDefinitions, OlderMapNamesStandBesideTheNewerOnes) {
  // A name under LSB 1, 2 or 4 tells how another map names a place the table itself names under "*";
  // without that "*" entry it would never be read before the linked tables.
  const std::regex mapKey(R"((DM:)?(00[124])-(\*|[0-9]{3})-([0-9]{3}))");
  for (const char* table : kRolandTables) {
    for (const auto& entry : entries(table)) {
      std::smatch match;
      const std::string key(entry.key);
      if (!std::regex_match(key, match, mapKey)) continue;
      const std::string general = match[1].str() + "*-" + match[3].str() + "-" + match[4].str();
      EXPECT_FALSE(store_.getValue(table, general).empty()) << table << " " << key;
      EXPECT_NE(store_.getValue(table, general), entry.value) << table << " " << key;
    }
  }
}

TEST_F(BuiltInDefinitions, GsMapsNameTheirOwnTones) {
  struct Case {
    const char* table;
    Bank bank;
    int program;
    const char* name;
  };
  const Case cases[] = {
      // SC-88Pro: its own map by LSB 0 or 3, the older maps by LSB 1 and 2.
      {"Instrument-SC88PRO", {0, 8}, 1, "Piano 1w"},
      {"Instrument-SC88PRO", {3, 16}, 1, "European Pf"},
      {"Instrument-SC88PRO", {2, 16}, 1, "Piano 1d"},
      {"Instrument-SC88PRO", {1, 16}, 1, "Piano 1d"},
      {"Instrument-SC88PRO", {0, 8}, 5, "St.Soft EP"},
      {"Instrument-SC88PRO", {2, 8}, 5, "St.Soft EP"},
      {"Instrument-SC88PRO", {1, 8}, 5, "Detuned EP 1"},
      {"Instrument-SC88PRO", {0, 24}, 5, "Wurly"},
      {"Instrument-SC88PRO", {2, 24}, 5, "60's E.Piano"},
      {"Instrument-SC88PRO", {0, 8}, 17, "Trem. Organ"},
      {"Instrument-SC88PRO", {1, 8}, 17, "Detuned Or.1"},
      {"Instrument-SC88PRO", {0, 16}, 26, "Mandolin"},
      {"Instrument-SC88PRO", {0, 16}, 39, "Reso SH Bass"},
      {"Instrument-SC88PRO", {0, 0}, 41, "Violin    :"},
      {"Instrument-SC88PRO", {2, 0}, 41, "Violin"},
      {"Instrument-SC88PRO", {0, 8}, 49, "Orchestra"},
      {"Instrument-SC88PRO", {0, 16}, 49, "St. Strings"},
      {"Instrument-SC88PRO", {0, 8}, 82, "Doctor Solo"},
      {"Instrument-SC88PRO", {0, 16}, 99, "Choral Bells"},
      {"Instrument-SC88PRO", {0, 8}, 121, "Gt. FX Menu"},
      {"Instrument-SC88PRO", {0, 127}, 1, "AcouPiano1"},
      // SC-88: its own map, the SC-55 map by LSB 1.
      {"Instrument-SC88", {0, 8}, 5, "St.Soft EP"},
      {"Instrument-SC88", {1, 8}, 5, "Detuned EP 1"},
      {"Instrument-SC88", {0, 1}, 39, "SynthBass101"},
      {"Instrument-SC88", {0, 0}, 61, "French Horns"},
      {"Instrument-SC88", {1, 0}, 61, "French Horn"},
      {"Instrument-SC88", {0, 9}, 17, "Organ 109"},
      // SC-55 and its mkII.
      {"Instrument-SC55", {0, 8}, 15, "Church Bell"},
      {"Instrument-SC55", {0, 9}, 119, "Elec Perc"},
      {"Instrument-SC55", {0, 3}, 128, "Explosion"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(instrumentName(store_, c.table, c.bank, c.program), c.name)
        << c.table << " LSB " << c.bank.lsb << " MSB " << c.bank.msb << " program " << c.program;
  }
  for (const char* table : kRolandTables) {
    for (int lsb = 0; lsb <= 3; ++lsb) {
      for (int program = 1; program <= 128; ++program)
        EXPECT_NE(instrumentName(store_, table, {lsb, 0}, program), "-------------") << table << " " << program;
    }
  }
}

TEST_F(BuiltInDefinitions, GsDrumSetsByMap) {
  const std::vector<std::pair<int, const char*>> sc88Pro{
      {1, "STANDARD 1"},    {3, "STANDARD 3"}, {9, "ROOM"},         {17, "POWER"},        {25, "ELECTRONIC"},
      {26, "TR-808/909"},   {31, "TR-909"},    {33, "JAZZ"},        {41, "BRUSH"},        {49, "ORCHESTRA"},
      {54, "CYMBAL&CLAPS"}, {57, "SFX"},       {59, "RHYTHM FX 2"}, {128, "CM-64/CM-32L"}};
  for (const auto& [program, name] : sc88Pro)
    EXPECT_EQ(instrumentName(store_, "Instrument-SC88PRO", {0, 0}, program, true), name) << program;
  // The SC-88Pro table also serves the SC-8850: its added sets, and its own map's names by LSB 4.
  EXPECT_EQ(instrumentName(store_, "Instrument-SC88PRO", {0, 0}, 55, true), "GAMELAN 1");
  EXPECT_EQ(instrumentName(store_, "Instrument-SC88PRO", {0, 0}, 63, true), "CYM&CLAPS 2");
  EXPECT_EQ(instrumentName(store_, "Instrument-SC88PRO", {4, 0}, 3, true), "STANDARD L/R");
  EXPECT_EQ(instrumentName(store_, "Instrument-SC88PRO", {4, 0}, 26, true), "TR-808");
  EXPECT_EQ(instrumentName(store_, "Instrument-SC88PRO", {1, 0}, 1, true), "STANDARD");
  EXPECT_EQ(instrumentName(store_, "Instrument-SC88PRO", {1, 0}, 26, true), "TR-808");
  EXPECT_EQ(instrumentName(store_, "Instrument-SC88PRO", {2, 0}, 26, true), "TR-808/909");
  EXPECT_EQ(instrumentName(store_, "Instrument-SC88", {0, 0}, 58, true), "RHYTHM FX");
  EXPECT_EQ(instrumentName(store_, "Instrument-SC88", {1, 0}, 26, true), "TR-808");
  // A program that holds no drum set on the SC-88 names none.
  EXPECT_EQ(instrumentName(store_, "Instrument-SC88", {0, 0}, 10, true), "-------------");
  EXPECT_EQ(instrumentName(store_, "Instrument-SC55", {0, 0}, 1, true), "STANDARD");
}

TEST_F(BuiltInDefinitions, XgVoicesOfTheBasicBanks) {
  const struct {
    Bank bank;
    int program;
    bool rhythm;
    const char* name;
  } cases[] = {
      {{0, 0}, 1, false, "GrandPno"},     {{1, 0}, 1, false, "GrndPnoK"},   {{8, 0}, 41, false, "SlowVln"},
      {{8, 0}, 49, false, "SlowStr"},     {{3, 0}, 53, false, "S.Choir"},   {{96, 0}, 25, false, "Ukulele"},
      {{40, 0}, 17, false, "16+2'2/3"},   {{35, 0}, 52, false, "Syn Str3"}, {{64, 0}, 103, false, "EchoBell"},
      {{0, 64}, 1, false, "CuttngNz"},    {{0, 64}, 33, false, "Rain"},     {{0, 64}, 116, false, "FireWork"},
      {{0, 127}, 26, true, "Analog Kit"}, {{0, 126}, 2, true, "SFX Kit 2"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(instrumentName(store_, "Instrument-XG", c.bank, c.program, c.rhythm), c.name)
        << "LSB " << c.bank.lsb << " MSB " << c.bank.msb << " program " << c.program;
  }
}

TEST_F(BuiltInDefinitions, Korg05RWFallsBackToItsGmMode) {
  EXPECT_EQ(instrumentName(store_, "Instrument-05R/W", {0, 0}, 1), "Acoustic Grand Piano");
  EXPECT_EQ(instrumentName(store_, "Instrument-05R/W", {0, 0}, 1, true), "GM Drums");
  EXPECT_EQ(instrumentName(store_, "Instrument-GM", {5, 5}, 128), "Gunshot");
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
  const std::filesystem::path user[] = {dir / "user.def"};
  loadModuleDefinitions(store, user);
  EXPECT_EQ(store.getInteger("keyword", "length", 0), 4096);
  EXPECT_EQ(store.getValue("keyword", "SC-88PRO"), "SC-88PRO");  // the built-in patterns stay
  EXPECT_EQ(store.resolveAlias("mymodule"), "MU80");
  EXPECT_EQ(store.getValue("moduleindex", "THRU"), "Mine");
  {
    auto guard = store.lock();
    EXPECT_EQ(store.findSection("moduleindex")->entries().front().key, "THRU");  // replaced in place
  }
  const std::filesystem::path missing[] = {dir / "missing.def"};
  loadModuleDefinitions(store, missing);  // a reload starts afresh; a missing user file adds nothing
  EXPECT_NE(store.getInteger("keyword", "length", 0), 4096);
  EXPECT_EQ(store.resolveAlias("mymodule"), "mymodule");
}

TEST(BuiltInDefinitionsUserFile, LaterFilesOverrideEarlierOnes) {
  test::TempDir dir;
  std::ofstream(dir / "first.def") << "[alias]\nMINE=SC-55\nONLY=MU80\n";
  std::ofstream(dir / "second.def") << "[alias]\nMINE=SC-88\n";
  TINICritical store;
  const std::filesystem::path files[] = {dir / "first.def", {}, dir / "second.def"};
  loadModuleDefinitions(store, files);
  EXPECT_EQ(store.resolveAlias("MINE"), "SC-88");
  EXPECT_EQ(store.resolveAlias("ONLY"), "MU80");
}

}  // namespace
}  // namespace volta::core
