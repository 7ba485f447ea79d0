#pragma once
// The two song file families (RCP and G36): their byte layouts, the header, the
// track list walk and the texts. Everything here reads a bounded image and never
// looks past its readable extent.

#include <array>
#include <cstddef>
#include <cstdint>

namespace volta::rcp {

enum class Family : std::uint8_t { Rcp, G36 };

// Where the two families keep things, and how wide their records are.
struct Layout {
  std::size_t headerSize;
  std::size_t trackHeaderSize;
  std::size_t recordSize;
  std::size_t titleOffset;
  std::size_t memoOffset;
  std::size_t playBiasOffset;
  std::size_t exclusiveTableOffset;
  std::size_t trackOutputOffset;  // output byte; key shift, step shift and mute follow it
  std::size_t continuationBytes;  // data bytes carried by one 0xF7 record
};

const Layout& layoutOf(Family family);

inline constexpr int kMaxTracks = 128;
inline constexpr std::size_t kTitleBytes = 64;
inline constexpr std::size_t kMemoBytes = 360;
inline constexpr std::size_t kCommentBytes = 36;
inline constexpr std::size_t kExclusiveEntryBytes = 48;
inline constexpr std::size_t kExclusiveTemplateOffset = 24;
inline constexpr std::size_t kExclusiveTemplateBytes = 24;
// Readers that own their copy of a file keep this many zero bytes after it.
inline constexpr std::size_t kImagePadding = 2048;

// A file image: the file's bytes, and how far beyond them zero padding may be read.
struct Image {
  const std::uint8_t* data = nullptr;
  std::size_t fileLength = 0;
  std::size_t readable = 0;  // >= fileLength

  std::uint8_t byte(std::size_t offset) const { return offset < readable ? data[offset] : 0; }
  std::uint16_t word(std::size_t offset) const {
    return static_cast<std::uint16_t>(byte(offset) | byte(offset + 1) << 8);
  }
};

// How a reader takes the step shift of a track.
enum class StepShiftRule : std::uint8_t {
  Signed,             // signed value + 129
  UnsignedForOldRcp,  // RCP files whose track-count byte is 0: unsigned value + 1
};

struct TrackHeader {
  std::size_t headerOffset = 0;
  std::size_t eventStart = 0;
  std::size_t end = 0;  // never beyond the image's readable extent
  std::uint8_t output = 0;
  std::uint8_t keyShift = 0;
  std::int32_t initialWait = 1;
  bool silent = false;  // switched off or muted: plays nothing at all
  std::array<std::uint8_t, kCommentBytes> comment{};

  int port() const { return output >> 4; }
  int channel() const { return output & 0x0F; }
};

struct Song {
  Family family = Family::Rcp;
  bool marked = false;  // a G36 file followed by the "RCFW" marker
  std::uint8_t trackCountByte = 0;
  std::int32_t timeBase = 48;
  std::int32_t headerTempo = 120;  // quarter notes per minute
  std::int32_t numerator = 4;
  std::int32_t denominator = 4;
  std::uint8_t key = 0;
  std::int8_t playBias = 0;
  std::int32_t trackCount = 0;
  std::array<char, kTitleBytes + 1> title{};  // zero-terminated
  std::array<TrackHeader, kMaxTracks> tracks{};

  std::uint32_t initialTempo() const { return 60000000u / static_cast<std::uint32_t>(headerTempo); }
  std::uint32_t ticksPerMeasure() const { return static_cast<std::uint32_t>(numerator * (timeBase * 4) / denominator); }
  // The engine's file type code: 9 to 12.
  std::uint16_t engineFileType() const;
  // The converter's file type code: 2 to 4.
  int converterFileType() const;
};

// Used when a file declares a time base of 0, which would make every tick endless.
inline constexpr std::int32_t kFallbackTimeBase = 48;

// Reads the header and walks the track list. False when the file is shorter than its
// header: such a file carries no song.
bool readSong(const Image& image, Family family, StepShiftRule shiftRule, Song& song);

// The 360-byte memo of the title command: G36 files as stored; RCP files' 12 lines of
// 28 bytes each padded with a space on both sides.
void readMemo(const Image& image, Family family, std::array<std::uint8_t, kMemoBytes>& memo);

// Recognition by content: byte 9 '2' is an RCP file, else byte 28 '3' a G36 file.
bool recognise(const std::uint8_t* data, std::size_t length, Family& family);

// The track comment without trailing spaces and terminators; returns its length.
std::size_t trimmedCommentLength(const TrackHeader& track);

}  // namespace volta::rcp
