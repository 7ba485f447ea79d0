#include "tests/support/trace_log.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/midi/output_device.h"

namespace volta::test {

std::vector<TraceLine> readTrace(const std::filesystem::path& path) {
  std::vector<TraceLine> lines;
  std::ifstream in(path);
  std::string text;
  while (std::getline(in, text)) {
    std::istringstream fields(text);
    TraceLine line;
    fields >> line.time >> line.port;
    std::getline(fields >> std::ws, line.bytes);
    lines.push_back(line);
  }
  return lines;
}

std::uint32_t traceDeviceFor(const std::filesystem::path& path) {
  setenv("VOLTA_MIDI_TRACE", path.c_str(), 1);
  return platform::midi::findOutputDevice("Trace");
}

std::size_t findLine(const std::vector<TraceLine>& lines, const std::string& prefix, std::size_t from) {
  for (std::size_t i = from; i < lines.size(); ++i)
    if (lines[i].bytes.rfind(prefix, 0) == 0) return i;
  return lines.size();
}

}  // namespace volta::test
