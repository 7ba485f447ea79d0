#pragma once
// A song scanned by the engine without an output: its title, time base and measure table,
// and the song position at a time or at the start of a measure.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "player/core/engine_binding.h"
#include "player/wrd/interpreter.h"

namespace volta::tools {

class SongClock {
 public:
  // Nothing, with `error` set, when the song cannot be read or parsed.
  static std::unique_ptr<SongClock> open(core::EngineBinding& binding, const std::filesystem::path& song,
                                         std::string& error);

  const std::string& title() const { return title_; }
  const std::string& comment() const { return comment_; }
  int timeBase() const { return timeBase_; }
  int measureCount() const { return measures_; }
  const std::vector<std::uint32_t>& measureTable() const { return measureTable_; }

  // Where the song is `seconds` after its start (its end when it is shorter).
  wrd::SongPosition atTime(double seconds);
  // The start of 1-based measure `measure`; nothing when the song has no such measure.
  std::optional<wrd::SongPosition> atMeasure(int measure) const;

 private:
  explicit SongClock(std::unique_ptr<core::SongHandle> song) : song_(std::move(song)) {}

  std::unique_ptr<core::SongHandle> song_;
  std::string title_;
  std::string comment_;
  int timeBase_ = 48;
  int measures_ = 0;
  std::vector<std::uint32_t> measureTable_;
};

}  // namespace volta::tools
