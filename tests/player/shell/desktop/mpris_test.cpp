// The real program on a private session bus: the desktop's media controls drive it with
// gdbus as media keys and playerctl would, and read back what plays. Run by CTest inside
// dbus-run-session; skipped when no session bus is given.

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <cstdlib>
#include <filesystem>

#include "platform/settings/settings_store.h"
#include "player/shell/dde/dde_client.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"
#include "tests/support/trace_log.h"

namespace volta::shell {
namespace {

namespace fs = std::filesystem;

class MprisTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (!bus || !*bus) GTEST_SKIP() << "no private session bus (run through dbus-run-session)";
    fs::create_directories(dir_ / "run");
    fs::permissions(dir_ / "run", fs::perms::owner_all, fs::perm_options::replace);
    platform::settings::SettingsStore store(dir_ / "config" / "QZ" / "VOLTA.conf");
    store.writeString(platform::settings::kMainKey, "PORT_A", "Trace");
    writeSong(dir_ / "one.mid", "First song", 67);
    writeSong(dir_ / "two.mid", "Second song", 72);
    std::string list = "#! /usr/local/bin/volta\r\n";
    for (const auto& [name, title] : {std::pair{"one.mid", "First song"}, std::pair{"two.mid", "Second song"}})
      list += (dir_ / name).string() + "\r\n" + title + "\r\n0\r\n0\r\n\r\n0\r\n\r\n0\r\n0\r\n@\r\n";
    test::writeFile(list_, test::Bytes(list.begin(), list.end()));
    environment_ = QProcessEnvironment::systemEnvironment();
    environment_.insert("XDG_RUNTIME_DIR", QString::fromStdString((dir_ / "run").string()));
    environment_.insert("XDG_DATA_HOME", QString::fromStdString((dir_ / "data").string()));
    environment_.insert("VOLTA_CONFIG_HOME", QString::fromStdString((dir_ / "config").string()));
    environment_.insert("VOLTA_MIDI_TRACE", QString::fromStdString(trace_.string()));
    environment_.insert("QT_QPA_PLATFORM", "offscreen");
    player_.setProcessEnvironment(environment_);
  }
  void TearDown() override {
    player_.kill();
    player_.waitForFinished(2000);
  }
  static void writeSong(const fs::path& file, const char* title, int note) {
    test::SmfTrack track;
    track.trackName(0, title).tempo(0, 500000).noteOn(0, 0, note, 100).noteOff(96 * 16, 0, note).endOfTrack(0);
    test::writeFile(file, test::SmfWriter(0, 96).track(track).build());
  }
  void startPlayer(const QStringList& arguments) {
    player_.start(QString::fromStdString((test::binDir() / "volta").string()), arguments);
    ASSERT_TRUE(player_.waitForStarted(5000));
  }
  // gdbus on the player's object; the reply as gdbus prints it, empty on failure.
  std::string call(const QStringList& arguments) {
    QProcess gdbus;
    gdbus.start("gdbus", QStringList{"call", "--session", "--dest", "org.mpris.MediaPlayer2.volta", "--object-path",
                                     "/org/mpris/MediaPlayer2", "--method"} +
                             arguments);
    if (!gdbus.waitForFinished(5000) || gdbus.exitCode() != 0) return {};
    return gdbus.readAllStandardOutput().trimmed().toStdString();
  }
  std::string property(const QString& name) {
    return call({"org.freedesktop.DBus.Properties.Get", "org.mpris.MediaPlayer2.Player", name});
  }
  std::string control(const QString& method) { return call({"org.mpris.MediaPlayer2.Player." + method}); }
  // The number after `label` in a reply; -1 when the label is missing.
  static long long number(const std::string& reply, const std::string& label) {
    const std::size_t at = reply.find(label);
    return at == std::string::npos ? -1 : std::atoll(reply.c_str() + at + label.size());
  }
  long long position() { return number(property("Position"), "<int64 "); }
  bool heard(const char* bytes) const {
    const auto lines = test::readTrace(trace_);
    return test::findLine(lines, bytes) < lines.size();
  }

  test::TempDir dir_;
  fs::path trace_ = dir_ / "trace.log";
  fs::path list_ = dir_ / "songs.TO2";
  QProcessEnvironment environment_;
  QProcess player_;
};

