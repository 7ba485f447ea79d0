#pragma once
// Instrument, bank and map names of a channel, read from the instrument section of
// the module in use and the sections its "InstLink" names.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace volta::monitor {

// Which bank byte numbers the banks and names the maps.
enum class BankType { kNone, kLsb, kMsb };
// The instrument section's "Type": ROLAND banks by MSB, YAMAHA by LSB, the rest by neither.
BankType bankTypeOf(std::string_view type);

// The value of a key in a section; nothing when the key (or the section) is missing.
using SectionReader = std::function<std::optional<std::string>(std::string_view section, std::string_view key)>;

struct InstrumentKey {
  int bankLsb = 0, bankMsb = 0, program = 0;  // program 0-127
  bool rhythm = false;
  bool operator==(const InstrumentKey&) const = default;
};

struct InstrumentNames {
  std::string name;  // "-------------" when no section names it
  std::string map;
  std::optional<int> bank;
  BankType bankType = BankType::kNone;  // what a bank control sends
};

inline constexpr std::string_view kNoInstrument = "-------------";

InstrumentNames lookupInstrument(const SectionReader& read, std::string_view section, const InstrumentKey& key);

}  // namespace volta::monitor
