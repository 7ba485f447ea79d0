#pragma once
// A remote-control host that keeps a small list and records what the commands asked of it.

#include <string>
#include <vector>

#include "player/core/dde/dde_commands.h"
#include "player/core/midi_file.h"

namespace volta::dde::test {

class FakeDdeHost : public DdeHost {
 public:
  std::vector<MIDIFile> entries;
  std::vector<std::string> calls;
  std::optional<Conversation> lock;
  bool isPlaying = false;
  bool isPaused = false;
  int current = 0;
  bool closeCancelled = false;
  std::string base;
  std::string list;

  // Entries titled "Song 0", "Song 1", ... with relative names "\\SONG0.MID", ...
  void addSongs(int n) {
    for (int i = 0; i < n; ++i) {
      MIDIFile entry;
      entry.fileName = "\\SONG" + std::to_string(i) + ".MID";
      entry.title = "Song " + std::to_string(i);
      entry.lengthMs = 60000u + static_cast<std::uint32_t>(i);
      entries.push_back(entry);
    }
  }

  std::optional<Conversation> lockHolder() const override { return lock; }
  void setLockHolder(std::optional<Conversation> holder) override { lock = holder; }
  bool openFile(const std::string& name, const std::string& module) override {
    calls.push_back("openFile(" + name + "|" + module + ")");
    return !closeCancelled;
  }
  void play() override { calls.push_back("play"); }
  void playPosition(std::uint32_t n) override { calls.push_back("playPosition(" + std::to_string(n) + ")"); }
  void stop() override { calls.push_back("stop"); }
  void pause() override { calls.push_back("pause"); }
  void resume() override { calls.push_back("resume"); }
  void togglePane(int pane) override { calls.push_back("togglePane(" + std::to_string(pane) + ")"); }
  void mini() override { calls.push_back("mini"); }
  void fullScreenFromRemote() override { calls.push_back("fullScreen"); }
  std::size_t count() const override { return entries.size(); }
  const MIDIFile* entryAt(std::size_t position) const override {
    return position < entries.size() ? &entries[position] : nullptr;
  }
  std::string baseFolder() const override { return base; }
  std::string listFileName() const override { return list; }
  bool playing() const override { return isPlaying; }
  bool paused() const override { return isPaused; }
  int position() const override { return current; }
};

}  // namespace volta::dde::test
