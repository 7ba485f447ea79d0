#include "rcp/song.h"

#include <algorithm>
#include <cstring>

namespace volta::rcp {
namespace {

constexpr Layout kRcpLayout{1414, 44, 4, 32, 96, 453, 1030, 4, 2};
constexpr Layout kG36Layout{3224, 46, 6, 32, 160, 529, 2840, 6, 5};

constexpr std::size_t kMemoLines = 12;
constexpr std::size_t kRcpMemoLine = 28;
constexpr std::size_t kWalkStartWait = 257;

// Header fields that sit at different places in the two families.
struct HeaderFields {
  std::size_t timeBaseLow;
  std::size_t timeBaseHigh;
  std::size_t tempo;
  std::size_t numerator;
  std::size_t denominator;
  std::size_t key;
  std::size_t trackCount;
};
constexpr HeaderFields kRcpFields{448, 487, 449, 450, 451, 452, 486};
constexpr HeaderFields kG36Fields{522, 523, 524, 526, 527, 528, 520};

std::int32_t orDefault(std::uint8_t value, std::int32_t fallback) {
  return value ? value : fallback;
}

void readTitle(const Image& image, const Layout& layout, Song& song) {
  std::array<char, kTitleBytes> raw{};
  for (std::size_t i = 0; i < kTitleBytes; ++i)
    raw[i] = static_cast<char>(image.byte(layout.titleOffset + i));
  // Trailing spaces become terminators; terminators among them are passed over.
  for (std::size_t i = kTitleBytes - 1; i >= 1; --i) {
    if (raw[i] == ' ') {
      raw[i] = 0;
    } else if (raw[i] != 0) {
      break;
    }
  }
  song.title.fill(0);
  const auto length = static_cast<std::size_t>(std::find(raw.begin(), raw.end(), 0) - raw.begin());
  std::memcpy(song.title.data(), raw.data(), length);
}

// G36 files written by later tools keep a 32-bit track length; it is trusted only when
// its upper half is in use and it still ends inside the file.
std::size_t trackLength(const Image& image, Family family, std::size_t offset) {
  const std::size_t low = image.word(offset);
  if (family != Family::G36) return low;
  const std::size_t high = image.word(offset + 2);
  const std::size_t wide = low | high << 16;
  return high != 0 && offset + wide <= image.fileLength ? wide : low;
}

std::int32_t initialWait(std::uint8_t shift, bool unsignedShift) {
  return unsignedShift ? shift + 1 : static_cast<std::int8_t>(shift) + 129;
}

std::size_t walkTracks(const Image& image, const Layout& layout, bool unsignedShift, Song& song) {
  std::size_t offset = layout.headerSize;
  std::int32_t smallest = kWalkStartWait;
  for (std::int32_t i = 0; i < song.trackCount; ++i) {
    if (offset >= image.fileLength) {
      song.trackCount = i;
      break;
    }
    TrackHeader& track = song.tracks[static_cast<std::size_t>(i)];
    const std::size_t length = trackLength(image, song.family, offset);
    const std::size_t fields = offset + layout.trackOutputOffset;
    track.headerOffset = offset;
    track.eventStart = offset + layout.trackHeaderSize;
    track.end = std::min(offset + length, image.readable);
    track.output = image.byte(fields);
    track.keyShift = image.byte(fields + 1);
    track.initialWait = initialWait(image.byte(fields + 2), unsignedShift);
    const bool muted = song.family == Family::Rcp ? image.byte(fields + 3) == 1 : (image.byte(fields + 3) & 1) != 0;
    track.silent = track.output == 0xFF || muted;
    for (std::size_t c = 0; c < kCommentBytes; ++c)
      track.comment[c] = image.byte(fields + 4 + c);
    smallest = std::min(smallest, track.initialWait);
    offset += length;
  }
  for (std::int32_t i = 0; i < song.trackCount; ++i)
    song.tracks[static_cast<std::size_t>(i)].initialWait += 1 - smallest;
  return offset;
}

bool hasMarker(const Image& image, std::size_t offset) {
  return image.fileLength >= offset + 16 && std::memcmp(image.data + offset, "RCFW", 4) == 0;
}

}  // namespace

const Layout& layoutOf(Family family) {
  return family == Family::Rcp ? kRcpLayout : kG36Layout;
}

std::uint16_t Song::engineFileType() const {
  if (family == Family::Rcp) return trackCountByte == 0 ? 9 : 10;
  return marked ? 12 : 11;
}

int Song::converterFileType() const {
  if (family == Family::Rcp) return trackCountByte == 0 ? 3 : 2;
  return marked ? 4 : 3;
}

bool readSong(const Image& image, Family family, StepShiftRule shiftRule, Song& song) {
  const Layout& layout = layoutOf(family);
  if (image.data == nullptr || image.fileLength < layout.headerSize) return false;
  const HeaderFields& f = family == Family::Rcp ? kRcpFields : kG36Fields;
  song = Song{};
  song.family = family;
  song.timeBase = image.byte(f.timeBaseHigh) * 256 + image.byte(f.timeBaseLow);
  if (song.timeBase == 0) song.timeBase = kFallbackTimeBase;
  song.headerTempo = orDefault(image.byte(f.tempo), 120);
  song.numerator = orDefault(image.byte(f.numerator), 4);
  song.denominator = orDefault(image.byte(f.denominator), 4);
  song.key = image.byte(f.key);
  song.playBias = static_cast<std::int8_t>(image.byte(layout.playBiasOffset));
  song.trackCountByte = image.byte(f.trackCount);
  song.trackCount = song.trackCountByte;
  if (family == Family::Rcp && song.trackCount == 0) song.trackCount = 18;
  song.trackCount = std::min(song.trackCount, kMaxTracks);
  readTitle(image, layout, song);
  const bool unsignedShift =
      shiftRule == StepShiftRule::UnsignedForOldRcp && family == Family::Rcp && song.trackCountByte == 0;
  const std::size_t after = walkTracks(image, layout, unsignedShift, song);
  song.marked = family == Family::G36 && hasMarker(image, after);
  return true;
}

void readMemo(const Image& image, Family family, std::array<std::uint8_t, kMemoBytes>& memo) {
  const Layout& layout = layoutOf(family);
  if (family == Family::G36) {
    for (std::size_t i = 0; i < kMemoBytes; ++i)
      memo[i] = image.byte(layout.memoOffset + i);
    return;
  }
  const std::size_t line = kMemoBytes / kMemoLines;
  for (std::size_t l = 0; l < kMemoLines; ++l) {
    memo[l * line] = ' ';
    for (std::size_t i = 0; i < kRcpMemoLine; ++i)
      memo[l * line + 1 + i] = image.byte(layout.memoOffset + l * kRcpMemoLine + i);
    memo[l * line + line - 1] = ' ';
  }
}

bool recognise(const std::uint8_t* data, std::size_t length, Family& family) {
  if (data == nullptr) return false;
  if (length > 9 && data[9] == '2') {
    family = Family::Rcp;
    return true;
  }
  if (length > 28 && data[28] == '3') {
    family = Family::G36;
    return true;
  }
  return false;
}

std::size_t trimmedCommentLength(const TrackHeader& track) {
  std::size_t length = kCommentBytes;
  while (length > 0 && (track.comment[length - 1] == ' ' || track.comment[length - 1] == 0))
    --length;
  return length;
}

}  // namespace volta::rcp
