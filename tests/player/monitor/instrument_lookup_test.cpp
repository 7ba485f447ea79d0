#include "player/monitor/instrument_lookup.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace volta::monitor {
namespace {

// Sections as maps; every key asked for is recorded.
struct Store {
  std::map<std::string, std::map<std::string, std::string>> sections;
  std::vector<std::string> asked;
  SectionReader reader() {
    return [this](std::string_view section, std::string_view key) -> std::optional<std::string> {
      asked.push_back(std::string(section) + ":" + std::string(key));
      const auto s = sections.find(std::string(section));
      if (s == sections.end()) return std::nullopt;
      const auto k = s->second.find(std::string(key));
      if (k == s->second.end()) return std::nullopt;
      return k->second;
    };
  }
};

TEST(InstrumentLookup, TriesTheFiveKeysInEveryLinkedSectionInOrder) {
  Store store;
  store.sections["Inst-X"] = {{"InstLink", "Inst-X Inst-GM"}};
  store.sections["Inst-GM"] = {};
  const InstrumentNames names = lookupInstrument(store.reader(), "Inst-X", {0, 8, 0, false});
  EXPECT_EQ(names.name, kNoInstrument);
  const std::vector<std::string> expected = {"Inst-X:InstLink",     "Inst-X:000-008-001", "Inst-X:*-008-001",
                                             "Inst-X:000-*-001",    "Inst-X:*-*-001",     "Inst-X:*-*-*",
                                             "Inst-GM:000-008-001", "Inst-GM:*-008-001",  "Inst-GM:000-*-001",
                                             "Inst-GM:*-*-001",     "Inst-GM:*-*-*",      "Inst-X:Type"};
  EXPECT_EQ(store.asked, expected);
}

TEST(InstrumentLookup, FirstExistingKeyInASectionAndFirstNonEmptyNameOverSections) {
  Store store;
  store.sections["A"] = {{"InstLink", "A B"}, {"*-*-*", ""}, {"Type", "ROLAND"}, {"MSB-008", "Var"}};
  store.sections["B"] = {{"*-008-001", "Piano 2"}, {"*-*-001", "Piano 1"}};
  const InstrumentNames names = lookupInstrument(store.reader(), "A", {0, 8, 0, false});
  EXPECT_EQ(names.name, "Piano 2");
  EXPECT_EQ(names.map, "Var");
  EXPECT_EQ(names.bank, 8);
}

TEST(InstrumentLookup, RhythmChannelsUseTheDrumPrefixOnly) {
  Store store;
  store.sections["GS"] = {{"*-*-001", "Piano 1"}, {"DM:*-*-001", "STANDARD"}, {"Type", "YAMAHA"}};
  EXPECT_EQ(lookupInstrument(store.reader(), "GS", {0, 0, 0, true}).name, "STANDARD");
  EXPECT_EQ(lookupInstrument(store.reader(), "GS", {0, 0, 0, false}).name, "Piano 1");
  EXPECT_EQ(lookupInstrument(store.reader(), "GS", {3, 0, 0, false}).bank, 3);
}

TEST(InstrumentLookup, NoSectionOrNoMapGivesTheDashesAndNoBank) {
  Store store;
  const InstrumentNames none = lookupInstrument(store.reader(), "", {});
  EXPECT_EQ(none.name, kNoInstrument);
  EXPECT_FALSE(none.bank);
  EXPECT_EQ(lookupInstrument(store.reader(), "Missing", {}).map, "");
}

TEST(InstrumentLookup, BankTypes) {
  EXPECT_EQ(bankTypeOf("roland"), BankType::kMsb);
  EXPECT_EQ(bankTypeOf("YAMAHA"), BankType::kLsb);
  EXPECT_EQ(bankTypeOf("NORMAL"), BankType::kNone);
}

}  // namespace
}  // namespace volta::monitor
