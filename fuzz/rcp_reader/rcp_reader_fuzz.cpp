// Reads and plays an RCP or G36 image as the engine would: byte 0 picks the family
// (bit 0), the chase mode (bit 1) and scanning (bit 2); the rest is the file.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "rcp/interpreter.h"
#include "rcp/song.h"

namespace {

class NullSink : public volta::rcp::Sink {
 public:
  void sendChannel(int, std::uint8_t, std::uint8_t, std::uint8_t) override {}
  void sendExclusive(int, const std::uint8_t* message, std::size_t length) override {
    if (length == 0 || message[0] != 0xF0) __builtin_trap();
  }
  void setTempo(std::uint32_t) override {}
};

constexpr int kTicks = 400;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace volta::rcp;
  if (size < 1) return 0;
  const std::uint8_t options = data[0];
  const std::vector<std::uint8_t> file(data + 1, data + size);
  const Image image{file.data(), file.size(), file.size()};
  const Family family = (options & 1) ? Family::G36 : Family::Rcp;
  Song song;
  if (!readSong(image, family, StepShiftRule::Signed, song)) return 0;
  std::array<std::uint8_t, kMemoBytes> memo{};
  readMemo(image, family, memo);
  NullSink sink;
  Rules rules;
  rules.inlineExclusiveLimit = family == Family::Rcp ? 4096 : 256;
  Interpreter interpreter(image, song, rules, sink);
  std::vector<Track> tracks(static_cast<std::size_t>(song.trackCount));
  for (int i = 0; i < song.trackCount; ++i)
    interpreter.resetTrack(tracks[static_cast<std::size_t>(i)], i);
  const Mode mode = (options & 4) ? Mode::Scan : (options & 2) ? Mode::Chase : Mode::Play;
  for (int tick = 0; tick < kTicks; ++tick) {
    for (Track& track : tracks) {
      if (mode != Mode::Scan) interpreter.beforeTick(track);
      if (track.ended || (track.deltaCounter > 0 && --track.deltaCounter != 0)) continue;
      if (mode == Mode::Scan) {
        interpreter.scanEvents(track);
      } else {
        interpreter.playEvents(track, mode);
      }
    }
  }
  return 0;
}
