#pragma once
// Which SoundFont the software synthesizer loads: the setting "SoundFont", else the
// variable VOLTA_SOUNDFONT, else the first of the standard Debian SoundFonts that exists.

#include <string>

namespace volta::platform::midi {

inline constexpr const char* kSoundFontEnvironmentVariable = "VOLTA_SOUNDFONT";
// The engine library carries its own copy of this layer, so the setting travels in this
// variable, which both copies read. It changes only when the setting does.
inline constexpr const char* kSoundFontSettingVariable = "VOLTA_SOUNDFONT_SETTING";

// The setting (empty: not set), handed over by the start-up path.
void setSoundFontSetting(const std::string& path);

// Empty when there is none; a setting or variable naming no file is passed over.
std::string findSoundFont();

}  // namespace volta::platform::midi
