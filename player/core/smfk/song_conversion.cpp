#include "player/core/smfk/song_conversion.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "converter/morph.h"
#include "platform/low_memory.h"
#include "platform/text.h"
#include "player/core/file_bytes.h"

namespace volta::core::smfk {

namespace fs = std::filesystem;

namespace {

// Out of memory, as the converter itself would say.
constexpr std::int32_t kOutOfMemory = 5;

// The progress callback's target when there is no worker: the owner, in low memory.
struct OwnerLink {
  Parameters parameters;
  platform::MessageTarget owner;
};

std::int32_t forwardProgress(std::int32_t percent, void* link) {
  if (link != nullptr) platform::sendMessage(&static_cast<OwnerLink*>(link)->owner, kMessage, kProgress, percent);
  return 1;
}

}  // namespace

WorkFile::WorkFile(const fs::path& folder, const std::string& prefix, const std::string& suffix) {
  std::string name = (folder / (prefix + "XXXXXX" + suffix)).string();
  const int fd = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
  if (fd < 0) return;
  ::close(fd);
  path_ = fs::path(name);
}

WorkFile::~WorkFile() {
  remove();
}

WorkFile& WorkFile::operator=(WorkFile&& other) noexcept {
  if (this != &other) {
    remove();
    path_ = std::exchange(other.path_, std::nullopt);
  }
  return *this;
}

void WorkFile::remove() {
  std::error_code ignored;
  if (path_) fs::remove(*path_, ignored);
  path_.reset();
}

bool writeRcpAsSmf(const fs::path& song, const fs::path& target, const platform::MessageTarget* owner) {
  void* object = morphConvertFile(song.c_str(), owner ? MORPH_NOTIFY_MESSAGE : MORPH_NOTIFY_NONE,
                                  const_cast<platform::MessageTarget*>(owner), owner ? kRcpProgressMessage : 0, 0);
  std::error_code ignored;
  if (!object) {
    fs::remove(target, ignored);
    return false;
  }
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(morphGetSMF(object)), morphGetSMFLength(object));
  morphDeleteObject(object);
  out.close();
  if (out) return true;
  fs::remove(target, ignored);
  return false;
}

std::optional<std::string> configurationName(std::string_view options) {
  static constexpr std::string_view kTool = "SMFK:";
  std::size_t at = 0;
  while ((at = options.find_first_not_of(" \t", at)) != std::string_view::npos) {
    const std::size_t end = std::min(options.find_first_of(" \t", at), options.size());
    const std::string_view word = options.substr(at, end - at);
    if (word.front() == ';') return std::nullopt;
    if (word.size() >= kTool.size() && platform::text::equalsIgnoringCase(word.substr(0, kTool.size()), kTool))
      return std::string(word.substr(kTool.size()));
    at = end;
  }
  return std::nullopt;
}

fs::path configurationPath(const fs::path& folder, const std::string& name) {
  const fs::path wanted = folder / name;
  return findFileIgnoringCase(wanted).value_or(wanted);
}

fs::path chosenConfiguration(const std::string& typed, const fs::path& folder) {
  std::error_code ignored;
  if (!typed.empty() && fs::is_regular_file(typed, ignored)) return typed;
  return configurationPath(folder, typed);
}

std::int32_t convertNow(const SmfkLibrary& library, const platform::MessageTarget* owner, const fs::path& source,
                        const fs::path& output, const fs::path& configuration) {
  const std::unique_ptr<OwnerLink, void (*)(OwnerLink*)> link(platform::newLow<OwnerLink>(),
                                                              platform::deleteLow<OwnerLink>);
  if (!link) return kOutOfMemory;
  if (owner != nullptr) link->owner = *owner;
  link->parameters.worker = platform::lowAddress(link.get());
  return library.convert(owner, source, output, configuration, &link->parameters, forwardProgress);
}

}  // namespace volta::core::smfk
