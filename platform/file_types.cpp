#include "platform/file_types.h"

#include "platform/text.h"

namespace volta::platform {

std::string_view extensionOf(std::string_view name) {
  const std::size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos || name.find_first_of("\\/", dot) != std::string_view::npos) return {};
  return name.substr(dot + 1);
}

SongFormat songFormatOfExtension(std::string_view extension) {
  for (const SongExtension& song : kSongExtensions) {
    if (text::equalsIgnoringCase(extension, song.extension)) return song.format;
  }
  return SongFormat::kNone;
}

std::string convertedSongName(std::string_view song) {
  return std::string(song) + "." + std::string(kConvertedSongExtension);
}

SongFormat songFormatOf(std::string_view name) {
  return songFormatOfExtension(extensionOf(name));
}

}  // namespace volta::platform
