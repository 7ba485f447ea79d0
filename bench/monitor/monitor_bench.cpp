// One display tick of the performance monitor with all 48 rows visible while a dense
// song plays (16 channels, about 2,000 events a second, so 100 per 50 ms tick): the
// models alone, then with the window painting offscreen; and the LCD canvas's meters.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstring>
#include <map>

#include "player/monitor/lcd_canvas.h"
#include "player/monitor/monitor_model.h"
#include "player/shell/monitor/monitor_window.h"
#include "player/shell/panel/liquid_window.h"

namespace {

using namespace volta;

constexpr int kEventsPerTick = 100;

struct DenseSong {
  protocol::ChannelState channels[48]{};
  protocol::SequencerStatus song{};
  protocol::OutputStatus output{};
  int tick = 0;

  DenseSong() {
    for (auto& c : channels) {
      std::memset(c.notes, protocol::kEmptyNoteSlot, sizeof c.notes);
      c.volume = 100;
      c.expression = 127;
      c.pan = 64;
      c.pitchBend = 8192;
    }
    for (int part = 0; part < 16; ++part) {
      output.partTable[0][part] = {static_cast<std::uint8_t>(part), 0};
      output.partTable[1][part] = {static_cast<std::uint8_t>(part), 1};
    }
    song.tempo = 500000;
    song.timeBase = 480;
    song.numerator = song.denominator = 4;
  }
  // The next 50 ms of the song: notes on and off, controllers and bends on ports A.
  void advance() {
    ++tick;
    for (int e = 0; e < kEventsPerTick; ++e) {
      protocol::ChannelState& c = channels[e % 16];
      const int slot = (tick + e / 16) % 16;
      switch ((tick + e) % 5) {
        case 0:
          c.volume = static_cast<std::uint8_t>((c.volume + 3) & 0x7F);
          break;
        case 1:
          c.pitchBend = static_cast<std::uint16_t>((c.pitchBend + 300) & 0x3FFF);
          break;
        default:
          c.notes[slot] = c.notes[slot] == protocol::kEmptyNoteSlot
                              ? static_cast<std::uint8_t>(36 + (tick * 7 + e * 5) % 60)
                              : protocol::kEmptyNoteSlot;
          c.velocities[slot] = static_cast<std::uint8_t>(60 + e % 60);
          ++c.noteOnCounter;
          c.soundingCount = 1;
      }
    }
    channels[tick % 16].program = static_cast<std::uint8_t>(tick % 128);
    output.soundingNotes = static_cast<std::uint8_t>(tick % 64);
  }
};

// A module with an instrument section linked to a general one, as the definitions hold them.
monitor::InstrumentResolver resolver() {
  static const std::map<std::string, std::string, std::less<>> kKeys = {
      {"Inst:InstLink", "Inst General"}, {"General:*-*-*", "Piano"}, {"General:*-*-010", "Glockenspiel"}};
  monitor::SectionReader read = [](std::string_view section, std::string_view key) -> std::optional<std::string> {
    const auto found = kKeys.find(std::string(section) + ":" + std::string(key));
    return found == kKeys.end() ? std::nullopt : std::optional<std::string>(found->second);
  };
  return [read](const monitor::InstrumentKey& key) { return monitor::lookupInstrument(read, "Inst", key); };
}

void BM_MonitorModelTick(benchmark::State& state) {
  DenseSong song;
  std::array<monitor::MonitorRow, monitor::kMonitorRows> rows;
  monitor::MonitorHeader header;
  monitor::LcdCanvas canvas;
  const monitor::InstrumentResolver resolve = resolver();
  std::uint32_t now = 0;
  for (auto _ : state) {
    song.advance();
    header.update(&song.song, &song.output, now += 50);
    for (int r = 0; r < monitor::kMonitorRows; ++r)
      benchmark::DoNotOptimize(rows[static_cast<std::size_t>(r)].update(&song.channels[r], header.key(), resolve));
    benchmark::DoNotOptimize(canvas.updateMeters(song.channels, song.output));
  }
}
BENCHMARK(BM_MonitorModelTick)->Unit(benchmark::kMicrosecond);

void BM_MonitorPaintedTick(benchmark::State& state) {
  DenseSong song;
  shell::TMonitorWindow window;
  window.setInstrumentResolver(resolver());
  window.resize(640, monitor::kFirstRowTop + monitor::kMonitorRows * monitor::kRowHeight);
  window.show();
  QCoreApplication::processEvents();
  std::uint32_t now = 0;
  for (auto _ : state) {
    song.advance();
    window.tick({&song.song, &song.output, song.channels}, now += 50);
    QCoreApplication::processEvents();  // paints what the tick invalidated
  }
  state.counters["rows"] = window.visible().last - window.visible().first + 1;
}
BENCHMARK(BM_MonitorPaintedTick)->Unit(benchmark::kMicrosecond);

void BM_CanvasMeterTick(benchmark::State& state) {
  DenseSong song;
  shell::TLiquidWindow canvas;
  canvas.show();
  QCoreApplication::processEvents();
  for (auto _ : state) {
    song.advance();
    canvas.updateMeters(song.channels, song.output);
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_CanvasMeterTick)->Unit(benchmark::kMicrosecond);

}  // namespace
