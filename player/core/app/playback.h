#pragma once
// The playing state: play, pause, speed and the settling selection of Next and
// Previous, the two display timers with the end-of-song logic that chooses what
// plays next. The song player is the engine session's; the song's fields of the
// status panel are written through SongPanel.

#include <cstdint>
#include <optional>
#include <string>

#include "player/core/app/app_settings.h"
#include "player/core/app/button_row.h"
#include "player/core/app/display_texts.h"
#include "player/core/app/engine_session.h"
#include "player/core/app/frame_view.h"
#include "player/core/app/song_panel.h"
#include "player/core/playlist/playlist.h"

namespace volta::app {

class PaneState;
class RemoteLock;

// The playing state that is not a setting.
struct PlayingState {
  int savedPane = -1;  // pane replaced by the list during a song selection
  bool playing = false;
  bool paused = false;
  int speed = 0;
  int position = 0;
  std::optional<std::uint32_t> selectDeadline;  // tick count at which a selection is taken
  bool advancePending = false;
  bool midiThruOpen = false;
  bool sliderDragging = false;
  std::uint32_t totalLength = 0;  // ms
  std::uint32_t totalMeasures = 0;

  bool selecting() const { return selectDeadline.has_value() || advancePending; }
};

class Playback {
 public:
  // The list is read (and its entries learn their lengths) but never reordered here.
  Playback(FrameView& view, EngineSession& session, AppSettings& settings, const GeneralSettings& general,
           core::PlayList& list, PaneState& panes, const RemoteLock& lock);
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;

  // Stop, then the timers of a started program.
  void begin();
  // Stop, the timers off and the song player closed.
  void end();

  void play();
  // Stop, the position, Play; positions beyond the list are ignored.
  void playPosition(std::uint32_t position);
  void stop();
  void togglePause();
  void pause();   // the remote "Pause": ends a selection, pauses a playing song
  void resume();  // the remote "Resume"
  void fast() { changeSpeed(true); }
  void slow() { changeSpeed(false); }
  void next() { select(true); }
  void previous() { select(false); }

  // The view calls this once when timer kDisplayTimer or kAnimationTimer expires.
  void timer(int id);
  // The display update; full detail from timer 0 and after Stop, basic from idle time.
  void displayUpdate(bool full);
  // Idle time of the message loop with one of the player's windows active.
  void idle();

  void sliderPressed() { st_.sliderDragging = true; }
  void sliderReleased(int tenths);
  void setMidiThruOpen(bool open);
  void setVolume(int volume);

  // The user's playback commands and the MIDI template choice; false for others.
  bool command(int id);
  bool enabled(int id) const;
  bool checked(int id) const;
  // What the button bar shows and allows now.
  ButtonState buttonState() const;

  const PlayingState& state() const { return st_; }
  void setPosition(int position) { st_.position = position; }
  TitleState titleState() const;
  void updateTitle();

 private:
  bool hasEngine() const { return session_.hasOutput(); }
  bool songLoaded() const { return session_.songLoaded(); }
  void startEntry();
  void showSong(const core::MIDIFile& entry);
  void resetSongDisplays();
  void warnWithoutOutput();
  void warnMissingPorts();
  bool anyPortOpen() const;
  const core::MIDIFile* currentEntry() const;
  void showEntryTitle();

  void clearSelection();
  void setPaused(bool paused);
  void remotePause(bool pause);
  void changeSpeed(bool faster);
  void select(bool forward);
  bool runUserPlayback(int id);
  bool chooseTemplate(int id);
  void reinitialise(bool reset);

  void armDisplayTimer(int ms);
  void killDisplayTimer();
  bool endOfSong(const protocol::SequencerStatus* status);
  void followOutput();

  FrameView& view_;
  EngineSession& session_;
  AppSettings& s_;
  const GeneralSettings& general_;
  core::PlayList& list_;
  PaneState& panes_;
  const RemoteLock& lock_;

  SongPanel panel_;
  PlayingState st_;
  bool displayTimerArmed_ = false;
  bool outputWarned_ = false;
};

}  // namespace volta::app
