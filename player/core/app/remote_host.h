#pragma once
// The remote-control side of the player: the commands of a remote conversation
// reach the playing state, the panes and the list here, and one conversation may
// hold the lock that keeps the user's playback and list commands away.

#include <optional>
#include <string>

#include "player/core/app/frame_view.h"
#include "player/core/dde/dde_commands.h"

namespace volta::app {

class ListCommands;
class PaneState;
class Playback;

// Who holds the lock; only the remote host changes it, the other parts read it.
class RemoteLock {
 public:
  bool locked() const { return holder_.has_value(); }

 private:
  friend class RemoteHost;
  std::optional<dde::Conversation> holder_;
};

class RemoteHost final : public dde::DdeHost {
 public:
  RemoteHost(FrameView& view, RemoteLock& lock, Playback& playback, PaneState& panes, ListCommands& lists)
      : view_(view), lock_(lock), playback_(playback), panes_(panes), lists_(lists) {}

  bool locked() const { return lock_.locked(); }

  std::optional<dde::Conversation> lockHolder() const override { return lock_.holder_; }
  void setLockHolder(std::optional<dde::Conversation> holder) override;
  bool openFile(const std::string& name, const std::string& module) override;
  void play() override;
  void playPosition(std::uint32_t n) override;
  void stop() override;
  void pause() override;
  void resume() override;
  void togglePane(int pane) override;
  void mini() override;
  void fullScreenFromRemote() override;
  std::size_t count() const override;
  const core::MIDIFile* entryAt(std::size_t position) const override;
  std::string baseFolder() const override;
  std::string listFileName() const override;
  bool playing() const override;
  bool paused() const override;
  int position() const override;

 private:
  FrameView& view_;
  RemoteLock& lock_;
  Playback& playback_;
  PaneState& panes_;
  ListCommands& lists_;
};

}  // namespace volta::app
