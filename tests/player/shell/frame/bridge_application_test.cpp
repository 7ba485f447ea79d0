// The whole program with an older engine named in its settings: it binds the bridge and
// plays through it onto the native engine, or tells why it cannot.

#include "tests/player/shell/frame/application_fixture.h"

namespace volta::shell {
namespace {

class BridgeApplicationTest : public ApplicationTest {
 protected:
  // The program's folder with a bridge of its own, loaded afresh for this test's settings.
  void SetUp() override {
    ApplicationTest::SetUp();
    places_.programFolder = dir_ / "program";
    fs::create_directories(places_.programFolder);
    fs::copy_file(test::binDir() / "libvolta95.so", places_.programFolder / "libvolta95.so");
    fs::create_symlink(test::binDir() / "libvoltant.so", places_.programFolder / "libvoltant.so");
  }
  void nameOlderEngine(const std::string& name) {
    platform::settings::SettingsStore(places_.settingsFile).writeString(kMainKey, "BridgeEngine", name);
  }
};

TEST_F(BridgeApplicationTest, PlaysThroughTheBridgeOntoTheNativeEngine) {
  nameOlderEngine(VOLTA_NATIVE_OLDER_ENGINE);
  MIDIApplication& app = launch({songs_[0].string()});
  ASSERT_NE(app.setup().binding(), nullptr) << app.engineMessage();
  EXPECT_EQ(app.setup().binding()->type(), core::kBridgeLibrary);
  EXPECT_TRUE(app.dialogLog().empty()) << app.dialogLog().front();
  EXPECT_TRUE(waitFor([&] { return heard(0); }));
}

TEST_F(BridgeApplicationTest, ABridgeWithoutItsOlderEngineTellsTheVersionMessage) {
  nameOlderEngine((dir_ / "absent.so").string());
  ::testing::internal::CaptureStderr();
  MIDIApplication& app = launch({songs_[0].string()});
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(app.setup().binding(), nullptr);
  ASSERT_FALSE(app.dialogLog().empty());
  EXPECT_EQ(app.dialogLog().front(), "VOLTA error report: DLLのバージョンが違います。");
}

}  // namespace
}  // namespace volta::shell
