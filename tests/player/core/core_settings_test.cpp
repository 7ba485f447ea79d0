#include "player/core/core_settings.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace volta::core {
namespace {

namespace st = volta::platform::settings;

TEST(CoreSettings, AnEmptyStoreGivesTheDefaults) {
  test::TempDir dir;
  const st::SettingsStore store(dir / "VOLTA.conf");
  const CoreSettings s = CoreSettings::read(store);
  EXPECT_EQ(s.mainTemplate.ports, (std::array<std::string, 3>{"MIDI Mapper", "(None)", "(None)"}));
  EXPECT_EQ(s.mainTemplate.module, "THRU");
  EXPECT_EQ(s.defaultModule, "THRU");
  EXPECT_EQ(s.filter, "NONE");
  EXPECT_EQ(s.userDefFile, "");
  EXPECT_EQ(s.bridgeEngine, "");  // no older engine: the native one only
  EXPECT_EQ(s.intervalTime, 5);
  EXPECT_EQ(s.autoScan, 1);
  EXPECT_EQ(s.autoDoc, 1);
  EXPECT_EQ(s.repeatCount, 2);
  EXPECT_EQ(s.scanLength, 1);
  EXPECT_EQ(s.midiTemplateMode, -1);
}

TEST(CoreSettings, RoundTripAndTheIntervalRule) {
  test::TempDir dir;
  st::SettingsStore store(dir / "VOLTA.conf");
  CoreSettings s;
  s.mainTemplate.ports[1] = "Trace";
  s.userDefFile = "/home/u/my.def";
  s.bridgeEngine = "/opt/old/libvolta16.so";
  s.autoScan = 0;
  s.intervalTime = 0;
  ASSERT_TRUE(s.write(store));
  const CoreSettings back = CoreSettings::read(store);
  EXPECT_EQ(back.mainTemplate.ports[1], "Trace");
  EXPECT_EQ(back.userDefFile, "/home/u/my.def");
  EXPECT_EQ(back.autoScan, 0);
  EXPECT_EQ(back.intervalTime, 10);  // 0 is saved as 10
  EXPECT_EQ(store.readString(st::kMainKey, "PORT_B", ""), "Trace");
  EXPECT_EQ(store.readString(st::kMainKey, "BridgeEngine", ""), "/opt/old/libvolta16.so");
}

TEST(CoreSettings, TheCurrentTemplateComesFromItsSubKey) {
  test::TempDir dir;
  st::SettingsStore store(dir / "VOLTA.conf");
  MidiTemplate t;
  t.module = "MU80";
  t.ports = {"Software synthesizer", "Trace", "(None)"};
  ASSERT_TRUE(t.write(store, 2));
  ASSERT_TRUE(store.writeInt(st::kMainKey, "MIDITemplateMode", 2));
  const CoreSettings s = CoreSettings::read(store);
  const MidiTemplate current = s.currentTemplate(store);
  EXPECT_EQ(current.module, "MU80");
  EXPECT_EQ(current.ports[0], "Software synthesizer");
  EXPECT_EQ(store.readString(st::midiTemplateKey(2), "PORT_C", ""), "(None)");
  EXPECT_EQ(MidiTemplate::read(store, 5).module, "THRU");  // a template never saved has the defaults
}

}  // namespace
}  // namespace volta::core
