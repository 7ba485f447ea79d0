#include "platform/midi/sound_font.h"

#include <cstdlib>
#include <filesystem>

namespace volta::platform::midi {
namespace {

constexpr const char* kStandardSoundFonts[] = {
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
};

bool isFile(const char* path) {
  std::error_code error;
  return path && *path && std::filesystem::is_regular_file(path, error);
}

}  // namespace

void setSoundFontSetting(const std::string& path) {
  const char* current = std::getenv(kSoundFontSettingVariable);
  if (path == (current ? current : "")) return;
  if (path.empty()) {
    unsetenv(kSoundFontSettingVariable);
  } else {
    setenv(kSoundFontSettingVariable, path.c_str(), 1);
  }
}

std::string findSoundFont() {
  for (const char* name : {kSoundFontSettingVariable, kSoundFontEnvironmentVariable}) {
    if (const char* path = std::getenv(name); isFile(path)) return path;
  }
  for (const char* path : kStandardSoundFonts) {
    if (isFile(path)) return path;
  }
  return {};
}

}  // namespace volta::platform::midi
