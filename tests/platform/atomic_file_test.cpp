#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/test_support.h"

namespace volta::platform {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
  const auto bytes = test::readFile(file);
  return {bytes.begin(), bytes.end()};
}

TEST(AtomicFile, APrivateFileIsTheUsersAloneWhateverItWasBefore) {
  test::TempDir dir;
  const fs::path file = dir / "settings.conf";
  ASSERT_TRUE(replaceFile(file, "one", FileAccess::kPrivate));
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms(0600));
  ::chmod(file.c_str(), 0644);
  ASSERT_TRUE(replaceFile(file, "two", FileAccess::kPrivate));
  EXPECT_EQ(contents(file), "two");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms(0600));
}

TEST(AtomicFile, ASharedFileKeepsThePermissionsItHad) {
  test::TempDir dir;
  const fs::path file = dir / "list.TO2";
  ASSERT_TRUE(replaceFile(file, "one", FileAccess::kShared));
  ::chmod(file.c_str(), 0604);
  ASSERT_TRUE(replaceFile(file, "two", FileAccess::kShared));
  EXPECT_EQ(contents(file), "two");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms(0604));
}

TEST(AtomicFile, AFailedReplaceLeavesNothingBehind) {
  test::TempDir dir;
  EXPECT_FALSE(replaceFile(dir / "missing" / "file", "text", FileAccess::kShared));
  fs::create_directories(dir / "taken" / "inside");
  EXPECT_FALSE(replaceFile(dir / "taken", "text", FileAccess::kPrivate));
  EXPECT_TRUE(fs::is_directory(dir / "taken" / "inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// Killed saves leave their temporary files; the next start removes those of writers
// that no longer run, and nothing else.
TEST(AtomicFile, LeftoversOfEndedWritersAreRemovedOthersStay) {
  test::TempDir dir;
  const fs::path file = dir / "DEFAULT.TO2";
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  const std::string ended = std::to_string(child);
  const std::string alive = std::to_string(::getpid());
  for (const std::string& name :
       {".DEFAULT.TO2." + ended + ".0", ".DEFAULT.TO2." + ended + ".17", ".DEFAULT.TO2." + alive + ".0",
        std::string(".DEFAULT.TO2.x.0"), ".OTHER.TO2." + ended + ".0", ".DEFAULT.TO2." + ended + ".0.bak"})
    test::writeFile(dir / name, {'x'});
  EXPECT_EQ(removeLeftoverTemporaries(file), 2);
  EXPECT_FALSE(fs::exists(dir / (".DEFAULT.TO2." + ended + ".0")));
  EXPECT_TRUE(fs::exists(dir / (".DEFAULT.TO2." + alive + ".0")));
  EXPECT_TRUE(fs::exists(dir / ".DEFAULT.TO2.x.0"));
  EXPECT_TRUE(fs::exists(dir / (".OTHER.TO2." + ended + ".0")));
  EXPECT_TRUE(fs::exists(dir / (".DEFAULT.TO2." + ended + ".0.bak")));
  EXPECT_EQ(removeLeftoverTemporaries(dir / "missing" / "file"), 0);
}

}  // namespace
}  // namespace volta::platform
