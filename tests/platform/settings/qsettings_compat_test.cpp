// The settings file is shared with anything that uses QSettings: each side reads
// what the other wrote.
#include <gtest/gtest.h>

#include <QSettings>
#include <QString>

#include "platform/settings/settings_store.h"
#include "tests/support/test_support.h"

namespace volta::platform::settings {
namespace {

TEST(QSettingsCompat, QSettingsReadsOurFile) {
  test::TempDir dir;
  const auto file = dir / "VOLTA.conf";
  SettingsStore store(file);
  const std::string tricky =
      " x;y,\"z\"\\ \x01"
      "1 ";
  ASSERT_TRUE(store.apply(SettingsBatch()
                              .setInt(kMainKey, "AutoScan", 0)
                              .setString(kMainKey, "Tricky", tricky)
                              .setString(kMainKey, "Name", "曲名")
                              .setString(kMainKey, "At", "@home")
                              .setBinary(kMainKey, "Frame0", {10, 0, 0, 0, 0x31, 0xFF})
                              .setString(midiTemplateKey(2), "PORT_A", "Trace")
                              .setInt(subKey("NewKeyConfigTable"), "2000-1", 5)));
  QSettings qt(QString::fromStdString(file.string()), QSettings::IniFormat);
  EXPECT_EQ(qt.status(), QSettings::NoError);
  EXPECT_EQ(qt.value("AutoScan").toInt(), 0);
  EXPECT_EQ(qt.value("Tricky").toString().toStdString(), tricky);
  EXPECT_EQ(qt.value("Name").toString().toStdString(), "曲名");
  EXPECT_EQ(qt.value("At").toString().toStdString(), "@home");
  EXPECT_EQ(qt.value("Frame0").toByteArray(), QByteArray("\n\0\0\0\x31\xff", 6));
  EXPECT_EQ(qt.value("MIDITemplate2/PORT_A").toString().toStdString(), "Trace");
  EXPECT_EQ(qt.value("NewKeyConfigTable/2000-1").toInt(), 5);
}

TEST(QSettingsCompat, WeReadQSettingsFile) {
  test::TempDir dir;
  const auto file = dir / "VOLTA.conf";
  const std::string tricky =
      " x;y,\"z\"\\ \x01"
      "1 ";
  {
    QSettings qt(QString::fromStdString(file.string()), QSettings::IniFormat);
    qt.setValue("WindowMode", -1);
    qt.setValue("Tricky", QString::fromStdString(tricky));
    qt.setValue("Name", QString::fromUtf8("曲名"));
    qt.setValue("At", QString("@home"));
    qt.setValue("FrameMode", QByteArray("\x01\0\x30\xfe\x7f", 5));
    qt.setValue("Album/Counts", 3);
    qt.setValue("Album/0", QString("a.mid"));
    qt.sync();
  }
  SettingsStore store(file);
  EXPECT_EQ(store.readInt(kMainKey, "WindowMode", 0), -1);
  EXPECT_EQ(store.readString(kMainKey, "Tricky", ""), tricky);
  EXPECT_EQ(store.readString(kMainKey, "Name", ""), "曲名");
  EXPECT_EQ(store.readString(kMainKey, "At", ""), "@home");
  EXPECT_EQ(store.readBinary(kMainKey, "FrameMode", {}), (std::vector<std::uint8_t>{1, 0, 0x30, 0xFE, 0x7F}));
  EXPECT_EQ(store.readInt(subKey("Album"), "Counts", 0), 3);
  EXPECT_EQ(store.readString(subKey("Album"), "0", ""), "a.mid");
}

}  // namespace
}  // namespace volta::platform::settings
