#include "player/shell/wrd/wrd_display.h"

#include <cstring>
#include <string>

namespace volta::shell {

WrdDisplay::WrdDisplay(TWRDWindow& window) : window_(window), measures_(protocol::kMeasureTableSize, 0) {}

void WrdDisplay::setProgramDirectory(const std::filesystem::path& directory) {
  programDirectory_ = directory;
  window_.interpreter().setProgramDirectory(directory);
}

bool WrdDisplay::open(const std::filesystem::path& script, std::string_view title, std::string_view memo,
                      StatusSource status) {
  status_ = std::move(status);
  std::fill(measures_.begin(), measures_.end(), 0);
  copyMeasureTable();
  ownScript_ = window_.openFile(script, title, memo, measures_);
  if (!ownScript_) openFallback(title, memo.empty() ? title : memo);
  return ownScript_;
}

void WrdDisplay::openFallback(std::string_view title, std::string_view memo) {
  if (window_.openFile(programDirectory_ / kDefaultScriptName, title, memo, {})) return;
  window_.openFile(std::nullopt, title, memo, {});
}

bool WrdDisplay::openForSong(const core::SongPlayer& player) {
  return open(player.wrdSource(), player.title(), player.comment(), [&player]() -> const protocol::SequencerStatus* {
    return player.song() != nullptr ? player.song()->status() : nullptr;
  });
}

void WrdDisplay::showDefault() {
  status_ = nullptr;
  ownScript_ = false;
  openFallback({}, {});
  window_.reset(1);
  while (!window_.process(false, wrd::SongPosition{})) {
  }
}

void WrdDisplay::restart(std::uint16_t timeBase) {
  copyMeasureTable();
  window_.reset(timeBase);
}

bool WrdDisplay::follow(const Position& position) {
  copyMeasureTable();
  wrd::SongPosition at;
  at.measure = position.measure;
  at.beat = static_cast<int>(position.beat);
  at.tickInMeasure = static_cast<int>(position.tickInMeasure);
  at.absoluteTick = position.position;
  return window_.process(position.seekPending, at);
}

void WrdDisplay::copyMeasureTable() {
  const protocol::SequencerStatus* status = status_ ? status_() : nullptr;
  if (status == nullptr) return;
  // The block is packed: its entries need not be aligned, so they are copied as bytes.
  std::memcpy(measures_.data(),
              reinterpret_cast<const std::uint8_t*>(status) + offsetof(protocol::SequencerStatus, measureTable),
              measures_.size() * sizeof(std::uint32_t));
}

}  // namespace volta::shell
