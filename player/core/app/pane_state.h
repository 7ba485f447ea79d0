#pragma once
// Which pane the main window shows, the framed panes' own windows, mini and full
// screen, the menu bar and WRD switches, and the titles of the main window and of
// the list's frame.

#include <optional>

#include "player/core/app/app_settings.h"
#include "player/core/app/display_texts.h"
#include "player/core/app/frame_view.h"

namespace volta::app {

class PaneState {
 public:
  PaneState(FrameView& view, AppSettings& settings) : view_(view), s_(settings) {}

  // A pane into the main window (kMini: none); the pane shown before mini is kept.
  void selectPane(int pane);
  // A framed pane's window shows or hides; an unframed pane comes into the main window.
  void togglePane(int pane);
  // A framed WRD pane shows or hides with the song's script; otherwise a script brings the WRD pane
  // forward, and with `giveBack` a song without one brings back the pane it replaced.
  void showWrdPane(bool script, bool giveBack = false);
  void showListPane();
  void toggleFullScreen();
  void mini();
  // The remote "FullScreen": the main window comes forward and full screen goes on.
  void fullScreenFromRemote();
  bool fullScreen() const { return fullScreen_; }

  void showTitle(const TitleState& title);

  // The pane, page, mini, full-screen, menu-bar and WRD-switch commands; false for others.
  bool command(int id);
  bool checked(int id) const;

 private:
  void turnPage(int step);

  FrameView& view_;
  AppSettings& s_;
  bool fullScreen_ = false;
  std::optional<int> replacedByWrd_;
};

}  // namespace volta::app
