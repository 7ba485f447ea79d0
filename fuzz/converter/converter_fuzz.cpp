// Converts a buffer through the library's entry point: byte 0 is the source type
// (0 recognise, 1 and 2 RCP, 3 G36), the rest is the file. The image must read back.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "converter/morph.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::vector<std::uint8_t> file(data + 1, data + size);
  void* object = morphConvertFileFromBuffer(file.empty() ? nullptr : file.data(), static_cast<uint32_t>(file.size()),
                                            data[0] & 3, MORPH_NOTIFY_NONE, nullptr, 0, 0);
  if (object == nullptr) return 0;
  const std::uint8_t* smf = morphGetSMF(object);
  const std::uint32_t length = morphGetSMFLength(object);
  if (length < 14 || std::memcmp(smf, "MThd", 4) != 0) __builtin_trap();
  morphDeleteObject(object);
  return 0;
}
