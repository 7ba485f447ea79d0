// The private temporary folder that converted songs are written to.

#include "player/core/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "tests/support/test_support.h"

namespace volta::core {
namespace {

namespace fs = std::filesystem;

class PrivateTempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) saved_ = old;
    setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
  }
  void TearDown() override {
    if (saved_)
      setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1);
    else
      unsetenv("XDG_RUNTIME_DIR");
  }

  test::TempDir runtime_;
  std::optional<std::string> saved_;
};

TEST_F(PrivateTempFolder, IsCreatedForTheUserAlone) {
  const auto folder = privateTempFolder();
  ASSERT_TRUE(folder);
  EXPECT_EQ(*folder, runtime_ / "volta");
  struct stat info {};
  ASSERT_EQ(stat(folder->c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_EQ(privateTempFolder(), folder);  // found again as it is
}

TEST_F(PrivateTempFolder, RefusesALinkOrAFolderOpenToOthers) {
  const test::TempDir elsewhere;
  fs::create_directory_symlink(elsewhere.path(), runtime_ / "volta");
  EXPECT_FALSE(privateTempFolder());
  fs::remove(runtime_ / "volta");
  fs::create_directory(runtime_ / "volta");
  fs::permissions(runtime_ / "volta", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  EXPECT_FALSE(privateTempFolder());
}

}  // namespace
}  // namespace volta::core
