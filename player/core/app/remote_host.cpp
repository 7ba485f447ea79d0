#include "player/core/app/remote_host.h"

#include "player/core/app/list_commands.h"
#include "player/core/app/pane_state.h"
#include "player/core/app/playback.h"

namespace volta::app {

void RemoteHost::setLockHolder(std::optional<dde::Conversation> holder) {
  lock_.holder_ = holder;
  view_.commandsChanged();
}

bool RemoteHost::openFile(const std::string& name, const std::string& module) {
  return lists_.openName(name, module, false);
}

void RemoteHost::play() {
  playback_.play();
}

void RemoteHost::playPosition(std::uint32_t n) {
  playback_.playPosition(n);
}

void RemoteHost::stop() {
  playback_.stop();
}

void RemoteHost::pause() {
  playback_.pause();
}

void RemoteHost::resume() {
  playback_.resume();
}

void RemoteHost::togglePane(int pane) {
  panes_.togglePane(pane);
}

void RemoteHost::mini() {
  panes_.mini();
}

void RemoteHost::fullScreenFromRemote() {
  panes_.fullScreenFromRemote();
}

std::size_t RemoteHost::count() const {
  return lists_.count();
}

const core::MIDIFile* RemoteHost::entryAt(std::size_t position) const {
  return lists_.entryAt(position);
}

std::string RemoteHost::baseFolder() const {
  return lists_.baseFolder();
}

std::string RemoteHost::listFileName() const {
  return lists_.listFileName();
}

bool RemoteHost::playing() const {
  return playback_.state().playing;
}

bool RemoteHost::paused() const {
  return playback_.state().paused;
}

int RemoteHost::position() const {
  return playback_.state().position;
}

}  // namespace volta::app
