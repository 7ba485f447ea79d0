#include "player/core/startup/player_setup.h"

#include <cstdlib>

#include "platform/midi/sound_font.h"
#include "platform/settings/checked_values.h"
#include "player/core/builtin_definitions.h"
#include "player/core/emulation.h"

namespace volta::core {

namespace {

using platform::settings::kMainKey;

std::filesystem::path defaultUserDataFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return std::filesystem::path(data) / "volta";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home && *home ? home : ".") / ".local" / "share" / "volta";
}

std::optional<std::filesystem::path> extractionFolder() {
  const auto temp = privateTempFolder();
  return temp ? makeExtractionFolder(*temp) : std::nullopt;
}

}  // namespace

PlayerPlaces PlayerPlaces::defaults() {
  return {core::programFolder(), defaultUserDataFolder(), platform::settings::SettingsStore::defaultPath()};
}

SetupSettings SetupSettings::read(const platform::settings::SettingsStore& store) {
  SetupSettings s;
  s.core = CoreSettings::read(store);
  s.enableWaveFile = store.readInt(kMainKey, "EnableWaveFile", 0) != 0;
  s.meterMode = static_cast<std::uint16_t>(platform::settings::readIntIn(store, kMainKey, "LiquidMeterMode", 0, 0, 1));
  s.wrd = WrdSettings::read(store);
  return s;
}

PlayerSetup::PlayerSetup(platform::settings::SettingsStore& store, PlayerSetupOptions options)
    : store_(store),
      options_(std::move(options)),
      definitions_(moduleDefinitions()),
      archives_(std::make_unique<LzhArchives>(options_.places.programFolder, extractionFolder())),
      extractor_([this](const std::filesystem::path& archive, const std::string& member) {
        return archives_->extract(archive, member);
      }) {
  reapply();
  smfk_.load(options_.places.programFolder);
}

PlayerSetup::~PlayerSetup() = default;

bool PlayerSetup::bindEngine() {
  binding_.reset();
  message_.clear();
  const EngineChoice choice{!settings_.core.bridgeEngine.empty(), settings_.core.dllTypeIs32Bit != 0};
  if (options_.binder) binding_ = options_.binder(options_.places.programFolder, choice, message_);
  if (!binding_ && message_.empty()) message_ = "The engine could not be set up.";
  return binding_ != nullptr;
}

void PlayerSetup::reapply() {
  settings_ = SetupSettings::read(store_);
  platform::midi::setSoundFontSetting(settings_.core.soundFont);
  loadDefinitions();
  wrd_.load(settings_.wrd, options_.places.programFolder);
}

// Built-ins, then "DefFile", then "UserDefFile": later files override earlier ones.
void PlayerSetup::loadDefinitions() {
  const std::filesystem::path files[] = {settings_.core.defFile, settings_.core.userDefFile};
  loadModuleDefinitions(definitions_, files);
}

SongPlayerSettings PlayerSetup::songPlayerSettings() const {
  return SongPlayerSettings::from(settings_.core, settings_.core.currentTemplate(store_));
}

void PlayerSetup::prepare(SongPlayer& player) const {
  player.configure(songPlayerSettings());
  player.setExtractor(extractor_);
  player.setSmfkLibrary(&smfk_);
  player.setWaveOpener(settings_.enableWaveFile || options_.alwaysPlayWaves ? options_.waveOpener : WaveOpener());
  if (OutputHandle* output = player.output()) {
    output->setOptions(settings_.core.midiRate != 0, settings_.core.useReset != 0);
    output->setMeterMode(settings_.meterMode);
  }
}

std::vector<std::string> PlayerSetup::missingHooks() const {
  std::vector<std::string> missing;
  const auto need = [&missing](bool present, const char* name) {
    if (!present) missing.emplace_back(name);
  };
  need(definitions_.findSection("convindex") != nullptr, "module definitions");
  need(binding_ && binding_->bound(), "engine binding");
  need(static_cast<bool>(options_.waveOpener), "wave opener");
  need(static_cast<bool>(extractor_), "archive extractor");
  need(wrd_.face() != nullptr, "WRD font");
  need(!wrd_.kanaFontPath().empty(), "kana font path");
  need(!wrd_.programFolder().empty(), "program folder");
  return missing;
}

}  // namespace volta::core
