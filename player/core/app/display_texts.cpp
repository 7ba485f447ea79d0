#include "player/core/app/display_texts.h"

#include <cstdio>
#include <filesystem>

#include "player/core/song_player.h"

namespace volta::app {

namespace {

constexpr std::size_t kListNameLimit = 40;
constexpr std::size_t kSongTitleLimit = 45;

// Length of the first `limit` characters of UTF-8 text, in bytes.
std::size_t utf8Prefix(std::string_view text, std::size_t limit) {
  std::size_t at = 0;
  for (std::size_t count = 0; at < text.size() && count < limit; ++count) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
      ++at;
  }
  return at;
}

// Length of the first `limit` bytes of CP932 text, without splitting a pair.
std::size_t cp932Prefix(std::string_view text, std::size_t limit) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t width = platform::text::isShiftJisLead(text[at]) ? 2 : 1;
    if (at + width > limit) break;
    at += width;
  }
  return std::min(at, text.size());
}

std::string cut(std::string_view text, std::size_t prefix) {
  std::string out(text.substr(0, prefix));
  if (prefix < text.size()) out += "...";
  return out;
}

std::string stateSuffix(const TitleState& state) {
  std::string out;
  if (state.sortMode == 1) out += " [RANDOM]";
  if (state.playing && !state.paused) out += " [PLAY]";
  if (state.paused) out += " [PAUSE]";
  if (state.playing && state.selecting) out += " [Selecting]";
  return out + core::speedLabel(state.speed);
}

std::string format(const char* pattern, long a, long b) {
  char text[48];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

}  // namespace

std::string titlePrefix(const TitleState& state) {
  if (state.listNamed) {
    std::string list = "<LIST> ";
    if (state.listModified) list += "<Changed> ";
    list += state.listFileName.empty() ? std::string("<New> ")
                                       : std::filesystem::path(state.listFileName).filename().string();
    return cut(list, utf8Prefix(list, kListNameLimit)) + " - ";
  }
  if (state.showSong) return cp932ToUtf8(cut(state.songTitle, cp932Prefix(state.songTitle, kSongTitleLimit))) + " - ";
  return "";
}

std::string windowTitle(const TitleState& state) {
  return titlePrefix(state) + "VOLTA Player" + stateSuffix(state);
}

std::string listFrameTitle(const TitleState& state) {
  return titlePrefix(state) + "VOLTA Player (Order list)";
}

Counters counters(const protocol::SequencerStatus& status, std::uint32_t totalLengthMs, std::uint32_t totalMeasures) {
  Counters c;
  const std::uint32_t elapsed = status.songTime / 100'000;
  const std::uint32_t total = totalLengthMs / 1000;
  char time[48];
  std::snprintf(time, sizeof time, "%02u:%02u/%02u:%02u", elapsed / 60, elapsed % 60, total / 60, total % 60);
  c.time = time;
  c.bar = format("%04ld/%04ld", status.measure + 1L, static_cast<long>(totalMeasures) + 1);
  // A song that has not told its metre yet counts every tick in the first beat.
  const long beatTicks = status.denominator > 0 ? status.timeBase * 4L / status.denominator : 0;
  const long beat = beatTicks > 0 ? static_cast<long>(status.tickInMeasure) / beatTicks : 0;
  c.beat = format("%02ld/%02ld", beat + 1, status.numerator);
  c.ticks = format("%04ld/%04ld", static_cast<long>(status.tickInMeasure), static_cast<long>(status.ticksPerMeasure));
  char tempo[16];
  std::snprintf(tempo, sizeof tempo, "%03u", status.tempo > 0 ? 60'000'000u / status.tempo : 0u);
  c.tempo = tempo;
  return c;
}

}  // namespace volta::app
