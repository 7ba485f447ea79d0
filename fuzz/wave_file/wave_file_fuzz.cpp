// Wave files as the wave device reads them: the header check, then decoding.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/wave/wave_device.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string error;
  const auto audio = volta::platform::wave::decodeWave({data, size}, error);
  if (audio && audio->frameBytes == 0) __builtin_trap();
  if (!audio && error.empty()) __builtin_trap();  // every refusal carries its reason
  return 0;
}
