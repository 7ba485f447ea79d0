#include "player/shell/desktop/help.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

#include "player/core/app/command_ids.h"

namespace volta::shell {

namespace fs = std::filesystem;

std::optional<std::string_view> helpPageName(int command) {
  switch (command) {
    case app::cmd::kHelpContents:
    case app::cmd::kHelpContentsWinHelp:
      return "index.html";
    case app::cmd::kFaq:
      return "faq.html";
    default:
      return std::nullopt;
  }
}

std::vector<fs::path> helpFolders(const fs::path& programFolder) {
  return {(programFolder / VOLTA_HELP_FROM_PROGRAM).lexically_normal(),
          (programFolder / ".." / "share" / "volta" / "help").lexically_normal()};
}

std::optional<fs::path> helpFile(int command, const fs::path& programFolder) {
  const auto page = helpPageName(command);
  if (!page) return std::nullopt;
  for (const fs::path& folder : helpFolders(programFolder)) {
    std::error_code error;
    if (fs::is_regular_file(folder / *page, error)) return folder / *page;
  }
  return std::nullopt;
}

bool openHelp(int command, const fs::path& programFolder) {
  const auto file = helpFile(command, programFolder);
  return file && QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(file->c_str())));
}

}  // namespace volta::shell
