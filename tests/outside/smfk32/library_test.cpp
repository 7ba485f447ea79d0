// The library as the player reaches it: loaded by name, its two entry points, the result
// codes, and the record whose worker address comes back to the progress callback.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <type_traits>

#include "outside/smfk32/smfk32.h"
#include "player/core/smfk/smfk_library.h"
#include "tests/converter/smf_reader.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"

namespace smfk32 {
namespace {

namespace fs = std::filesystem;
using volta::test::SmfTrack;
using volta::test::SmfWriter;

// The player's view of the entry points is the library's.
static_assert(std::is_same_v<decltype(SmfkConvert), volta::core::smfk::ConvertFunction>);
static_assert(std::is_same_v<decltype(GetSmfkVersion), volta::core::smfk::VersionFunction>);
static_assert(sizeof(SmfkParameters) == sizeof(volta::core::smfk::Parameters));
static_assert(offsetof(SmfkParameters, worker) == offsetof(volta::core::smfk::Parameters, worker));

struct Told {
  std::vector<int> percents;
  void* worker = nullptr;
  int stopAt = 1000;
};

Told* told = nullptr;

std::int32_t record(std::int32_t percent, void* worker) {
  told->percents.push_back(percent);
  told->worker = worker;
  return percent < told->stopAt ? 1 : 0;
}

class SmfkLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = dlopen((volta::test::binDir() / "libsmfk32.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
    convert_ = reinterpret_cast<decltype(&SmfkConvert)>(dlsym(handle_, "SmfkConvert"));
    version_ = reinterpret_cast<decltype(&GetSmfkVersion)>(dlsym(handle_, "GetSmfkVersion"));
    ASSERT_NE(convert_, nullptr);
    ASSERT_NE(version_, nullptr);
    told = &told_;
    SmfTrack track;
    track.program(0, 0, 5).noteOn(0, 0, 60, 100).noteOff(48, 0, 60).endOfTrack(0);
    original_ = SmfWriter(1, 48).track(track).track(track).build();
    volta::test::writeFile(song_, original_);
    text(rules_, "program 1 6 10\ntranspose 1 -1\n");
    parameters_.worker = 0x1234;
  }
  void TearDown() override {
    told = nullptr;
    if (handle_) dlclose(handle_);
  }
  static void text(const fs::path& path, const std::string& text) {
    volta::test::writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
  }
  std::int32_t run(const fs::path& source, const fs::path& rules) {
    return convert_(nullptr, source.c_str(), output_.c_str(), rules.c_str(), 0, &parameters_, record);
  }

  volta::test::TempDir dir_;
  fs::path song_ = dir_ / "A.MID", rules_ = dir_ / "GM.CFG", output_ = dir_ / "A.MID.smfk";
  void* handle_ = nullptr;
  decltype(&SmfkConvert) convert_ = nullptr;
  decltype(&GetSmfkVersion) version_ = nullptr;
  SmfkParameters parameters_{24, {}, 0};
  volta::test::Bytes original_;
  Told told_;
};

TEST_F(SmfkLibraryTest, RewritesTheSongIntoTheOutput) {
  EXPECT_LT(run(song_, rules_), 0);
  const auto bytes = volta::test::readFile(output_);
  const auto file = volta::converter::testing::readSmf(bytes.data(), bytes.size());
  ASSERT_EQ(file.error, "");
  ASSERT_EQ(file.tracks.size(), 2u);
  EXPECT_EQ(file.tracks[1][0].hex(), "C0 09");
  EXPECT_EQ(file.tracks[1][1].hex(), "90 3B 64");
  EXPECT_EQ(told_.percents, (std::vector<int>{0, 50}));
  EXPECT_EQ(told_.worker, reinterpret_cast<void*>(std::uintptr_t{0x1234}));
  EXPECT_EQ(volta::test::readFile(song_), original_);  // the source is never changed
}

TEST_F(SmfkLibraryTest, ResultCodesForEachFailure) {
  EXPECT_EQ(run(song_, dir_ / "missing.cfg"), 1);
  text(dir_ / "bad.cfg", "program 1 200 1\n");
  EXPECT_EQ(run(song_, dir_ / "bad.cfg"), 1);
  EXPECT_EQ(run(dir_ / "missing.mid", rules_), 2);
  text(dir_ / "text.mid", "not a song");
  EXPECT_EQ(run(dir_ / "text.mid", rules_), 4);
  EXPECT_FALSE(fs::exists(output_));
  told_.stopAt = 50;
  EXPECT_EQ(run(song_, rules_), 7);
  EXPECT_FALSE(fs::exists(output_));
  told_.stopAt = 1000;
  const fs::path unwritable = dir_ / "no-folder" / "out.mid";
  EXPECT_EQ(convert_(nullptr, song_.c_str(), unwritable.c_str(), rules_.c_str(), 0, &parameters_, record), 3);
}

TEST_F(SmfkLibraryTest, NullArgumentsAreFailuresNotCrashes) {
  EXPECT_EQ(convert_(nullptr, song_.c_str(), output_.c_str(), nullptr, 0, nullptr, nullptr), 1);
  EXPECT_EQ(convert_(nullptr, nullptr, output_.c_str(), rules_.c_str(), 0, nullptr, nullptr), 2);
  EXPECT_EQ(convert_(nullptr, song_.c_str(), nullptr, rules_.c_str(), 0, nullptr, nullptr), 3);
  EXPECT_LT(convert_(nullptr, song_.c_str(), output_.c_str(), rules_.c_str(), 0, nullptr, nullptr), 0);
}

TEST_F(SmfkLibraryTest, VersionIsOneHundredths) {
  EXPECT_EQ(version_(), 100);
  volta::core::smfk::SmfkLibrary library;
  ASSERT_TRUE(library.load(volta::test::binDir()));
  const auto version = library.version();
  ASSERT_TRUE(version);
  EXPECT_EQ(version->major, 1);
  EXPECT_EQ(version->minor, 0);
}

}  // namespace
}  // namespace smfk32
