// Every program answers --help with its usage and status 0, and refuses an unknown option with its
// usage on standard error and status 2, creating nothing.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/test_support.h"

namespace volta {
namespace {

namespace fs = std::filesystem;

class ToolUsageTest : public ::testing::TestWithParam<const char*> {
 protected:
  // Runs the tool in an empty folder; its status, with standard output and error in out_ and err_.
  int run(const std::string& arguments) {
    const std::string command = "cd " + dir_.path().string() + " && " + (test::binDir() / GetParam()).string() + " " +
                                arguments + " > " + out_.string() + " 2> " + err_.string();
    return WEXITSTATUS(std::system(command.c_str()));
  }
  std::string out() const { return test::readText(out_); }
  std::string err() const { return test::readText(err_); }

  test::TempDir dir_;
  fs::path out_ = dir_.path().parent_path() / (dir_.path().filename().string() + ".out");
  fs::path err_ = dir_.path().parent_path() / (dir_.path().filename().string() + ".err");
};

TEST_P(ToolUsageTest, HelpPrintsTheUsageAndSucceeds) {
  EXPECT_EQ(run("--help"), 0);
  EXPECT_NE(out().find("usage: "), std::string::npos) << out();
  EXPECT_TRUE(fs::is_empty(dir_.path()));
}

TEST_P(ToolUsageTest, AnUnknownOptionIsRefusedWithStatusTwo) {
  EXPECT_EQ(run("--no-such-option"), 2);
  EXPECT_NE(err().find("usage: "), std::string::npos) << err();
  EXPECT_TRUE(out().empty());
  EXPECT_TRUE(fs::is_empty(dir_.path()));
}

INSTANTIATE_TEST_SUITE_P(EveryTool, ToolUsageTest,
                         ::testing::Values("volta", "volta-play", "volta-convert", "volta-wrd", "volta-screenshots"),
                         [](const auto& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (c == '-') c = '_';
                           return name;
                         });

}  // namespace
}  // namespace volta
