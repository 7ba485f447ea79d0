#pragma once
// The WRD window as the song player's display: opens each song's script (with the fallbacks
// to DEFAULT.WRD and the built-in script), starts it again when the song does and runs it
// in step with the song on every display tick.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

#include "engine/protocol/records.h"
#include "player/core/song_player.h"
#include "player/shell/wrd/wrd_window.h"

namespace volta::shell {

inline constexpr const char* kDefaultScriptName = "DEFAULT.WRD";

class WrdDisplay final : public core::WrdFollower {
 public:
  // The status block whose measure table the script waits on; null while there is no song.
  // It is read on every tick, because the engine fills the table as the song plays.
  using StatusSource = std::function<const protocol::SequencerStatus*()>;

  explicit WrdDisplay(TWRDWindow& window);

  // Where DEFAULT.WRD and the scripts' fallback fonts are looked for.
  void setProgramDirectory(const std::filesystem::path& directory);

  // Opens `script`; when it cannot be loaded, DEFAULT.WRD and then the built-in script, both
  // without the measure table and with the title as memo when there is none. True when the
  // song's own script was loaded.
  bool open(const std::filesystem::path& script, std::string_view title, std::string_view memo, StatusSource status);
  // The same for the song the player has loaded.
  bool openForSong(const core::SongPlayer& player);
  // The screen before any song: DEFAULT.WRD (or the built-in script) run to its first wait.
  void showDefault();
  bool ownScript() const { return ownScript_; }

  void restart(std::uint16_t timeBase) override;
  bool follow(const Position& position) override;

  // For the script pane: the script, where the interpreter is and where its step began.
  const wrd::ScriptBuffer& script() const { return window_.interpreter().script(); }
  std::size_t cursor() const { return window_.interpreter().cursor(); }
  std::size_t commandStart() const { return window_.interpreter().commandStart(); }

 private:
  void openFallback(std::string_view title, std::string_view memo);
  void copyMeasureTable();

  TWRDWindow& window_;
  std::filesystem::path programDirectory_;
  StatusSource status_;
  std::vector<std::uint32_t> measures_;
  bool ownScript_ = false;
};

}  // namespace volta::shell
