#pragma once
// Converts songs written by the test's own writer through the library's C interface
// and reads the result back.

#include <cstdint>
#include <string>
#include <vector>

#include "converter/morph.h"
#include "tests/converter/smf_reader.h"
#include "tests/support/rcp_writer.h"

namespace volta::converter::testing {

struct Converted {
  SmfFile smf;
  int fileType = 0;
  bool ok = false;
};

inline Converted convertBytes(const std::vector<std::uint8_t>& bytes, int sourceType = MORPH_SOURCE_RECOGNISE) {
  Converted out;
  void* object = morphConvertFileFromBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()), sourceType,
                                            MORPH_NOTIFY_NONE, nullptr, 0, 0);
  if (object == nullptr) return out;
  out.ok = true;
  out.fileType = morphGetOriginalFileType(object);
  out.smf = readSmf(morphGetSMF(object), morphGetSMFLength(object));
  morphDeleteObject(object);
  return out;
}

inline Converted convert(const test::RcpWriter& writer) {
  return convertBytes(writer.build());
}

// The events of a track other than its name and end, as text with their ticks.
inline std::vector<std::string> body(const std::vector<SmfEvent>& track) {
  std::vector<std::string> out;
  for (const SmfEvent& e : track) {
    if (e.isMeta(0x2F) || (e.isMeta(0x03) && &e == &track.front())) continue;
    out.push_back(std::to_string(e.tick) + ": " + e.hex());
  }
  return out;
}

}  // namespace volta::converter::testing
