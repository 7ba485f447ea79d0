#include "player/wrd/builtin_resources.h"

#include "player/wrd/builtin_files.h"

namespace volta::wrd {

std::string_view builtInScript() {
  const auto bytes = embedded::script();
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::span<const std::uint8_t> builtInPictureFile() {
  return embedded::picture();
}

}  // namespace volta::wrd
