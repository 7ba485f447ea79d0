#pragma once
// Reads a Standard MIDI File image back for checking: chunks, delta times and events.
// Strict on purpose: running status, short chunks or trailing bytes are errors.

#include <cstdint>
#include <string>
#include <vector>

namespace volta::converter::testing {

struct SmfEvent {
  std::uint64_t tick = 0;
  std::uint8_t status = 0;  // 0xFF for meta events
  std::uint8_t metaType = 0;
  std::vector<std::uint8_t> data;  // data bytes (for exclusives: after the length)

  bool isMeta(std::uint8_t type) const { return status == 0xFF && metaType == type; }
  std::string hex() const;  // status (and meta type) followed by the data, "90 3C 64"
};

struct SmfFile {
  int format = -1;
  int division = 0;
  std::vector<std::vector<SmfEvent>> tracks;
  std::string error;  // empty when the image was read whole
};

SmfFile readSmf(const std::uint8_t* data, std::size_t length);

}  // namespace volta::converter::testing
