#include "tools/volta-wrd/song_clock.h"

#include <algorithm>
#include <cstring>

#include "engine/protocol/error_messages.h"
#include "engine/protocol/records.h"

namespace volta::tools {

std::unique_ptr<SongClock> SongClock::open(core::EngineBinding& binding, const std::filesystem::path& song,
                                           std::string& error) {
  core::SongOpening opening = core::SongHandle::open(binding, nullptr, song);
  if (!opening.song) return error = protocol::errorMessage(opening.error), nullptr;
  std::unique_ptr<SongClock> clock(new SongClock(std::move(opening.song)));
  const core::SongTitles titles = clock->song_->titles();
  if (!titles.ok) return error = protocol::errorMessage(titles.error), nullptr;
  clock->title_ = titles.title.empty() ? song.filename().string() : titles.title;
  clock->comment_ = titles.comment;
  clock->measures_ = clock->song_->scanLength().measures;
  clock->timeBase_ = std::max<int>(clock->song_->status()->timeBase, 1);
  // The packed table is copied byte-wise: its entries need not be aligned.
  clock->measureTable_.resize(protocol::kMeasureTableSize);
  std::memcpy(clock->measureTable_.data(), clock->song_->measureTable(),
              protocol::kMeasureTableSize * sizeof(std::uint32_t));
  return clock;
}

wrd::SongPosition SongClock::atTime(double seconds) {
  // Engine time is counted in units of 10 microseconds.
  const double units = std::clamp(seconds * 100000.0, 0.0, 4294967295.0);
  song_->seek(static_cast<std::uint32_t>(units));
  const protocol::SequencerStatus& status = *song_->status();
  wrd::SongPosition p;
  p.measure = status.measure;
  p.tickInMeasure = static_cast<int>(status.tickInMeasure);
  p.absoluteTick = status.position;
  const int denominator = std::max<int>(status.denominator, 1);
  const int beatTicks = std::max(timeBase_ * 4 / denominator, 1);
  p.beat = p.tickInMeasure / beatTicks;
  return p;
}

std::optional<wrd::SongPosition> SongClock::atMeasure(int measure) const {
  const long long index = static_cast<long long>(measure) - 1;
  if (index < 0 || index > measures_ || index >= static_cast<long long>(measureTable_.size())) return std::nullopt;
  const std::uint32_t start = measureTable_[static_cast<std::size_t>(index)];
  if (index > 0 && start == 0) return std::nullopt;
  wrd::SongPosition p;
  p.measure = static_cast<int>(index);
  p.absoluteTick = start;
  return p;
}

}  // namespace volta::tools
