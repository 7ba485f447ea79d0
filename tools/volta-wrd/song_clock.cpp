#include "tools/volta-wrd/song_clock.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "engine/dispatcher.h"
#include "engine/protocol/error_messages.h"
#include "engine/protocol/records.h"
#include "engine/protocol/song_file_type.h"
#include "platform/file_types.h"
#include "platform/low_memory.h"
#include "player/wrd/script_buffer.h"

namespace volta::tools {

namespace {

using namespace volta::protocol;

template <class Record>
Record& begin(void* block, std::uint32_t code, std::uint32_t handle) {
  std::memset(block, 0, sizeof(Record));
  auto& header = commandAs<CommandHeader>(block);
  header.code = code;
  header.length = sizeof(Record);
  header.handle = handle;
  return commandAs<Record>(block);
}

}  // namespace

std::unique_ptr<SongClock> SongClock::open(const std::filesystem::path& song, std::string& error) {
  const std::uint16_t type = fileTypeOf(platform::songFormatOf(song.filename().string()));
  if (type == 0) return error = errorMessage(kErrUnknownFile), nullptr;
  const auto bytes = wrd::readScriptBytes(song);
  if (!bytes) return error = errorMessage(kErrOpenFile), nullptr;
  std::unique_ptr<SongClock> clock(new SongClock);
  clock->block_ = platform::allocateLow(kCommandBlockSize);
  if (clock->block_ == nullptr) return error = errorMessage(kErrNoMemory), nullptr;

  auto& open = begin<OpenSequencerCommand>(clock->block_, kOpenSequencer, 0);
  open.fileType = type;
  open.dataSize = static_cast<std::uint32_t>(bytes->size());
  clock->handle_ = engine::dispatch(clock->block_);
  if (clock->handle_ == 0) return error = errorMessage(open.error), nullptr;
  std::memcpy(platform::fromLowAddress<char>(open.data), bytes->data(), bytes->size());
  clock->status_ = platform::fromLowAddress<SequencerStatus>(open.status);

  auto& prepare = begin<PrepareCommand>(clock->block_, kPrepare, clock->handle_);
  if (!clock->run()) return error = errorMessage(prepare.error), nullptr;
  clock->title_ = prepare.title[0] ? prepare.title : song.filename().string();
  clock->comment_ = prepare.comment;
  auto& scan = begin<ScanLengthCommand>(clock->block_, kScanLength, clock->handle_);
  clock->run();
  clock->measures_ = scan.measures;
  clock->timeBase_ = std::max<int>(clock->status_->timeBase, 1);
  // The packed table is copied byte-wise: its entries need not be aligned.
  clock->measureTable_.resize(kMeasureTableSize);
  std::memcpy(clock->measureTable_.data(),
              reinterpret_cast<const std::uint8_t*>(clock->status_) + offsetof(SequencerStatus, measureTable),
              kMeasureTableSize * sizeof(std::uint32_t));
  return clock;
}

SongClock::~SongClock() {
  if (handle_ != 0) {
    begin<CommandHeader>(block_, kCloseSequencer, handle_);
    engine::dispatch(block_);
  }
  platform::freeLow(block_);
}

std::uint32_t SongClock::run() {
  return engine::dispatch(block_);
}

wrd::SongPosition SongClock::atTime(double seconds) {
  // Engine time is counted in units of 10 microseconds.
  const double units = std::clamp(seconds * 100000.0, 0.0, 4294967295.0);
  auto& seek = begin<SeekCommand>(block_, kSeek, handle_);
  seek.targetTime = static_cast<std::uint32_t>(units);
  run();
  wrd::SongPosition p;
  p.measure = status_->measure;
  p.tickInMeasure = static_cast<int>(status_->tickInMeasure);
  p.absoluteTick = status_->position;
  const int denominator = std::max<int>(status_->denominator, 1);
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
