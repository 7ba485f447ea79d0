#pragma once
// A progress display that keeps what it was shown, for the tests that add songs.

#include <string>
#include <vector>

#include "player/core/playlist/list_opening.h"

namespace volta::core::testing {

class RecordingProgress : public AddProgress {
 public:
  std::vector<std::string> sources, songs;
  std::string messages, finished;
  void showSource(const std::string& name) override { sources.push_back(name); }
  void showSong(const std::string& name) override { songs.push_back(name); }
  void appendMessage(const std::string& text) override { messages += text; }
  void finish(const std::string& text) override { finished = text; }
};

}  // namespace volta::core::testing
