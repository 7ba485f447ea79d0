#pragma once
// What a file name's extension says a song is. Extensions match whatever their case:
// the songs come from systems whose file names ignore it.

#include <array>
#include <string>
#include <string_view>

namespace volta::platform {

enum class SongFormat { kNone, kSmf, kRcp, kG36, kWave };

struct SongExtension {
  std::string_view extension;  // without its dot
  SongFormat format;
};

// Every song extension, in the order a WRD script's song is looked for.
inline constexpr std::array<SongExtension, 10> kSongExtensions{{{"G18", SongFormat::kG36},
                                                               {"G36", SongFormat::kG36},
                                                               {"RCP", SongFormat::kRcp},
                                                               {"R36", SongFormat::kRcp},
                                                               {"MID", SongFormat::kSmf},
                                                               {"SMF", SongFormat::kSmf},
                                                               {"RMI", SongFormat::kSmf},
                                                               {"MFF", SongFormat::kSmf},
                                                               {"KAR", SongFormat::kSmf},  // with lyrics
                                                               {"WAV", SongFormat::kWave}}};

// A song converted before it plays is a Standard MIDI File beside it, named
// "SONG.RCP.smfk".
inline constexpr std::string_view kConvertedSongExtension = "smfk";
std::string convertedSongName(std::string_view song);

// The text after the last dot of the name's last part ("" when that part has none).
std::string_view extensionOf(std::string_view name);

// The format an extension (without its dot) marks.
SongFormat songFormatOfExtension(std::string_view extension);

// The format the extension of `name` marks.
SongFormat songFormatOf(std::string_view name);

// RCP and G36 songs play through the converter when asked to.
constexpr bool isRcpFamily(SongFormat format) {
  return format == SongFormat::kRcp || format == SongFormat::kG36;
}

}  // namespace volta::platform
