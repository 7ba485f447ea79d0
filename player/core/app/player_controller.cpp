#include "player/core/app/player_controller.h"

#include "player/core/app/library_engine.h"
#include "player/core/core_settings.h"
#include "player/core/engine_binding.h"

namespace volta::app {

// The settings and the list are shared: the parts hold references to what they use.
struct PlayerController::Parts {
  Parts(FrameView& view, platform::settings::SettingsStore& store, std::filesystem::path userData)
      : view(view),
        store(store),
        session(store, settings),
        panes(view, settings),
        playback(view, session, settings, general, list, panes, lock),
        lists(view, store, std::move(userData), settings, general, list, session, playback, panes, lock),
        remote(view, lock, playback, panes, lists) {}

  FrameView& view;
  platform::settings::SettingsStore& store;
  AppSettings settings;
  GeneralSettings general;
  core::PlayList list;
  RemoteLock lock;
  EngineSession session;
  PaneState panes;
  Playback playback;
  ListCommands lists;
  RemoteHost remote;
};

PlayerController::PlayerController(FrameView& view, platform::settings::SettingsStore& store,
                                   std::filesystem::path userDataFolder)
    : parts_(std::make_unique<Parts>(view, store, std::move(userDataFolder))) {}

PlayerController::~PlayerController() = default;

void PlayerController::readSettings() {
  migrateSettings(parts_->store);
  parts_->settings = AppSettings::read(parts_->store);
  settingsChanged();
}

void PlayerController::bindEngine(core::EngineBinding* binding, core::TINICritical& definitions,
                                  core::LzhArchives* archives) {
  useEngine(binding && binding->bound() ? std::make_unique<LibraryEngine>(*binding, definitions, archives) : nullptr);
}

void PlayerController::useEngine(std::unique_ptr<PlayerEngine> engine) {
  parts_->session.useEngine(std::move(engine));
}

void PlayerController::start(const CommandLine& commandLine) {
  Parts& p = *parts_;
  p.lists.removeLeftovers();
  p.playback.begin();
  p.panes.selectPane(p.settings.windowMode);
  switch (commandLine.kind) {
    case CommandLine::Kind::kNormal:
      p.lists.restoreLastList();
      break;
    case CommandLine::Kind::kFile:
      if (commandLine.isListFile()) {
        p.lists.playListFile(commandLine.text);
      } else {
        p.lists.openAndPlay(commandLine.text, commandLine.module);
      }
      break;
    default:
      break;
  }
}

void PlayerController::keep() {
  Parts& p = *parts_;
  platform::settings::SettingsBatch batch;
  p.settings.addTo(batch);
  p.lists.keep(batch);
  const bool kept = p.store.apply(batch);
  if (!kept && !keepFailed_)
    p.view.message("Settings - VOLTA Player", "Cannot save the settings to " + p.store.path().string());
  keepFailed_ = !kept;
  if (const auto aside = p.store.takeSetAside())
    p.view.message("Settings - VOLTA Player",
                   "The settings file could not be read whole; it was set aside as " + aside->string());
}

void PlayerController::shutDown() {
  Parts& p = *parts_;
  platform::settings::SettingsBatch batch;
  p.settings.addTo(batch);
  if (!p.list.empty()) p.lists.closeList(true, &batch);
  p.store.apply(batch);
  p.playback.end();
}

void PlayerController::setWrdHooks(WrdHooks hooks) {
  parts_->session.setWrdHooks(std::move(hooks));
}

void PlayerController::setSongPlayerSetup(std::function<void(core::SongPlayer&)> setup) {
  parts_->session.setSongPlayerSetup(std::move(setup));
}

bool PlayerController::command(int id) {
  Parts& p = *parts_;
  if (id == cmd::kExit) {
    p.view.quit();
    return true;
  }
  const bool done = p.playback.command(id) || p.panes.command(id) || p.lists.command(id);
  if (id == cmd::kDisableWrd) p.session.followWrd();
  return done;
}

bool PlayerController::enabled(int id) const {
  return parts_->playback.enabled(id);
}

bool PlayerController::checked(int id) const {
  const Parts& p = *parts_;
  return p.playback.checked(id) || p.panes.checked(id) || p.lists.checked(id);
}

void PlayerController::settingsChanged() {
  Parts& p = *parts_;
  p.general = GeneralSettings::read(p.store);
  p.session.setNoWrd(p.general.noWrd);
  // The template in use is kept at exit: a configured one must not be overwritten by the old.
  p.settings.midiTemplateMode = core::readMidiTemplateMode(p.store);
  p.view.commandsChanged();
}

EngineSession& PlayerController::session() {
  return parts_->session;
}
const EngineSession& PlayerController::session() const {
  return parts_->session;
}
Playback& PlayerController::playback() {
  return parts_->playback;
}
const Playback& PlayerController::playback() const {
  return parts_->playback;
}
PaneState& PlayerController::panes() {
  return parts_->panes;
}
const PaneState& PlayerController::panes() const {
  return parts_->panes;
}
ListCommands& PlayerController::lists() {
  return parts_->lists;
}
const ListCommands& PlayerController::lists() const {
  return parts_->lists;
}
RemoteHost& PlayerController::remote() {
  return parts_->remote;
}
const RemoteHost& PlayerController::remote() const {
  return parts_->remote;
}
const AppSettings& PlayerController::settings() const {
  return parts_->settings;
}
AppSettings& PlayerController::settings() {
  return parts_->settings;
}

}  // namespace volta::app
