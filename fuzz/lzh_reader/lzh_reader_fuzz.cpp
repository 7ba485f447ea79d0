// Arbitrary bytes as an LZH archive, through libunlha32.so's entry points as the player
// calls them: open, find every member, close, then extract everything into a folder.
// Whatever the headers claim, nothing may be written beside that folder.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/scratch_folder.h"
#include "outside/unlha32/unlha32.h"

namespace {

namespace fs = std::filesystem;

void list(const fs::path& archive) {
  UNLHA_ARCHIVE handle = UnlhaOpenArchive(nullptr, archive.c_str(), 0x800202);
  if (handle == nullptr) return;
  UnlhaMemberInfo info{};
  for (int found = UnlhaFindFirst(handle, "*.*", &info); found == UNLHA_FOUND; found = UnlhaFindNext(handle, &info)) {
    if (info.fileName[UNLHA_NAME_MAX] != '\0') std::abort();
  }
  UnlhaCloseArchive(handle);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path& scratch = volta::fuzz::scratchFolder("volta-unlha-fuzz");
  const fs::path archive = scratch / "input.lzh";
  const fs::path out = scratch / "out";
  std::ofstream(archive, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  list(archive);
  fs::create_directory(out);
  const std::string command = "e -a0 -c -m1 -n -f1 -y1 \"" + archive.string() + "\" \"" + out.string() + "/\" \"*.*\"";
  char output[1024];
  Unlha(nullptr, command.c_str(), output, sizeof output);
  // Only the archive and the extraction folder may be in the scratch folder.
  std::size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(scratch)) {
    (void)entry;
    ++entries;
  }
  if (entries != 2) std::abort();
  fs::remove_all(out);
  return 0;
}
