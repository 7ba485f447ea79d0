// Arbitrary bytes as a user's mimeapps.list: taking our associations back leaves none of
// ours, keeps every other program's default, and a second pass changes nothing.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/desktop/file_associations.h"

namespace {

namespace dt = volta::platform::desktop;

const std::set<std::string>& allTypes() {
  static const std::set<std::string> types = [] {
    std::set<std::string> all;
    for (const dt::FileType& type : dt::kFileTypes)
      all.emplace(type.mimeType);
    return all;
  }();
  return types;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string once = dt::withoutOwnAssociations(text, dt::kDesktopId, allTypes());
  for (const std::string& type : dt::defaultsNaming(once, dt::kDesktopId))
    if (allTypes().contains(type)) std::abort();
  if (dt::withoutOwnAssociations(once, dt::kDesktopId, allTypes()) != once) std::abort();
  // Another program's defaults stay (one named second may come first now).
  for (const std::string& type : dt::defaultsNaming(text, "other.desktop"))
    if (!dt::defaultsNaming(once, "other.desktop").contains(type)) std::abort();
  return 0;
}
