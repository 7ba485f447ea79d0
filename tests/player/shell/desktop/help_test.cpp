// The help commands resolve to pages that exist: in the build tree beside build/bin, and in
// an installed layout beside the program's folder.

#include "player/shell/desktop/help.h"

#include <gtest/gtest.h>

#include "player/core/app/command_ids.h"
#include "tests/support/test_support.h"

namespace volta::shell {
namespace {

namespace fs = std::filesystem;
namespace cmd = app::cmd;

TEST(Help, EachHelpCommandFindsItsPageInTheBuildTree) {
  for (const int command : {cmd::kHelpContents, cmd::kHelpContentsWinHelp, cmd::kFaq}) {
    const auto page = helpFile(command, test::binDir());
    ASSERT_TRUE(page.has_value()) << command;
    EXPECT_TRUE(fs::is_regular_file(*page));
    EXPECT_EQ(page->parent_path(), (test::binDir() / ".." / "share" / "volta" / "help").lexically_normal());
  }
  EXPECT_EQ(helpFile(cmd::kHelpContents, test::binDir())->filename(), "index.html");
  EXPECT_EQ(helpFile(cmd::kFaq, test::binDir())->filename(), "faq.html");
  EXPECT_FALSE(helpFile(cmd::kAbout, test::binDir()).has_value());
}

TEST(Help, TheFirstFolderIsTheInstalledDataFolderAndAMissingPageIsNone) {
  test::TempDir dir;
  const fs::path program = dir / "usr" / "lib" / "volta";
  fs::create_directories(program);
  EXPECT_FALSE(helpFile(cmd::kHelpContents, program).has_value());
  const fs::path installed = helpFolders(program).front();
  EXPECT_EQ(installed, (dir / "usr" / "share" / "volta" / "help").lexically_normal());
  fs::create_directories(installed);
  test::writeFile(installed / "index.html", {'<', 'p', '>'});
  EXPECT_EQ(helpFile(cmd::kHelpContents, program), installed / "index.html");
  EXPECT_FALSE(helpFile(cmd::kFaq, program).has_value());
}

// Every page the help links to is there: a broken link is a dead end for a reader.
TEST(Help, EveryLinkBetweenThePagesLeadsToAPage) {
  const fs::path folder = test::sourceDir() / "docs" / "help";
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".html") continue;
    const std::string text = test::readText(entry.path());
    for (std::size_t at = text.find("href=\""); at != std::string::npos; at = text.find("href=\"", at + 1)) {
      const std::size_t start = at + 6;
      const std::string target = text.substr(start, text.find('"', start) - start);
      EXPECT_TRUE(fs::exists(folder / target)) << entry.path().filename() << " links to " << target;
    }
  }
}

}  // namespace
}  // namespace volta::shell
