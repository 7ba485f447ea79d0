#include "player/core/startup/wrd_setup.h"

#include <cstring>
#include <span>
#include <vector>

#include "platform/settings/checked_values.h"

namespace volta::core {

namespace {

using platform::settings::kMainKey;

bool readFlag(const platform::settings::SettingsStore& store, std::string_view name) {
  return platform::settings::readSwitch(store, kMainKey, name, false);
}

// "digit" was the old value for the default face.
std::filesystem::path facePathFor(const std::string& setting, const std::filesystem::path& programFolder) {
  if (setting.empty() || setting == "digit") return wrd::kDefaultWrdFontPath;
  const std::filesystem::path path(setting);
  return path.is_absolute() ? path : programFolder / path;
}

}  // namespace

WrdSettings WrdSettings::read(const platform::settings::SettingsStore& store) {
  WrdSettings s;
  s.wrdFont = store.readString(kMainKey, "WRDFont", "");
  s.kanaFont = store.readString(kMainKey, "WC2Font", "");
  s.highSpeed = readFlag(store, "HighSpeedWRD");
  s.line480 = readFlag(store, "480Line");
  s.vsync = platform::settings::readIntIn(store, kMainKey, "VSYNC", s.vsync, 0, 2);
  s.sryEnable = readFlag(store, "SRYEnable");
  return s;
}

void WrdSetup::load(const WrdSettings& settings, const std::filesystem::path& programFolder) {
  const std::filesystem::path wanted = facePathFor(settings.wrdFont, programFolder);
  if (!face_ || wanted != facePath_) {
    facePath_ = wanted;
    face_ = wrd::UnifontFace::loadFile(wanted);
    if (!face_ && wanted != wrd::kDefaultWrdFontPath) {
      facePath_ = wrd::kDefaultWrdFontPath;
      face_ = wrd::UnifontFace::loadFile(facePath_);
    }
  }
  kanaFontPath_ =
      settings.kanaFont.empty() ? programFolder / kKanaFontName : facePathFor(settings.kanaFont, programFolder);
  programFolder_ = programFolder;
  settings_ = settings;
  if (!dvTried_) {
    dvTried_ = true;
    dv_.load(programFolder);
  }
}

wrd::DvConverter WrdSetup::dvConverter() const {
  return [this](std::span<const char> input) -> std::optional<std::vector<char>> {
    const auto text =
        wrd::dv::convertDvScript(dv_, std::span(reinterpret_cast<const std::uint8_t*>(input.data()), input.size()));
    if (!text) return std::nullopt;
    return std::vector<char>(text->begin(), text->end());
  };
}

void WrdSetup::applyTo(wrd::WrdInterpreter& interpreter) const {
  interpreter.glyphs().setFace(face_);
  interpreter.glyphs().clearCache();
  interpreter.setKanaFontPath(kanaFontPath_);
  interpreter.setProgramDirectory(programFolder_);
  interpreter.setHighSpeed(settings_.highSpeed);
  interpreter.setDvConverter(dvConverter());
}

}  // namespace volta::core
