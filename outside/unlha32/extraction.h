#pragma once
// Writes the members matching a set of patterns into a folder, never outside it: names
// that would leave it, links and absurd sizes are refused; folders below it are made
// and entered without following links; each file is written under a temporary name and
// renamed only when whole and its CRC is right.

#include <filesystem>
#include <string>
#include <vector>

namespace volta::unlha {

struct ExtractionReport {
  int result = 0;                     // 0, or one of the UNLHA_ERROR_ codes
  std::vector<std::string> messages;  // one line per member refused or not written
  std::size_t written = 0;            // files written
};

ExtractionReport extractMembers(const std::filesystem::path& archive, const std::filesystem::path& folder,
                                const std::vector<std::string>& patterns);

// The CRC-16 of LZH archives, carried on from `crc`.
std::uint16_t lzhCrc(std::uint16_t crc, const std::uint8_t* data, std::size_t size);

}  // namespace volta::unlha