TEST_F(MprisTest, PlayPauseAndNextFromTheBusAreHeardAndReadBack) {
  startPlayer({QString::fromStdString(list_.string())});
  ASSERT_TRUE(test::waitUntil([&] { return property("PlaybackStatus") == "(<'Playing'>,)"; }));
  ASSERT_TRUE(test::waitUntil([&] { return heard("90 43"); }));
  const std::string metadata = property("Metadata");
  EXPECT_NE(metadata.find("'xesam:title': <'First song'>"), std::string::npos) << metadata;
  EXPECT_NE(metadata.find("'xesam:url': <'file://" + (dir_ / "one.mid").string() + "'>"), std::string::npos)
      << metadata;
  // Eight beats at 120 per minute, less the engine's rounding.
  EXPECT_NEAR(number(metadata, "'mpris:length': <int64 "), 8'000'000, 20'000) << metadata;

  // Property changes are signalled to whoever listens.
  QProcess monitor;
  monitor.start("gdbus", {"monitor", "--session", "--dest", "org.mpris.MediaPlayer2.volta"});
  ASSERT_TRUE(monitor.waitForStarted(5000));
  ASSERT_TRUE(
      test::waitUntil([&] { return monitor.waitForReadyRead(10) || !monitor.readAllStandardOutput().isEmpty(); }));

  EXPECT_EQ(control("Pause"), "()");
  EXPECT_EQ(property("PlaybackStatus"), "(<'Paused'>,)");
  EXPECT_EQ(control("Play"), "()");
  EXPECT_EQ(property("PlaybackStatus"), "(<'Playing'>,)");
  EXPECT_EQ(control("Next"), "()");
  ASSERT_TRUE(test::waitUntil(
      [&] { return property("Metadata").find("'xesam:title': <'Second song'>") != std::string::npos; }));
  ASSERT_TRUE(test::waitUntil([&] { return heard("90 48"); }));
  EXPECT_EQ(property("PlaybackStatus"), "(<'Playing'>,)");
  EXPECT_EQ(control("Stop"), "()");
  EXPECT_EQ(property("PlaybackStatus"), "(<'Stopped'>,)");

  QByteArray signalled;
  EXPECT_TRUE(test::waitUntil([&] {
    monitor.waitForReadyRead(10);
    signalled += monitor.readAllStandardOutput();
    return signalled.contains("'PlaybackStatus': <'Stopped'>");
  })) << signalled.toStdString();
  monitor.kill();
  monitor.waitForFinished(2000);
  EXPECT_TRUE(signalled.contains("PropertiesChanged ('org.mpris.MediaPlayer2.Player', {")) << signalled.toStdString();
  EXPECT_TRUE(signalled.contains("'PlaybackStatus': <'Paused'>")) << signalled.toStdString();
  EXPECT_TRUE(signalled.contains("'xesam:title': <'Second song'>")) << signalled.toStdString();
}

TEST_F(MprisTest, SeekMovesThePositionAndQuitEndsThePlayer) {
  startPlayer({QString::fromStdString(list_.string())});
  ASSERT_TRUE(test::waitUntil([&] { return property("PlaybackStatus") == "(<'Playing'>,)"; }));
  EXPECT_EQ(control("Pause"), "()");
  EXPECT_EQ(call({"org.mpris.MediaPlayer2.Player.SetPosition", "/org/volta/track/0", "2500000"}), "()");
  // Seeking lands on the song's ticks (5.2 ms apart here).
  EXPECT_NEAR(position(), 2'500'000, 6'000);
  // A position for a song that is not playing changes nothing.
  EXPECT_EQ(call({"org.mpris.MediaPlayer2.Player.SetPosition", "/org/volta/track/1", "1000000"}), "()");
  EXPECT_NEAR(position(), 2'500'000, 6'000);
  EXPECT_EQ(call({"org.mpris.MediaPlayer2.Player.Seek", "--", "-1000000"}), "()");
  EXPECT_NEAR(position(), 1'500'000, 12'000);
  EXPECT_EQ(call({"org.freedesktop.DBus.Properties.Get", "org.mpris.MediaPlayer2", "Identity"}), "(<'VOLTA Player'>,)");
  EXPECT_EQ(call({"org.mpris.MediaPlayer2.Quit"}), "()");
  ASSERT_TRUE(player_.waitForFinished(5000));
  EXPECT_EQ(player_.exitCode(), 0);
}

// The bus drives the player as its own buttons do: while a remote client holds the lock,
// playback is that client's alone.
TEST_F(MprisTest, WhileARemoteClientHoldsTheLockTheBusChangesNothing) {
  startPlayer({QString::fromStdString(list_.string())});
  ASSERT_TRUE(test::waitUntil([&] { return property("PlaybackStatus") == "(<'Playing'>,)"; }));
  ASSERT_TRUE(test::waitUntil([&] { return fs::exists(dir_ / "run" / "volta" / "dde.socket"); }));
  {
    dde::MIDIDDEClient client(QString::fromStdString((dir_ / "run" / "volta" / "dde.socket").string()));
    ASSERT_TRUE(client.connected());
    ASSERT_TRUE(client.execute("Lock"));
    EXPECT_EQ(control("Pause"), "()");
    EXPECT_EQ(control("Stop"), "()");
    EXPECT_EQ(property("PlaybackStatus"), "(<'Playing'>,)");
  }
  // The conversation ended, and the lock with it.
  ASSERT_TRUE(test::waitUntil([&] {
    control("Pause");
    return property("PlaybackStatus") == "(<'Paused'>,)";
  }));
}

TEST_F(MprisTest, WithoutASessionBusThePlayerGoesOnSilently) {
  environment_.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QString::fromStdString((dir_ / "no-bus").string()));
  player_.setProcessEnvironment(environment_);
  startPlayer({QString::fromStdString(list_.string())});
  ASSERT_TRUE(test::waitUntil([&] { return heard("90 43"); }));
  EXPECT_EQ(player_.state(), QProcess::Running);
  player_.terminate();
  ASSERT_TRUE(player_.waitForFinished(5000));
  EXPECT_EQ(player_.exitCode(), 0);
  EXPECT_FALSE(player_.readAllStandardError().contains("DBus")) << "the missing bus is no news to the user";
}

}  // namespace
}  // namespace volta::shell
