#include "player/core/app/engine_session.h"

#include <algorithm>
#include <utility>

#include "platform/midi/sound_font.h"
#include "player/core/emulation.h"
#include "player/core/playlist/song_entry_reader.h"

namespace volta::app {

namespace {

// Without an engine no song can be read: entries keep their file names as titles.
class NameOnlyReader final : public core::EntryReader {
 public:
  int readEntry(const std::filesystem::path& file, core::MIDIFile& entry) override {
    entry.title = file.filename().string();
    checkWrd(file, entry);
    return 0;
  }
  void checkWrd(const std::filesystem::path& file, core::MIDIFile& entry) override {
    entry.wrdState = companions_.present(file) ? 2 : 1;
  }

 private:
  core::WrdCompanions companions_;
};

}  // namespace

void EngineSession::useEngine(std::unique_ptr<PlayerEngine> engine) {
  closePlayer();
  engine_ = std::move(engine);
  makePlayer();
}

void EngineSession::setWrdHooks(WrdHooks hooks) {
  hooks_ = std::move(hooks);
  followWrd();
}

void EngineSession::followWrd() {
  if (player_) player_->setWrdFollower(s_.wrdDisable || noWrd_ ? nullptr : hooks_.follower);
}

monitor::Palette EngineSession::backLight() const {
  const std::string colour = player_ ? player_->backLightColour() : std::string();
  const auto named = colour.empty() ? std::nullopt : std::optional<std::string_view>(colour);
  return monitor::backLightPalette(monitor::readBackLightSettings(store_), named);
}

void EngineSession::setSongPlayerSetup(std::function<void(core::SongPlayer&)> setup) {
  setup_ = std::move(setup);
  if (auto* player = songPlayer(); player && setup_) setup_(*player);
}

const core::CoreSettings& EngineSession::readCoreSettings() {
  coreSettings_ = core::CoreSettings::read(store_);
  coreSettings_.midiTemplateMode = s_.midiTemplateMode;
  return coreSettings_;
}

core::SongPlayerSettings EngineSession::songSettings() const {
  return core::SongPlayerSettings::from(coreSettings_, coreSettings_.currentTemplate(store_));
}

void EngineSession::closePlayer() {
  // A copy runs: the hook may replace itself (a dialog closing lets go of it).
  if (player_ && beforeClose_) {
    const auto hook = beforeClose_;
    hook();
  }
  player_.reset();
}

bool EngineSession::outputStale() const {
  return player_ && (portNames() != opened_ || coreSettings_.soundFont != openedSoundFont_);
}

std::optional<std::array<std::string, 3>> EngineSession::takeMissingPorts() {
  return std::exchange(missing_, std::nullopt);
}

void EngineSession::makePlayer() {
  closePlayer();
  if (!engine_) return;
  readCoreSettings();
  opened_ = portNames();
  openedSoundFont_ = coreSettings_.soundFont;
  platform::midi::setSoundFontSetting(openedSoundFont_);
  const core::PortDevices devices = core::resolvePortDevices(coreSettings_.currentTemplate(store_));
  missing_.reset();
  if (devices.anyMissing()) missing_ = devices.missing;
  player_ = engine_->makePlayer(devices.ids);
  followWrd();
  if (auto* player = songPlayer(); player && setup_) setup_(*player);
  if (player_->hasOutput()) {
    player_->setOutputOptions(coreSettings_.midiRate != 0, coreSettings_.useReset != 0);
    player_->setMasterVolume(static_cast<std::uint16_t>(std::clamp(s_.lastVolume, 0, kMaxVolume)));
    player_->setMuteMask(muteMask_);
    // A new output starts untransposed; changing it silences every note, so only when needed.
    if (transposition_ != 0) player_->setTransposition(static_cast<std::int16_t>(transposition_));
  }
}

void EngineSession::setMuteMask(std::uint32_t mask) {
  muteMask_ = mask;
  if (hasOutput()) player_->setMuteMask(mask);
}

void EngineSession::setTransposition(int semitones) {
  semitones = std::clamp(semitones, -kMaxTransposition, kMaxTransposition);
  if (semitones == transposition_) return;
  transposition_ = semitones;
  if (hasOutput()) player_->setTransposition(static_cast<std::int16_t>(semitones));
}

void EngineSession::sendChannelMessage(int port, std::uint32_t message) {
  if (hasOutput() && port >= 0 && port < protocol::kPorts) player_->sendChannelMessage(port, message);
}

std::unique_ptr<core::EntryReader> EngineSession::entryReader() const {
  if (engine_) return engine_->entryReader();
  return std::make_unique<NameOnlyReader>();
}

std::array<std::string, 3> EngineSession::portNames() const {
  return coreSettings_.currentTemplate(store_).ports;
}

}  // namespace volta::app
