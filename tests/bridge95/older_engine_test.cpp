// Where the bridge looks for the older engine the settings name, and what it binds.

#include "bridge95/older_engine.h"

#include <gtest/gtest.h>

#include "tests/bridge95/bridge_fixture.h"

namespace volta::bridge95 {
namespace {

using Places = std::vector<std::string>;

const std::filesystem::path kProgram = "/opt/volta/bin";

TEST(OlderEngineSearch, NoNameMeansTheOlderEnginesOwnNameBesideTheProgramThenOnTheLibraryPath) {
  const auto search = searchOlderEngine("", kProgram);
  EXPECT_EQ(search.places, (Places{"/opt/volta/bin/libvolta16.so", "libvolta16.so"}));
  EXPECT_TRUE(search.refusal.empty());
}

TEST(OlderEngineSearch, APlainNameIsLookedForBesideTheProgramFirst) {
  EXPECT_EQ(searchOlderEngine("libold.so", kProgram).places, (Places{"/opt/volta/bin/libold.so", "libold.so"}));
}

TEST(OlderEngineSearch, ARelativePathBelongsToTheProgramsFolderOnly) {
  EXPECT_EQ(searchOlderEngine("engines/libold.so", kProgram).places, (Places{"/opt/volta/bin/engines/libold.so"}));
}

TEST(OlderEngineSearch, AnAbsolutePathIsTakenAsItIs) {
  EXPECT_EQ(searchOlderEngine("/usr/lib/libold.so", kProgram).places, (Places{"/usr/lib/libold.so"}));
}

TEST(OlderEngineSearch, NamesThatCannotNameAFileAreRefused) {
  const auto zero = searchOlderEngine(std::string_view("lib\0x.so", 8), kProgram);
  EXPECT_TRUE(zero.places.empty());
  EXPECT_NE(zero.refusal.find("zero byte"), std::string::npos);
  const auto longName = searchOlderEngine(std::string(5000, 'a'), kProgram);
  EXPECT_TRUE(longName.places.empty());
  EXPECT_NE(longName.refusal.find("too long"), std::string::npos);
}

TEST(OlderEngineRegistration, ARefusedNameBindsNothingAndSaysWhy) {
  std::string reason;
  const OlderEngine engine = registerOlderEngine({{}, "the name is refused"}, reason);
  EXPECT_EQ(engine.library, nullptr);
  EXPECT_EQ(engine.entry, nullptr);
  EXPECT_EQ(reason, "the name is refused");
}

TEST(OlderEngineRegistration, TheFirstPlaceThatLoadsServes) {
  std::string reason;
  OlderEngine engine = registerOlderEngine({{"/nonexistent/libvolta16.so", test::standInEngine()}, {}}, reason);
  ASSERT_NE(engine.library, nullptr) << reason;
  EXPECT_EQ(engine.entry, &MIDIEntry);  // the stand-in this test is linked with
  unregisterOlderEngine(engine);
  EXPECT_EQ(engine.library, nullptr);
  EXPECT_EQ(engine.entry, nullptr);
}

TEST(OlderEngineRegistration, NoPlaceLoadingSaysWhyTheLastOneFailed) {
  std::string reason;
  const OlderEngine engine = registerOlderEngine({{"/nonexistent/a.so", "/nonexistent/b.so"}, {}}, reason);
  EXPECT_EQ(engine.entry, nullptr);
  EXPECT_NE(reason.find("/nonexistent/b.so"), std::string::npos) << reason;
}

TEST(OlderEngineSetting, IsReadFromTheMainKey) {
  test::BridgeSettings settings;
  EXPECT_EQ(olderEngineName(settings.store()), "");
  settings.nameOlderEngine("/opt/old/libvolta16.so");
  EXPECT_EQ(olderEngineName(settings.store()), "/opt/old/libvolta16.so");
}

}  // namespace
}  // namespace volta::bridge95
