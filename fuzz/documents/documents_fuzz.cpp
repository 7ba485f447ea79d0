// Arbitrary bytes as a song's document, TDF file and keyword definitions: the
// document reader, the companion gathering, the TDF reader and writer and the
// keyword search must take anything.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/scratch_folder.h"
#include "player/core/builtin_definitions.h"
#include "player/core/documents.h"
#include "player/core/module_detection.h"
#include "player/core/song_tdf.h"

namespace {

namespace core = volta::core;

const std::filesystem::path& scratchFolder() {
  return volta::fuzz::scratchFolder("volta-doc-fuzz");
}

void write(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

const core::TINICritical& builtIn() {
  static core::TINICritical store;
  static const bool loaded = (core::loadModuleDefinitions(store, {}), true);
  (void)loaded;
  return store;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const auto song = scratchFolder() / "SONG.MID";
  write(scratchFolder() / "SONG.TXT", bytes);
  write(scratchFolder() / "SONG.TDF", bytes);

  const auto text = core::readTextFile(scratchFolder() / "SONG.TXT");
  if (!text || text->find('\0') != std::string::npos) std::abort();
  for (std::size_t i = 0; i < text->size(); ++i) {
    if ((*text)[i] == '\r' && (i + 1 == text->size() || (*text)[i + 1] != '\n')) std::abort();  // a lone CR
  }
  const core::SongDocument document = core::findSongDocument(song, true, true);
  if (!document.found()) std::abort();

  core::readSongTdf(song, {}, {}, 31);
  core::writeSongTdf(song, bytes.substr(0, 40), {bytes.substr(0, 20), 1});
  core::readSongTdf(song, bytes.substr(0, 40), {}, 49);

  core::detectModule(builtIn(), {song.string(), bytes.substr(0, 64), document.text, {}, "THRU", true});
  // The input as keyword definitions of its own, searched over itself.
  core::TINICritical own;
  own.loadText("[keyword]\n" + bytes, {});
  core::detectModule(own, {bytes, bytes, bytes, {}, "GM", true});
  return 0;
}
