#pragma once
// The WRD display's surroundings as the settings give them: the text face ("WRDFont"),
// the kana font file ("WC2Font"), the DV converter's library, and the display options.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/settings/settings_store.h"
#include "player/wrd/dv/dv2wrd_wrapper.h"
#include "player/wrd/glyphs.h"
#include "player/wrd/interpreter.h"

namespace volta::core {

inline constexpr const char* kKanaFontName = "BU_MARU1.FON";

struct WrdSettings {
  std::string wrdFont;     // "WRDFont": a Unifont .hex file; empty or "digit" for the system's Unifont
  std::string kanaFont;    // "WC2Font": empty for BU_MARU1.FON in the program's folder
  bool highSpeed = false;  // "HighSpeedWRD"
  bool line480 = false;    // "480Line": 480 rows in full screen
  std::int32_t vsync = 1;  // "VSYNC": kept; the screen is shown without waiting for a vertical blank
  bool sryEnable = false;  // "SRYEnable"

  static WrdSettings read(const platform::settings::SettingsStore& store);
  bool operator==(const WrdSettings&) const = default;
};

class WrdSetup {
 public:
  WrdSetup() = default;
  WrdSetup(const WrdSetup&) = delete;
  WrdSetup& operator=(const WrdSetup&) = delete;

  // Loads the fonts the settings name (a face that cannot be read falls back to the
  // system's Unifont) and, once, the DV converter's library.
  void load(const WrdSettings& settings, const std::filesystem::path& programFolder);

  const WrdSettings& settings() const { return settings_; }
  const std::shared_ptr<const wrd::UnifontFace>& face() const { return face_; }
  const std::filesystem::path& facePath() const { return facePath_; }
  const std::filesystem::path& kanaFontPath() const { return kanaFontPath_; }
  const std::filesystem::path& programFolder() const { return programFolder_; }
  const wrd::dv::DV2WRDWrapper& dvLibrary() const { return dv_; }
  // Converts DV scripts through the library; a converter that always fails without it.
  wrd::DvConverter dvConverter() const;

  // The face, kana font, program folder, high speed and DV converter, into an interpreter.
  void applyTo(wrd::WrdInterpreter& interpreter) const;

 private:
  WrdSettings settings_;
  std::shared_ptr<const wrd::UnifontFace> face_;
  std::filesystem::path facePath_;
  std::filesystem::path kanaFontPath_;
  std::filesystem::path programFolder_;
  wrd::dv::DV2WRDWrapper dv_;
  bool dvTried_ = false;
};

}  // namespace volta::core
