// volta-desktop-files: writes the desktop entry and the shared-mime-info package that an
// installed player brings along, from the same tables the per-user registration uses.
//
//   volta-desktop-files OUTDIR     writes OUTDIR/volta.desktop and OUTDIR/volta.xml

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "platform/atomic_file.h"
#include "platform/desktop/file_associations.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: volta-desktop-files OUTDIR\n", stderr);
    return 2;
  }
  namespace dt = volta::platform::desktop;
  const std::filesystem::path folder = argv[1];
  std::set<std::string> types;
  for (const dt::FileType& type : dt::kFileTypes)
    types.emplace(type.mimeType);
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  using volta::platform::FileAccess;
  // Installed, the program is found on the path.
  if (!volta::platform::replaceFile(folder / dt::kDesktopId, dt::desktopEntry("volta", types), FileAccess::kShared) ||
      !volta::platform::replaceFile(folder / "volta.xml", dt::mimePackage({}), FileAccess::kShared)) {
    std::fprintf(stderr, "volta-desktop-files: cannot write into %s\n", folder.c_str());
    return 1;
  }
  return 0;
}
