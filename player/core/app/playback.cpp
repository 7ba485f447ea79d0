#include "player/core/app/playback.h"

#include <algorithm>

#include "engine/protocol/error_messages.h"
#include "platform/clock.h"
#include "player/core/app/command_ids.h"
#include "player/core/app/pane_state.h"
#include "player/core/app/remote_host.h"

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
constexpr const char* kNoSongs = "ERROR: 曲がありません";

// The tick count has passed the deadline (the counter wraps at 2^32).
bool reached(std::uint32_t now, std::uint32_t deadline) {
  return static_cast<std::int32_t>(now - deadline) >= 0;
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

Playback::Playback(FrameView& view, EngineSession& session, AppSettings& settings, const GeneralSettings& general,
                   core::PlayList& list, PaneState& panes, const RemoteLock& lock)
    : view_(view),
      session_(session),
      s_(settings),
      general_(general),
      list_(list),
      panes_(panes),
      lock_(lock),
      panel_(view) {}

// ---- the song ----

void Playback::begin() {
  stop();
  warnMissingPorts();
  if (st_.midiThruOpen) armDisplayTimer(0);
  view_.armTimer(kAnimationTimer, kAnimationMs);
}

void Playback::end() {
  stop();
  killDisplayTimer();
  view_.killTimer(kAnimationTimer);
  session_.closePlayer();
}

// Loads and starts the entry at the position; a load error stops playing and is shown.
void Playback::startEntry() {
  if (!hasEngine() || !currentEntry()) return;
  session_.player()->unload();
  resetSongDisplays();
  // Ports and output options changed in the settings take effect with the next song.
  if (session_.readCoreSettings().portOpenClose != 0 || session_.outputStale()) session_.makePlayer();
  warnMissingPorts();
  if (!hasEngine()) {
    stop();
    return;
  }
  EnginePlayer& player = *session_.player();
  player.configure(session_.songSettings());
  const auto position = static_cast<std::size_t>(st_.position);
  auto& entry = list_.entryAt(position);
  showEntryTitle();
  if (const int error = player.load(list_.fullPathAt(position), entry); error != 0) {
    stop();
    panel_.showTitle(protocol::errorMessage(error));
    return;
  }
  const std::uint32_t knownLength = entry.lengthMs, knownMeasures = entry.measures;
  const core::CoreSettings& settings = session_.coreSettings();
  if (settings.scanLength != 0 && (knownLength == 0 || knownMeasures == 0)) panel_.showTitle("Scanning length...");
  player.start(settings, entry, st_.speed, st_.paused);
  warnWithoutOutput();
  if (entry.lengthMs != knownLength || entry.measures != knownMeasures) view_.refreshRow(st_.position);
  showEntryTitle();
  showSong(entry);
  armDisplayTimer(kSongStartTimerMs);
  view_.armTimer(kAnimationTimer, kAnimationMs);
}

// The song's own fields of the panel and its panes.
void Playback::showSong(const core::MIDIFile& entry) {
  st_.totalLength = entry.lengthMs;
  st_.totalMeasures = entry.measures;
  view_.setSliderRange(static_cast<int>(st_.totalLength / 100));
  view_.setSlider(0);
  const EnginePlayer& player = *session_.player();
  std::error_code ignored;
  const bool script =
      !general_.noWrd && !player.wrdSource().empty() && std::filesystem::exists(player.wrdSource(), ignored);
  panel_.showSong(player, script);
  view_.setBackLight(session_.backLight());
  if (general_.autoWrd) panes_.showWrdPane(script, general_.autoWrd2);
  view_.setDocumentText(&player.document());
  const WrdHooks& hooks = session_.wrdHooks();
  view_.setWrdDebugText(hooks.scriptText ? hooks.scriptText() : nullptr);
}

// A port whose device is not there plays on the software synthesizer: the user is told which.
void Playback::warnMissingPorts() {
  const auto missing = session_.takeMissingPorts();
  // Without any open port the notice of no output names the ports instead.
  if (!missing || !anyPortOpen()) return;
  std::string text;
  for (std::size_t port = 0; port < missing->size(); ++port) {
    if ((*missing)[port].empty()) continue;
    text += std::string("Port ") + char('A' + port) + ": \"" + (*missing)[port] + "\" is not connected.\n";
  }
  view_.message("MIDI ports - VOLTA Player",
                text +
                    "The software synthesizer plays in its place (when there is one). Choose another device in "
                    "Settings > MIDI setting.");
}

// A song that cannot sound says why, once a run: none of the template's ports opened.
bool Playback::anyPortOpen() const {
  const protocol::OutputStatus* output = session_.player() ? session_.player()->outputStatus() : nullptr;
  return output &&
         std::any_of(std::begin(output->portOpen), std::end(output->portOpen), [](auto open) { return open != 0; });
}

void Playback::warnWithoutOutput() {
  if (outputWarned_ || !session_.player() || !session_.player()->outputStatus() || anyPortOpen()) return;
  outputWarned_ = true;
  const auto ports = session_.portNames();
  view_.noOutput(std::vector<std::string>(ports.begin(), ports.end()));
}

// Nothing of the last song stays on screen: counters, lamps, module, slider, WRD drawings.
void Playback::resetSongDisplays() {
  panel_.reset();
  view_.setSliderRange(0);
  view_.setSlider(0);
  view_.resetWrdScreen();
}

// ---- texts ----

const core::MIDIFile* Playback::currentEntry() const {
  if (st_.position < 0 || static_cast<std::size_t>(st_.position) >= list_.size()) return nullptr;
  return &list_.entryAt(static_cast<std::size_t>(st_.position));
}

TitleState Playback::titleState() const {
  TitleState t;
  t.listNamed = list_.listNamed;
  t.listModified = list_.listModified;
  t.listFileName = list_.listFileName;
  const auto* entry = currentEntry();
  t.showSong = (st_.playing || !list_.empty()) && entry != nullptr;
  if (t.showSong) t.songTitle = entry->title;
  t.sortMode = s_.sortMode;
  t.playing = st_.playing;
  t.paused = st_.paused;
  t.selecting = st_.selectDeadline.has_value();
  t.speed = st_.speed;
  return t;
}

void Playback::updateTitle() {
  panes_.showTitle(titleState());
}

void Playback::showEntryTitle() {
  if (const auto* entry = currentEntry()) panel_.showTitle(cp932ToUtf8(entry->title));
}

// ---- playing ----

void Playback::clearSelection() {
  st_.selectDeadline.reset();
  st_.advancePending = false;
}

void Playback::play() {
  if (!hasEngine()) return;
  if (st_.playing && songLoaded()) {
    st_.speed = 0;
    session_.player()->setSpeed(0);
    session_.player()->play();
    st_.paused = false;
  } else {
    const int row = view_.selectedRow();
    if (row >= 0) st_.position = row;
    st_.position = std::max(st_.position, 0);
    if (static_cast<std::size_t>(st_.position) < list_.size()) {
      st_.playing = true;
      st_.paused = false;
      st_.speed = 0;
      view_.showRow(st_.position);
      startEntry();
    } else if (list_.empty()) {
      panel_.showTitle(kNoSongs);
    }
  }
  updateTitle();
  clearSelection();
}

void Playback::playPosition(std::uint32_t position) {
  if (position >= list_.size()) return;
  stop();
  st_.position = static_cast<int>(position);
  view_.showRow(st_.position);
  play();
}

void Playback::stop() {
  clearSelection();
  st_.playing = false;
  st_.paused = false;
  if (auto* player = session_.player()) {
    player->pause();
    player->unload();
  }
  resetSongDisplays();
  view_.resetMonitor();
  if (!s_.frameMode[kListPane] && st_.savedPane >= 0) {
    panes_.selectPane(st_.savedPane);
    st_.savedPane = -1;
  }
  updateTitle();
  displayUpdate(true);
  if (!st_.midiThruOpen) killDisplayTimer();
}

void Playback::setPaused(bool paused) {
  st_.paused = paused;
  if (paused) {
    session_.player()->pause();
  } else {
    session_.player()->play();
  }
  updateTitle();
}

void Playback::togglePause() {
  if (lock_.locked() || !hasEngine()) return;
  if (st_.playing) setPaused(!st_.paused);
  clearSelection();
}

void Playback::pause() {
  remotePause(true);
}

void Playback::resume() {
  remotePause(false);
}

void Playback::remotePause(bool pause) {
  if (hasEngine() && st_.playing && st_.paused != pause) setPaused(pause);
  clearSelection();
}

void Playback::changeSpeed(bool faster) {
  if (!st_.playing || lock_.locked() || !hasEngine()) return;
  if (st_.paused) setPaused(false);
  if (faster) {
    if (st_.speed < 0) st_.speed = 0;
    st_.speed = st_.speed < kFastest ? st_.speed + 1 : 1;
  } else {
    if (st_.speed > 0) st_.speed = 0;
    st_.speed = st_.speed > kSlowest ? st_.speed - 1 : -1;
  }
  session_.player()->setSpeed(st_.speed);
  updateTitle();
}

// Next and Previous move the position and let the choice settle before anything loads.
void Playback::select(bool forward) {
  if (lock_.locked() || !hasEngine() || list_.empty()) return;
  const int last = static_cast<int>(list_.size()) - 1;
  if (forward && st_.position + 1 > last) return;
  const bool running = st_.selecting();
  st_.playing = true;
  if (forward) {
    ++st_.position;
  } else if (running) {
    --st_.position;
  }
  st_.position = std::clamp(st_.position, 0, last);
  view_.showRow(st_.position);
  showEntryTitle();
  if (songLoaded()) session_.player()->pause();
  view_.refreshList();
  const std::uint32_t now = platform::millisecondCounter();
  if (!running) {
    st_.selectDeadline = now + kFirstSelectMs;
  } else {
    if (!s_.frameMode[kListPane] && s_.windowMode >= 0 && st_.savedPane == -1) {
      st_.savedPane = s_.windowMode;
      panes_.selectPane(kListPane);
    }
    st_.selectDeadline = now + kFurtherSelectMs;
  }
  st_.advancePending = false;
  updateTitle();
  armDisplayTimer(kSelectTimerMs);
}

void Playback::sliderReleased(int tenths) {
  st_.sliderDragging = false;
  if (!st_.playing || st_.selecting() || !hasEngine() || !songLoaded()) return;
  panel_.showTitle("Seeking...");
  session_.player()->seek(static_cast<std::uint32_t>(std::max(tenths, 0)) * 10'000u);
  if (!st_.paused) session_.player()->play();
  showEntryTitle();
  displayUpdate(true);
}

void Playback::setMidiThruOpen(bool open) {
  st_.midiThruOpen = open;
  if (open) armDisplayTimer(0);
}

void Playback::setVolume(int volume) {
  s_.lastVolume = std::clamp(volume, 0, kMaxVolume);
  if (hasEngine()) session_.player()->setMasterVolume(static_cast<std::uint16_t>(s_.lastVolume));
}

// ---- timers and the display update ----

void Playback::armDisplayTimer(int ms) {
  displayTimerArmed_ = true;
  view_.armTimer(kDisplayTimer, ms);
}

void Playback::killDisplayTimer() {
  displayTimerArmed_ = false;
  view_.killTimer(kDisplayTimer);
}

// One-shot runs: each kills its timer first and arms it again at its end, unless the
// run itself armed it (a song that started asks for its first update sooner).
void Playback::timer(int id) {
  if (id == kDisplayTimer) {
    killDisplayTimer();
    displayUpdate(true);
    if (displayTimerArmed_) return;
    if (st_.playing || st_.midiThruOpen) {
      armDisplayTimer(kPlayingTimerMs);
    } else if (st_.selecting()) {
      armDisplayTimer(kSelectTimerMs);
    }
  } else if (id == kAnimationTimer) {
    view_.killTimer(id);
    view_.animate();
    if (st_.playing) view_.armTimer(kAnimationTimer, kAnimationMs);
  }
}

void Playback::displayUpdate(bool full) {
  if (!session_.player()) return;
  if (st_.selectDeadline && reached(platform::millisecondCounter(), *st_.selectDeadline)) {
    st_.advancePending = true;
    st_.selectDeadline.reset();
  }
  const bool shown = !view_.mainWindowMinimized();
  // The poll hands the WRD display its time and starts a song whose start waited for it.
  if (full && songLoaded()) session_.player()->poll();
  const protocol::SequencerStatus* status = songLoaded() ? session_.player()->status() : nullptr;
  if (status && st_.playing && shown) {
    panel_.showCounters(*status, st_.totalLength, st_.totalMeasures);
    if (!st_.sliderDragging) view_.setSlider(static_cast<int>(status->songTime / 10'000));
  }
  if (!full) return;
  if (status && status->error != 0) panel_.showTitle(protocol::errorMessage(status->error));
  if (!endOfSong(status) && !songLoaded() && st_.playing && !st_.paused && !st_.selecting()) stop();
  if (shown && session_.player()) followOutput();
}

void Playback::idle() {
  if (!general_.idleNoAct) displayUpdate(false);
}

// The end of a song, or a selection that was taken: what plays next. True when it ran.
bool Playback::endOfSong(const protocol::SequencerStatus* status) {
  const bool ended = st_.playing && songLoaded() && !session_.player()->playing();
  if (!(ended || st_.advancePending) || st_.selectDeadline) return false;
  const int error = status ? status->error : 0;
  // An invalid event was skipped and the song went on: its end is an ordinary end.
  if (ended && error != 0 && error != protocol::kErrInvalidEvent) {
    stop();
    panel_.showTitle(protocol::errorMessage(error));
    return true;
  }
  const bool advance = st_.advancePending;
  if (!advance && !s_.singleMode && !s_.singleRepeatMode) ++st_.position;
  if (advance) {
    if (st_.savedPane >= 0 && s_.windowMode == kListPane && (!s_.frameMode[kListPane] || panes_.fullScreen()))
      panes_.selectPane(st_.savedPane);
    st_.savedPane = -1;
  }
  const bool atEnd = static_cast<std::size_t>(st_.position) >= list_.size();
  if (s_.singleMode && !advance) {
    stop();
  } else if (atEnd && !s_.repeatMode) {
    if (st_.playing) {
      st_.position = 0;
      view_.showRow(0);
      stop();
    }
  } else {
    if (atEnd) st_.position = 0;
    view_.showRow(st_.position);
    startEntry();
    updateTitle();
  }
  clearSelection();
  return true;
}

void Playback::followOutput() {
  if (const auto* output = session_.player()->outputStatus()) panel_.showOutput(*output);
  if (session_.wrdHooks().scriptStep) {
    if (const auto step = session_.wrdHooks().scriptStep()) view_.setWrdDebugCursor(*step);
  }
}

// ---- commands ----

bool Playback::command(int id) {
  if (id == cmd::kReinitialiseWithReset || id == cmd::kReinitialiseWithoutReset) {
    reinitialise(id == cmd::kReinitialiseWithReset);
    return true;
  }
  if (!isUserPlayback(id)) return chooseTemplate(id);
  // While a remote client holds the lock it alone controls playback.
  if (!lock_.locked()) runUserPlayback(id);
  return true;
}

bool Playback::runUserPlayback(int id) {
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
      if (st_.playing) {
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
      s_.repeatMode = !s_.repeatMode;
      break;
    case cmd::kSinglePlay:
      s_.singleMode = !s_.singleMode;
      if (s_.singleMode) s_.singleRepeatMode = false;
      break;
    case cmd::kSingleRepeat:
      s_.singleRepeatMode = !s_.singleRepeatMode;
      if (s_.singleRepeatMode) s_.singleMode = false;
      break;
    default:
      return false;
  }
  view_.commandsChanged();
  return true;
}

// A template command stops and opens the output again on that template's ports.
bool Playback::chooseTemplate(int id) {
  const auto index = templateOfCommand(id);
  if (!index) return false;
  s_.midiTemplateMode = *index;
  reinitialise(true);
  warnMissingPorts();
  return true;
}

// A new output on the current template's ports with the settings as they are now; with a
// reset every port's controllers return to their power-on values too.
void Playback::reinitialise(bool reset) {
  stop();
  session_.makePlayer();
  if (reset && session_.player()) session_.player()->resetPorts();
  view_.commandsChanged();
}

bool Playback::enabled(int id) const {
  const int last = static_cast<int>(list_.size()) - 1;
  const bool locked = lock_.locked();
  switch (id) {
    case cmd::kStop:
    case cmd::kPause:
    case cmd::kFast:
    case cmd::kSlow:
      return st_.playing && !locked;
    case cmd::kPrevious:
      return !list_.empty() && !locked;
    case cmd::kNext:
      return list_.size() > 1 && st_.position < last && !locked;
    default:
      return !isUserPlayback(id) || !locked;
  }
}

bool Playback::checked(int id) const {
  if (const auto index = templateOfCommand(id)) return s_.midiTemplateMode == *index;
  switch (id) {
    case cmd::kSinglePlay:
      return s_.singleMode;
    case cmd::kSingleRepeat:
      return s_.singleRepeatMode;
    case cmd::kRepeat:
      return s_.repeatMode;
    default:
      return false;
  }
}

ButtonState Playback::buttonState() const {
  return {st_.playing, st_.speed, st_.selecting(), lock_.locked(), list_.size(), st_.position};
}

}  // namespace volta::app
