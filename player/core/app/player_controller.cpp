#include "player/core/app/player_controller.h"

#include <algorithm>

#include "engine/protocol/error_messages.h"
#include "platform/clock.h"
#include "player/core/app/controller_impl.h"
#include "player/core/emulation.h"
#include "player/monitor/status_panel.h"

namespace volta::app {

namespace {

constexpr int kFirstSelectMs = 500;
constexpr int kFurtherSelectMs = 1000;
constexpr int kSelectTimerMs = 100;
constexpr int kPlayingTimerMs = 50;
constexpr int kSongStartTimerMs = 10;
constexpr int kAnimationMs = 20;
constexpr int kFastest = 4;
constexpr int kSlowest = -16;
constexpr int kMaxVolume = 127;
constexpr const char* kNoSongs = "ERROR: 曲がありません";

// The tick count has passed the deadline (the counter wraps at 2^32).
bool reached(std::uint32_t now, std::uint32_t deadline) {
  return static_cast<std::int32_t>(now - deadline) >= 0;
}

int paneOfCommand(int id) {
  switch (id) {
    case cmd::kPaneWrd:
      return kWrdPane;
    case cmd::kPaneDocument:
      return kDocumentPane;
    case cmd::kPaneList:
      return kListPane;
    case cmd::kPaneMonitor:
      return kMonitorPane;
    case cmd::kPaneWrdDebug:
      return kWrdDebugPane;
    default:
      return -2;
  }
}

// Template commands 4012, 4014, 4016, 4018 name templates 0..3; 4020 none.
std::optional<int> templateOfCommand(int id) {
  if (id == cmd::kTemplateOff) return -1;
  if (id >= cmd::kTemplate1 && id < cmd::kTemplateOff && (id - cmd::kTemplate1) % 2 == 0)
    return (id - cmd::kTemplate1) / 2;
  return std::nullopt;
}

bool isUserPlayback(int id) {
  switch (id) {
    case cmd::kPlay:
    case cmd::kStop:
    case cmd::kPause:
    case cmd::kPlayPause:
    case cmd::kFast:
    case cmd::kSlow:
    case cmd::kNext:
    case cmd::kPrevious:
    case cmd::kRepeat:
    case cmd::kSinglePlay:
    case cmd::kSingleRepeat:
      return true;
    default:
      return false;
  }
}

}  // namespace

// ---- engine and song ----

void PlayerController::Impl::readCoreSettings() {
  coreSettings = core::CoreSettings::read(store);
  coreSettings.midiTemplateMode = s.midiTemplateMode;
}

void PlayerController::Impl::makePlayer() {
  player.reset();
  if (!binding || !binding->bound() || !definitions) return;
  readCoreSettings();
  const auto devices = core::templateDevices(coreSettings.currentTemplate(store));
  player = std::make_unique<core::SongPlayer>(*binding, devices, *definitions);
  followWrd();
  if (setup) setup(*player);
  if (auto* output = player->output()) {
    output->setOptions(coreSettings.midiRate != 0, coreSettings.useReset != 0);
    output->setMasterVolume(static_cast<std::uint16_t>(std::clamp(s.lastVolume, 0, kMaxVolume)));
  }
}

// Loads and starts the entry at the position; a load error stops playing and is shown.
void PlayerController::Impl::startEntry() {
  if (!hasEngine() || !currentEntry()) return;
  player->unload();
  readCoreSettings();
  if (coreSettings.portOpenClose != 0) makePlayer();
  if (!hasEngine()) {
    stop();
    return;
  }
  player->configure(core::SongPlayerSettings::from(coreSettings, coreSettings.currentTemplate(store)));
  const auto position = static_cast<std::size_t>(st.position);
  auto& entry = list.entryAt(position);
  showEntryTitle();
  if (const int error = player->load(list.fullPathAt(position), entry); error != 0) {
    stop();
    panelTitle(protocol::errorMessage(error));
    return;
  }
  const std::uint32_t knownLength = entry.lengthMs, knownMeasures = entry.measures;
  if (coreSettings.scanLength != 0 && (knownLength == 0 || knownMeasures == 0)) panelTitle("Scanning length...");
  player->start(coreSettings, entry, st.speed, st.paused);
  if (entry.lengthMs != knownLength || entry.measures != knownMeasures) view.refreshRow(st.position);
  showEntryTitle();
  showSong(entry);
  armDisplayTimer(kSongStartTimerMs);
  view.armTimer(kAnimationTimer, kAnimationMs);
}

// The song's own fields of the panel and its panes.
void PlayerController::Impl::showSong(const core::MIDIFile& entry) {
  st.totalLength = entry.lengthMs;
  st.totalMeasures = entry.measures;
  view.setSliderRange(static_cast<int>(st.totalLength / 100));
  view.setSlider(0);
  std::error_code ignored;
  const bool script = !player->wrdSource().empty() && std::filesystem::exists(player->wrdSource(), ignored);
  view.setPanelLamp(kPanelWrdLamp, script);
  if (general.autoWrd) showWrdPane(script);
  view.setPanelLamp(kPanelDocLamp, player->documentFound());
  view.setPanelLamp(kPanelSmfkLamp, player->converted());
  view.setPanelText(kPanelModule, cp932ToUtf8(player->songModule() + player->moduleMarker()));
  showBackLight(player->songModule());
  if (const auto* status = player->status())
    view.setPanelText(kPanelFileType, std::string(monitor::fileTypeName(status->smfFormat)));
  view.setDocumentText(&player->document());
  view.setWrdDebugText(hooks.scriptText ? hooks.scriptText() : nullptr);
}

// "AutoBackLight" takes the colour the module's definition names.
void PlayerController::Impl::showBackLight(const std::string& module) {
  const std::string colour = definitions->getValue("LiquidBackLight", definitions->resolveAlias(module));
  const auto named = colour.empty() ? std::nullopt : std::optional<std::string_view>(colour);
  view.setBackLight(monitor::backLightPalette(monitor::readBackLightSettings(store), named));
}

// "Disable WRD" leaves the WRD display out of the song's way.
void PlayerController::Impl::followWrd() {
  if (player) player->setWrdFollower(s.wrdDisable ? nullptr : hooks.follower);
}

// ---- texts ----

const core::MIDIFile* PlayerController::Impl::currentEntry() const {
  if (st.position < 0 || static_cast<std::size_t>(st.position) >= list.size()) return nullptr;
  return &list.entryAt(static_cast<std::size_t>(st.position));
}

TitleState PlayerController::Impl::titleState() const {
  TitleState t;
  t.listNamed = list.listNamed;
  t.listModified = list.listModified;
  t.listFileName = list.listFileName;
  const auto* entry = currentEntry();
  t.showSong = (st.playing || !list.empty()) && entry != nullptr;
  if (t.showSong) t.songTitle = entry->title;
  t.sortMode = s.sortMode;
  t.playing = st.playing;
  t.paused = st.paused;
  t.selecting = st.selectDeadline.has_value();
  t.speed = st.speed;
  return t;
}

void PlayerController::Impl::updateTitle() {
  const TitleState t = titleState();
  view.setWindowTitle(windowTitle(t));
  view.setListFrameTitle(listFrameTitle(t));
  view.commandsChanged();
}

void PlayerController::Impl::showEntryTitle() {
  if (const auto* entry = currentEntry()) panelTitle(cp932ToUtf8(entry->title));
}

void PlayerController::Impl::resetPanel() {
  for (std::size_t item = 0; item < monitor::kStatusItemCount; ++item) {
    if (monitor::isLamp(item)) view.setPanelLamp(static_cast<int>(item), false);
  }
  for (const auto& [item, text] : monitor::stopResetTexts())
    view.setPanelText(static_cast<int>(item), std::string(text));
  view.setPanelText(kPanelModule, "");
}

// ---- playing ----

void PlayerController::Impl::clearSelection() {
  st.selectDeadline.reset();
  st.advancePending = false;
}

void PlayerController::Impl::play() {
  if (!hasEngine()) return;
  if (st.playing && songLoaded()) {
    st.speed = 0;
    player->setSpeed(0);
    player->play();
    st.paused = false;
  } else {
    const int row = view.selectedRow();
    if (row >= 0) st.position = row;
    st.position = std::max(st.position, 0);
    if (static_cast<std::size_t>(st.position) < list.size()) {
      st.playing = true;
      st.paused = false;
      st.speed = 0;
      view.showRow(st.position);
      startEntry();
    } else if (list.empty()) {
      panelTitle(kNoSongs);
    }
  }
  updateTitle();
  clearSelection();
}

void PlayerController::Impl::playPosition(std::uint32_t n) {
  if (n >= list.size()) return;
  stop();
  st.position = static_cast<int>(n);
  view.showRow(st.position);
  play();
}

void PlayerController::Impl::stop() {
  clearSelection();
  st.playing = false;
  st.paused = false;
  if (player) {
    player->pause();
    player->unload();
  }
  resetPanel();
  view.resetMonitor();
  if (!s.frameMode[kListPane] && st.savedPane >= 0) {
    selectPane(st.savedPane);
    st.savedPane = -1;
  }
  updateTitle();
  displayUpdate(true);
  if (!st.midiThruOpen) killDisplayTimer();
}

void PlayerController::Impl::setPaused(bool paused) {
  st.paused = paused;
  if (paused) {
    player->pause();
  } else {
    player->play();
  }
  updateTitle();
}

void PlayerController::Impl::togglePause() {
  if (locked() || !hasEngine()) return;
  if (st.playing) setPaused(!st.paused);
  clearSelection();
}

void PlayerController::Impl::remotePause(bool pause) {
  if (hasEngine() && st.playing && st.paused != pause) setPaused(pause);
  clearSelection();
}

void PlayerController::Impl::changeSpeed(bool faster) {
  if (!st.playing || locked() || !hasEngine()) return;
  if (st.paused) setPaused(false);
  if (faster) {
    if (st.speed < 0) st.speed = 0;
    st.speed = st.speed < kFastest ? st.speed + 1 : 1;
  } else {
    if (st.speed > 0) st.speed = 0;
    st.speed = st.speed > kSlowest ? st.speed - 1 : -1;
  }
  player->setSpeed(st.speed);
  updateTitle();
}

// Next and Previous move the position and let the choice settle before anything loads.
void PlayerController::Impl::select(bool forward) {
  if (locked() || !hasEngine() || list.empty()) return;
  const int last = static_cast<int>(list.size()) - 1;
  if (forward && st.position + 1 > last) return;
  const bool running = st.selecting();
  st.playing = true;
  if (forward) {
    ++st.position;
  } else if (running) {
    --st.position;
  }
  st.position = std::clamp(st.position, 0, last);
  view.showRow(st.position);
  showEntryTitle();
  if (songLoaded()) player->pause();
  view.refreshList();
  const std::uint32_t now = platform::millisecondCounter();
  if (!running) {
    st.selectDeadline = now + kFirstSelectMs;
  } else {
    if (!s.frameMode[kListPane] && s.windowMode >= 0 && st.savedPane == -1) {
      st.savedPane = s.windowMode;
      selectPane(kListPane);
    }
    st.selectDeadline = now + kFurtherSelectMs;
  }
  st.advancePending = false;
  updateTitle();
  armDisplayTimer(kSelectTimerMs);
}

void PlayerController::Impl::seekTo(int tenths) {
  st.sliderDragging = false;
  if (!st.playing || st.selecting() || !hasEngine() || !songLoaded()) return;
  panelTitle("Seeking...");
  player->seek(static_cast<std::uint32_t>(std::max(tenths, 0)) * 10'000u);
  if (!st.paused) player->play();
  showEntryTitle();
  displayUpdate(true);
}

// ---- timers and the display update ----

void PlayerController::Impl::armDisplayTimer(int ms) {
  displayTimerArmed = true;
  view.armTimer(kDisplayTimer, ms);
}

void PlayerController::Impl::killDisplayTimer() {
  displayTimerArmed = false;
  view.killTimer(kDisplayTimer);
}

// One-shot runs: each kills its timer first and arms it again at its end, unless the
// run itself armed it (a song that started asks for its first update sooner).
void PlayerController::Impl::timer(int id) {
  if (id == kDisplayTimer) {
    killDisplayTimer();
    displayUpdate(true);
    if (displayTimerArmed) return;
    if (st.playing || st.midiThruOpen) {
      armDisplayTimer(kPlayingTimerMs);
    } else if (st.selecting()) {
      armDisplayTimer(kSelectTimerMs);
    }
  } else if (id == kAnimationTimer) {
    view.killTimer(id);
    view.animate();
    if (st.playing) view.armTimer(kAnimationTimer, kAnimationMs);
  }
}

void PlayerController::Impl::displayUpdate(bool full) {
  if (!player) return;
  if (st.selectDeadline && reached(platform::millisecondCounter(), *st.selectDeadline)) {
    st.advancePending = true;
    st.selectDeadline.reset();
  }
  const bool shown = !view.mainWindowMinimized();
  // The poll hands the WRD display its time and starts a song whose start waited for it.
  if (full && songLoaded()) player->poll();
  const protocol::SequencerStatus* status = songLoaded() ? player->status() : nullptr;
  if (status && st.playing && shown) showCounters(*status);
  if (!full) return;
  if (status && status->error != 0) panelTitle(protocol::errorMessage(status->error));
  if (!endOfSong(status) && !songLoaded() && st.playing && !st.paused && !st.selecting()) stop();
  if (shown && player) followOutput();
}

void PlayerController::Impl::showCounters(const protocol::SequencerStatus& status) {
  const Counters c = counters(status, st.totalLength, st.totalMeasures);
  view.setPanelText(kPanelTime, c.time);
  view.setPanelText(kPanelBar, c.bar);
  view.setPanelText(kPanelBeat, c.beat);
  view.setPanelText(kPanelTicks, c.ticks);
  view.setPanelText(kPanelTempo, c.tempo);
  if (!st.sliderDragging) view.setSlider(static_cast<int>(status.songTime / 10'000));
}

// The end of a song, or a selection that was taken: what plays next. True when it ran.
bool PlayerController::Impl::endOfSong(const protocol::SequencerStatus* status) {
  const bool ended = st.playing && songLoaded() && !player->playing();
  if (!(ended || st.advancePending) || st.selectDeadline) return false;
  const int error = status ? status->error : 0;
  // An invalid event was skipped and the song went on: its end is an ordinary end.
  if (ended && error != 0 && error != protocol::kErrInvalidEvent) {
    stop();
    panelTitle(protocol::errorMessage(error));
    return true;
  }
  const bool advance = st.advancePending;
  if (!advance && !s.singleMode && !s.singleRepeatMode) ++st.position;
  if (advance) {
    if (st.savedPane >= 0 && s.windowMode == kListPane && (!s.frameMode[kListPane] || st.fullScreen))
      selectPane(st.savedPane);
    st.savedPane = -1;
  }
  const bool atEnd = static_cast<std::size_t>(st.position) >= list.size();
  if (s.singleMode && !advance) {
    stop();
  } else if (atEnd && !s.repeatMode) {
    if (st.playing) {
      st.position = 0;
      view.showRow(0);
      stop();
    }
  } else {
    if (atEnd) st.position = 0;
    view.showRow(st.position);
    startEntry();
    updateTitle();
  }
  clearSelection();
  return true;
}

void PlayerController::Impl::followOutput() {
  if (const auto* output = player->output()) {
    const protocol::OutputStatus& out = *output->status();
    view.setPanelLamp(kPanelGsLamp, out.gsReset != 0 || out.gsMode != 0);
    view.setPanelLamp(kPanelGmLamp, out.gmOn != 0);
    view.setPanelLamp(kPanelXgLamp, out.xgOn != 0);
    for (int port = 0; port < 3; ++port)
      view.setPanelLamp(kPanelPortLampA + port, out.portOpen[port] != 0);
    view.updateLcd();
  }
  if (hooks.scriptStep) {
    if (const auto step = hooks.scriptStep()) view.setWrdDebugCursor(*step);
  }
}

// ---- panes ----

void PlayerController::Impl::selectPane(int pane) {
  if (pane < kMini || pane >= kPaneCount) return;
  if (pane == kMini && s.windowMode >= 0) s.beforeWindowMode = s.windowMode;
  view.showPane(pane);
  s.windowMode = pane;
  view.commandsChanged();
}

void PlayerController::Impl::togglePane(int pane) {
  if (pane < 0 || pane >= kPaneCount) return;
  if (!s.frameMode[pane] || st.fullScreen) {
    selectPane(pane);
    return;
  }
  s.windowFlag[pane] = !s.windowFlag[pane];
  view.showFrame(pane, s.windowFlag[pane]);
  view.commandsChanged();
}

// A framed WRD pane shows or hides with the song's script; otherwise a script brings the WRD pane forward.
void PlayerController::Impl::showWrdPane(bool script) {
  if (s.frameMode[kWrdPane] && !st.fullScreen) {
    s.windowFlag[kWrdPane] = script;
    view.showFrame(kWrdPane, script);
  } else if (script && s.windowMode != kWrdPane) {
    selectPane(kWrdPane);
  }
}

void PlayerController::Impl::showListPane() {
  if (!s.frameMode[kListPane] || st.fullScreen) {
    selectPane(kListPane);
    return;
  }
  s.windowFlag[kListPane] = true;
  view.showFrame(kListPane, true);
}

void PlayerController::Impl::toggleFullScreen() {
  if (!st.fullScreen) {
    if (!view.setFullScreen(true)) return;
    st.fullScreen = true;
    if (s.windowMode >= 0) {
      s.beforeWindowMode = s.windowMode;
    } else {
      const int pane = s.beforeWindowMode;
      s.beforeWindowMode = -1;
      selectPane(pane);
    }
  } else {
    view.setFullScreen(false);
    st.fullScreen = false;
    selectPane(s.beforeWindowMode);
  }
  view.commandsChanged();
}

void PlayerController::Impl::mini() {
  if (st.fullScreen) toggleFullScreen();
  selectPane(kMini);
}

void PlayerController::Impl::fullScreenFromRemote() {
  view.activateMainWindow();
  if (!st.fullScreen) toggleFullScreen();
}

// The next (or previous) pane of the cycle that is not framed.
void PlayerController::Impl::turnPage(int step) {
  int pane = s.windowMode;
  for (int tries = 0; tries < kPaneCount; ++tries) {
    pane = ((pane + step) % kPaneCount + kPaneCount) % kPaneCount;
    if (!s.frameMode[pane]) {
      selectPane(pane);
      return;
    }
  }
}

void PlayerController::Impl::setLockHolder(std::optional<dde::Conversation> holder) {
  st.lockHolder = holder;
  view.commandsChanged();
}

// ---- commands ----

bool PlayerController::Impl::runUserPlayback(int id) {
  switch (id) {
    case cmd::kPlay:
      play();
      break;
    case cmd::kStop:
      stop();
      break;
    case cmd::kPause:
      togglePause();
      break;
    case cmd::kPlayPause:
      if (st.playing) {
        togglePause();
      } else {
        play();
      }
      break;
    case cmd::kFast:
      changeSpeed(true);
      break;
    case cmd::kSlow:
      changeSpeed(false);
      break;
    case cmd::kNext:
      select(true);
      break;
    case cmd::kPrevious:
      select(false);
      break;
    case cmd::kRepeat:
      s.repeatMode = !s.repeatMode;
      break;
    case cmd::kSinglePlay:
      s.singleMode = !s.singleMode;
      if (s.singleMode) s.singleRepeatMode = false;
      break;
    case cmd::kSingleRepeat:
      s.singleRepeatMode = !s.singleRepeatMode;
      if (s.singleRepeatMode) s.singleMode = false;
      break;
    default:
      return false;
  }
  view.commandsChanged();
  return true;
}

bool PlayerController::Impl::runModeCommand(int id) {
  if (const int pane = paneOfCommand(id); pane >= 0) {
    togglePane(pane);
    return true;
  }
  if (const auto index = templateOfCommand(id)) {
    stop();
    s.midiTemplateMode = *index;
    makePlayer();
    view.commandsChanged();
    return true;
  }
  switch (id) {
    case cmd::kMini:
      mini();
      return true;
    case cmd::kFullScreen:
      toggleFullScreen();
      return true;
    case cmd::kNextPage:
      turnPage(1);
      return true;
    case cmd::kPreviousPage:
      turnPage(-1);
      return true;
    case cmd::kMenuBar:
      s.menuDisable = !s.menuDisable;
      break;
    case cmd::kDisableWrd:
      s.wrdDisable = !s.wrdDisable;
      followWrd();
      break;
    case cmd::kLaunchExplorer:
      view.launchFileBrowser(list.baseFolder);
      return true;
    case cmd::kExit:
      view.quit();
      return true;
    default:
      return false;
  }
  view.commandsChanged();
  return true;
}

bool PlayerController::Impl::runCommand(int id) {
  if (isUserPlayback(id)) {
    // While a remote client holds the lock it alone controls playback.
    if (!locked()) runUserPlayback(id);
    return true;
  }
  return runModeCommand(id) || runListCommand(id);
}

bool PlayerController::Impl::enabled(int id) const {
  const int last = static_cast<int>(list.size()) - 1;
  switch (id) {
    case cmd::kStop:
    case cmd::kPause:
    case cmd::kFast:
    case cmd::kSlow:
      return st.playing && !locked();
    case cmd::kPrevious:
      return !list.empty() && !locked();
    case cmd::kNext:
      return list.size() > 1 && st.position < last && !locked();
    default:
      return !isUserPlayback(id) || !locked();
  }
}

bool PlayerController::Impl::checked(int id) const {
  if (const int pane = paneOfCommand(id); pane >= 0)
    return s.frameMode[pane] && !st.fullScreen ? s.windowFlag[pane] : s.windowMode == pane;
  if (const auto index = templateOfCommand(id)) return s.midiTemplateMode == *index;
  switch (id) {
    case cmd::kOrderNormal:
      return s.sortMode == core::kOrderAdded;
    case cmd::kOrderRandom:
      return s.sortMode == core::kOrderRandom;
    case cmd::kOrderFileName:
      return s.sortMode == core::kOrderFileName || s.sortMode == core::kOrderFileNameReverse;
    case cmd::kOrderTitle:
      return s.sortMode == core::kOrderTitle || s.sortMode == core::kOrderTitleReverse;
    case cmd::kSinglePlay:
      return s.singleMode;
    case cmd::kSingleRepeat:
      return s.singleRepeatMode;
    case cmd::kRepeat:
      return s.repeatMode;
    case cmd::kDisableWrd:
      return s.wrdDisable;
    case cmd::kMenuBar:
      return !s.menuDisable;
    default:
      return false;
  }
}

// ---- the public face ----

PlayerController::PlayerController(FrameView& view, platform::settings::SettingsStore& store,
                                   std::filesystem::path userDataFolder)
    : impl_(std::make_unique<Impl>(view, store, std::move(userDataFolder))) {}

PlayerController::~PlayerController() = default;

void PlayerController::readSettings() {
  migrateSettings(impl_->store);
  impl_->s = AppSettings::read(impl_->store);
  impl_->general = GeneralSettings::read(impl_->store);
}

void PlayerController::bindEngine(core::EngineBinding* binding, core::TINICritical& definitions) {
  impl_->binding = binding;
  impl_->definitions = &definitions;
  impl_->makePlayer();
}

void PlayerController::start(const CommandLine& commandLine) {
  auto& c = *impl_;
  c.stop();
  if (c.st.midiThruOpen) c.armDisplayTimer(0);
  c.view.armTimer(kAnimationTimer, kAnimationMs);
  c.selectPane(c.s.windowMode);
  switch (commandLine.kind) {
    case CommandLine::Kind::kNormal:
      c.restoreLastList();
      break;
    case CommandLine::Kind::kFile:
      if (commandLine.isListFile()) {
        c.loadListFile(commandLine.text, true);
        c.applyOrder();
        c.refreshList();
        c.updateTitle();
        c.play();
      } else {
        c.openAndPlay(commandLine.text, commandLine.module);
      }
      break;
    default:
      break;
  }
}

void PlayerController::shutDown() {
  auto& c = *impl_;
  platform::settings::SettingsBatch batch;
  c.s.addTo(batch);
  if (!c.list.empty()) c.closeList(true, &batch);
  c.store.apply(batch);
  c.stop();
  c.killDisplayTimer();
  c.view.killTimer(kAnimationTimer);
  c.player.reset();
}

void PlayerController::setWrdHooks(WrdHooks hooks) {
  impl_->hooks = std::move(hooks);
  impl_->followWrd();
}

void PlayerController::setSongPlayerSetup(std::function<void(core::SongPlayer&)> setup) {
  impl_->setup = std::move(setup);
  if (impl_->player && impl_->setup) impl_->setup(*impl_->player);
}

bool PlayerController::command(int id) {
  return impl_->runCommand(id);
}
bool PlayerController::enabled(int id) const {
  return impl_->enabled(id);
}
bool PlayerController::checked(int id) const {
  return impl_->checked(id);
}

ButtonState PlayerController::buttonState() const {
  const PlayingState& st = impl_->st;
  return {st.playing, st.speed, st.selecting(), locked(), count(), st.position};
}

void PlayerController::play() {
  impl_->play();
}
void PlayerController::playPosition(std::uint32_t position) {
  impl_->playPosition(position);
}
void PlayerController::stop() {
  impl_->stop();
}
void PlayerController::togglePause() {
  impl_->togglePause();
}
void PlayerController::pause() {
  impl_->pause();
}
void PlayerController::resume() {
  impl_->resume();
}
void PlayerController::fast() {
  impl_->changeSpeed(true);
}
void PlayerController::slow() {
  impl_->changeSpeed(false);
}
void PlayerController::next() {
  impl_->select(true);
}
void PlayerController::previous() {
  impl_->select(false);
}
void PlayerController::timer(int id) {
  impl_->timer(id);
}
void PlayerController::displayUpdate(bool full) {
  impl_->displayUpdate(full);
}

void PlayerController::idle() {
  if (!impl_->general.idleNoAct) impl_->displayUpdate(false);
}

void PlayerController::selectPane(int pane) {
  impl_->selectPane(pane);
}
void PlayerController::togglePane(int pane) {
  impl_->togglePane(pane);
}
void PlayerController::mini() {
  impl_->mini();
}
void PlayerController::toggleFullScreen() {
  impl_->toggleFullScreen();
}
void PlayerController::fullScreenFromRemote() {
  impl_->fullScreenFromRemote();
}
void PlayerController::sliderPressed() {
  impl_->st.sliderDragging = true;
}
void PlayerController::sliderReleased(int tenths) {
  impl_->seekTo(tenths);
}

void PlayerController::setMidiThruOpen(bool open) {
  impl_->st.midiThruOpen = open;
  if (open) impl_->armDisplayTimer(0);
}

void PlayerController::setVolume(int volume) {
  impl_->s.lastVolume = std::clamp(volume, 0, kMaxVolume);
  if (impl_->hasEngine()) impl_->player->output()->setMasterVolume(static_cast<std::uint16_t>(impl_->s.lastVolume));
}

void PlayerController::settingsChanged() {
  impl_->general = GeneralSettings::read(impl_->store);
}

bool PlayerController::openName(const std::string& name, const std::string& module, bool thenPlay) {
  if (!impl_->openFile(name, module)) return false;
  if (thenPlay) impl_->play();
  return true;
}

void PlayerController::drop(const std::vector<std::string>& names) {
  impl_->drop(names);
}
bool PlayerController::closeList(bool defaultSave) {
  return impl_->closeList(defaultSave, nullptr);
}
std::vector<std::string> PlayerController::albumItems() const {
  return impl_->albumItems();
}

const PlayingState& PlayerController::state() const {
  return impl_->st;
}
const AppSettings& PlayerController::settings() const {
  return impl_->s;
}
AppSettings& PlayerController::settings() {
  return impl_->s;
}
core::PlayList& PlayerController::playList() {
  return impl_->list;
}
const core::PlayList& PlayerController::playList() const {
  return impl_->list;
}
std::size_t PlayerController::count() const {
  return impl_->list.size();
}
const core::MIDIFile* PlayerController::entryAt(std::size_t position) const {
  return impl_->entryAt(position);
}
std::string PlayerController::baseFolder() const {
  return impl_->list.baseFolder;
}
std::string PlayerController::listFileName() const {
  return impl_->list.listFileName;
}
bool PlayerController::listNamed() const {
  return impl_->list.listNamed;
}
bool PlayerController::listModified() const {
  return impl_->list.listModified;
}
bool PlayerController::locked() const {
  return impl_->locked();
}
std::string PlayerController::titleText() const {
  return windowTitle(impl_->titleState());
}
core::SongPlayer* PlayerController::songPlayer() const {
  return impl_->player.get();
}
dde::DdeHost& PlayerController::ddeHost() {
  return *impl_;
}

}  // namespace volta::app
