#include "player/core/app/pane_state.h"

#include <utility>

#include "player/core/app/command_ids.h"

namespace volta::app {

namespace {

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

}  // namespace

void PaneState::selectPane(int pane) {
  if (pane < kMini || pane >= kPaneCount) return;
  if (pane == kMini && s_.windowMode >= 0) s_.beforeWindowMode = s_.windowMode;
  view_.showPane(pane);
  s_.windowMode = pane;
  view_.commandsChanged();
}

void PaneState::togglePane(int pane) {
  if (pane < 0 || pane >= kPaneCount) return;
  if (!s_.frameMode[pane] || fullScreen_) {
    selectPane(pane);
    return;
  }
  s_.windowFlag[pane] = !s_.windowFlag[pane];
  view_.showFrame(pane, s_.windowFlag[pane]);
  view_.commandsChanged();
}

void PaneState::showWrdPane(bool script, bool giveBack) {
  if (s_.frameMode[kWrdPane] && !fullScreen_) {
    s_.windowFlag[kWrdPane] = script;
    view_.showFrame(kWrdPane, script);
  } else if (script && s_.windowMode != kWrdPane) {
    replacedByWrd_ = s_.windowMode;
    selectPane(kWrdPane);
  } else if (!script && giveBack && s_.windowMode == kWrdPane && replacedByWrd_) {
    selectPane(*std::exchange(replacedByWrd_, std::nullopt));
  }
}

void PaneState::showListPane() {
  if (!s_.frameMode[kListPane] || fullScreen_) {
    selectPane(kListPane);
    return;
  }
  s_.windowFlag[kListPane] = true;
  view_.showFrame(kListPane, true);
}

void PaneState::toggleFullScreen() {
  if (!fullScreen_) {
    if (!view_.setFullScreen(true)) return;
    fullScreen_ = true;
    if (s_.windowMode >= 0) {
      s_.beforeWindowMode = s_.windowMode;
    } else {
      const int pane = s_.beforeWindowMode;
      s_.beforeWindowMode = -1;
      selectPane(pane);
    }
  } else {
    view_.setFullScreen(false);
    fullScreen_ = false;
    selectPane(s_.beforeWindowMode);
  }
  view_.commandsChanged();
}

void PaneState::mini() {
  if (fullScreen_) toggleFullScreen();
  selectPane(kMini);
}

void PaneState::fullScreenFromRemote() {
  view_.activateMainWindow();
  if (!fullScreen_) toggleFullScreen();
}

// The next (or previous) pane of the cycle that is not framed.
void PaneState::turnPage(int step) {
  int pane = s_.windowMode;
  for (int tries = 0; tries < kPaneCount; ++tries) {
    pane = ((pane + step) % kPaneCount + kPaneCount) % kPaneCount;
    if (!s_.frameMode[pane]) {
      selectPane(pane);
      return;
    }
  }
}

void PaneState::showTitle(const TitleState& title) {
  view_.setWindowTitle(windowTitle(title));
  view_.setListFrameTitle(listFrameTitle(title));
  view_.commandsChanged();
}

bool PaneState::command(int id) {
  if (const int pane = paneOfCommand(id); pane >= 0) {
    togglePane(pane);
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
      s_.menuDisable = !s_.menuDisable;
      break;
    case cmd::kDisableWrd:
      s_.wrdDisable = !s_.wrdDisable;
      break;
    default:
      return false;
  }
  view_.commandsChanged();
  return true;
}

bool PaneState::checked(int id) const {
  if (const int pane = paneOfCommand(id); pane >= 0)
    return s_.frameMode[pane] && !fullScreen_ ? s_.windowFlag[pane] : s_.windowMode == pane;
  switch (id) {
    case cmd::kDisableWrd:
      return s_.wrdDisable;
    case cmd::kMenuBar:
      return !s_.menuDisable;
    default:
      return false;
  }
}

}  // namespace volta::app
