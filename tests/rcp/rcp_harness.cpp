#include "tests/rcp/rcp_harness.h"

#include <cstdio>

namespace volta::rcp::testing {
namespace {

class Recorder : public Sink {
 public:
  explicit Recorder(Played& out) : out_(out) {}
  std::uint32_t tick = 0;
  int track = 0;

  void sendChannel(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) override {
    const std::uint8_t bytes[] = {status, data1, data2};
    const std::size_t length = (status & 0xE0) == 0xC0 ? 2 : 3;
    log(std::string(1, static_cast<char>('A' + port)) + " " + hex(bytes, length));
  }
  void sendExclusive(int port, const std::uint8_t* message, std::size_t length) override {
    log(std::string(1, static_cast<char>('A' + port)) + " " + hex(message, length));
  }
  void setTempo(std::uint32_t us) override { log("tempo " + std::to_string(us)); }
  void setKey(std::uint32_t key) override { log("key " + std::to_string(key)); }
  void comment(const std::uint8_t* text, std::size_t length) override {
    log("comment " + std::string(reinterpret_cast<const char*>(text), length));
  }
  void noteSounded() override { ++out_.noteSounded; }
  void fail(std::uint8_t code) override { log("error " + std::to_string(code)); }

 private:
  void log(std::string text) { out_.events.push_back({tick, track, std::move(text)}); }
  Played& out_;
};

}  // namespace

std::string hex(const std::uint8_t* bytes, std::size_t length) {
  std::string text;
  for (std::size_t i = 0; i < length; ++i) {
    char part[4];
    std::snprintf(part, sizeof part, "%02X", bytes[i]);
    if (i) text += ' ';
    text += part;
  }
  return text;
}

std::vector<std::string> Played::texts() const {
  std::vector<std::string> out;
  for (const Event& e : events)
    out.push_back(e.text);
  return out;
}

std::vector<std::string> Played::textsOf(int track) const {
  std::vector<std::string> out;
  for (const Event& e : events) {
    if (e.track == track) out.push_back(e.text);
  }
  return out;
}

std::vector<std::uint32_t> Played::ticksOf(const std::string& prefix) const {
  std::vector<std::uint32_t> out;
  for (const Event& e : events) {
    if (e.text.rfind(prefix, 0) == 0) out.push_back(e.tick);
  }
  return out;
}

Played play(const std::vector<std::uint8_t>& file, Family family, const Rules& rules, std::uint32_t maxTicks,
            Mode mode) {
  Played out;
  // An exact-size copy, so that the sanitizer sees any read past the image.
  std::vector<std::uint8_t> bytes(file);
  const Image image{bytes.data(), bytes.size(), bytes.size()};
  const StepShiftRule shift = rules.reportErrors ? StepShiftRule::Signed : StepShiftRule::UnsignedForOldRcp;
  if (!readSong(image, family, shift, out.song)) return out;
  Recorder recorder(out);
  Interpreter interpreter(image, out.song, rules, recorder);
  out.tracks.resize(static_cast<std::size_t>(out.song.trackCount));
  for (int i = 0; i < out.song.trackCount; ++i)
    interpreter.resetTrack(out.tracks[static_cast<std::size_t>(i)], i);
  for (std::uint32_t tick = 1; tick <= maxTicks; ++tick) {
    recorder.tick = tick;
    bool allEnded = true;
    for (Track& track : out.tracks) {
      recorder.track = track.index;
      if (mode != Mode::Scan) interpreter.beforeTick(track);
      if (track.ended) continue;
      allEnded = false;
      if (track.deltaCounter > 0 && --track.deltaCounter != 0) continue;
      if (mode == Mode::Scan) {
        interpreter.scanEvents(track);
      } else {
        interpreter.playEvents(track, mode);
      }
    }
    if (allEnded) {
      out.allEnded = true;
      break;
    }
  }
  return out;
}

Rules engineRules(Family family) {
  Rules rules;
  rules.inlineExclusiveLimit = family == Family::Rcp ? 4096 : 256;
  return rules;
}

Rules converterRules() {
  Rules rules;
  rules.loopLimit = 32;
  rules.recordLimit = 100;
  rules.inlineExclusiveLimit = 256;
  rules.reportErrors = false;
  rules.endlessRepeat = 1;
  return rules;
}

}  // namespace volta::rcp::testing
