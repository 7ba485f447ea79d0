// The DV converter binding: without the library every call fails quietly; with a stand-in
// library the calls reach it with the expected arguments.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "player/wrd/dv/dv2wrd_wrapper.h"
#include "tests/support/test_support.h"

namespace volta::wrd::dv {
namespace {

const std::filesystem::path kFakeLibrary = VOLTA_FAKE_DV2WRD;

std::span<const std::uint8_t> bytesOf(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

int fakeCounter(const char* name) {
  void* handle = dlopen(kFakeLibrary.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) return -100;
  auto* function = reinterpret_cast<std::int32_t (*)()>(dlsym(handle, name));
  const int value = function == nullptr ? -200 : function();
  dlclose(handle);
  return value;
}

TEST(DV2WRDWrapper, WithoutTheLibraryEveryCallFailsQuietly) {
  volta::test::TempDir empty;
  DV2WRDWrapper wrapper;
  ASSERT_FALSE(wrapper.load(empty.path())) << "a libdv2wrd32.so is installed on this system";
  EXPECT_FALSE(wrapper.available());
  std::vector<std::uint8_t> output(16);
  EXPECT_EQ(wrapper.convertDVtoWRD(output, bytesOf("x")), -1);
  EXPECT_EQ(wrapper.version(), std::nullopt);
  EXPECT_EQ(wrapper.getBuffer(1, 2), -1);
  wrapper.showDialog(0);
  EXPECT_EQ(aboutLine(wrapper), "");
  EXPECT_EQ(convertDvScript(wrapper, bytesOf("DV")), std::nullopt);
}

TEST(DV2WRDWrapper, LibraryInTheProgramFolderIsBoundByName) {
  DV2WRDWrapper wrapper;
  ASSERT_TRUE(wrapper.load(kFakeLibrary.parent_path()));
  EXPECT_TRUE(wrapper.available());
  EXPECT_EQ(fakeCounter("fakeDialogValue"), 0);  // the dialog entry is called with 0 once loaded
  const int dialogCalls = fakeCounter("fakeDialogCalls");
  EXPECT_GE(dialogCalls, 1);

  EXPECT_EQ(convertDvScript(wrapper, bytesOf("abc")), "@REM abc\n@END\n");  // without carriage returns
  EXPECT_EQ(fakeCounter("fakeLastLength"), 3);
  EXPECT_EQ(convertDvScript(wrapper, bytesOf("!bad")), std::nullopt);

  const auto version = wrapper.version();
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->major, 1);
  EXPECT_EQ(version->minor, 23);
  EXPECT_EQ(version->description, "fake converter");
  EXPECT_EQ(aboutLine(wrapper), "DV2WRD32.DLL Ver.1.23 fake converter");
  EXPECT_EQ(wrapper.getBuffer(4, 5), 4005);
  wrapper.showDialog(7);
  EXPECT_EQ(fakeCounter("fakeDialogValue"), 7);
  EXPECT_EQ(fakeCounter("fakeDialogCalls"), dialogCalls + 1);

  wrapper.unload();
  EXPECT_FALSE(wrapper.available());
  std::vector<std::uint8_t> output(16);
  EXPECT_EQ(wrapper.convertDVtoWRD(output, bytesOf("abc")), -1);
}

TEST(DV2WRDWrapper, AFileThatIsNoLibraryIsRefused) {
  volta::test::TempDir folder;
  volta::test::writeFile(folder / kLibraryName, {'n', 'o', 't', ' ', 'E', 'L', 'F'});
  DV2WRDWrapper wrapper;
  EXPECT_FALSE(wrapper.loadFile(folder / kLibraryName));
  EXPECT_FALSE(wrapper.available());
}

}  // namespace
}  // namespace volta::wrd::dv
