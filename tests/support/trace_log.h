#pragma once
// Reading the trace device's log and pointing the engine's "Trace" device at a file.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace volta::test {

struct TraceLine {
  std::uint64_t time = 0;
  char port = 0;
  std::string bytes;  // upper-case hex separated by blanks, or "RESET"
};

std::vector<TraceLine> readTrace(const std::filesystem::path& path);

// Sets VOLTA_MIDI_TRACE for the engine and gives the "Trace" device's identifier.
std::uint32_t traceDeviceFor(const std::filesystem::path& path);

// Index of the first line whose bytes start with prefix at or after from, or lines.size().
std::size_t findLine(const std::vector<TraceLine>& lines, const std::string& prefix, std::size_t from = 0);

}  // namespace volta::test
