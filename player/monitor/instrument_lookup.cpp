#include "player/monitor/instrument_lookup.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <sstream>

namespace volta::monitor {

namespace {

std::string upper(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

std::string format(const char* pattern, const std::string& prefix, auto... values) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, pattern, prefix.c_str(), values...);
  return buffer;
}

// The five keys from the most to the least specific.
std::array<std::string, 5> candidateKeys(const InstrumentKey& key) {
  const std::string prefix = key.rhythm ? "DM:" : "";
  const int program = key.program + 1;
  return {format("%s%03d-%03d-%03d", prefix, key.bankLsb, key.bankMsb, program),
          format("%s*-%03d-%03d", prefix, key.bankMsb, program), format("%s%03d-*-%03d", prefix, key.bankLsb, program),
          format("%s*-*-%03d", prefix, program), format("%s*-*-*", prefix)};
}

std::string nameInSection(const SectionReader& read, const std::string& section, const InstrumentKey& key) {
  for (const std::string& candidate : candidateKeys(key))
    if (auto value = read(section, candidate)) return *value;
  return {};
}

std::string mapName(const SectionReader& read, std::string_view section, BankType type, const InstrumentKey& key) {
  char name[16];
  if (type == BankType::kLsb)
    std::snprintf(name, sizeof name, "LSB-%03d", key.bankLsb);
  else if (type == BankType::kMsb)
    std::snprintf(name, sizeof name, "MSB-%03d", key.bankMsb);
  else
    return {};
  return read(section, name).value_or("");
}

}  // namespace

BankType bankTypeOf(std::string_view type) {
  const std::string name = upper(type);
  if (name == "ROLAND") return BankType::kMsb;
  if (name == "YAMAHA") return BankType::kLsb;
  return BankType::kNone;
}

InstrumentNames lookupInstrument(const SectionReader& read, std::string_view section, const InstrumentKey& key) {
  InstrumentNames names{std::string(kNoInstrument), {}, {}, BankType::kNone};
  if (section.empty()) return names;
  std::istringstream links(read(section, "InstLink").value_or(std::string(section)));
  for (std::string linked; links >> linked;) {
    if (std::string name = nameInSection(read, linked, key); !name.empty()) {
      names.name = std::move(name);
      break;
    }
  }
  const BankType type = bankTypeOf(read(section, "Type").value_or(""));
  names.bankType = type;
  names.map = mapName(read, section, type, key);
  if (type != BankType::kNone) names.bank = type == BankType::kLsb ? key.bankLsb : key.bankMsb;
  return names;
}

}  // namespace volta::monitor
