// Two starts of the program: the second, given a song while the first runs, makes
// the first play it and ends at once with status 0. Each run has its own runtime,
// settings and data folders, so it meets no other player.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <chrono>
#include <filesystem>

#include "platform/settings/settings_store.h"
#include "player/shell/dde/dde_client.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"
#include "tests/support/trace_log.h"

namespace volta::shell {
namespace {

namespace fs = std::filesystem;

class HandOverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "run");
    fs::permissions(dir_ / "run", fs::perms::owner_all, fs::perm_options::replace);
    platform::settings::SettingsStore store(dir_ / "config" / "QZ" / "VOLTA.conf");
    store.writeString(platform::settings::kMainKey, "PORT_A", "Trace");
    test::SmfTrack track;
    track.trackName(0, "Handed over").tempo(0, 500000).noteOn(0, 0, 67, 100).noteOff(96 * 8, 0, 67).endOfTrack(0);
    test::writeFile(song_, test::SmfWriter(0, 96).track(track).build());
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString((dir_ / "run").string()));
    environment.insert("XDG_DATA_HOME", QString::fromStdString((dir_ / "data").string()));
    environment.insert("VOLTA_CONFIG_HOME", QString::fromStdString((dir_ / "config").string()));
    environment.insert("VOLTA_MIDI_TRACE", QString::fromStdString(trace_.string()));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    first_.setProcessEnvironment(environment);
    second_.setProcessEnvironment(environment);
  }
  void TearDown() override {
    first_.kill();
    first_.waitForFinished(2000);
  }
  QString program() const { return QString::fromStdString((test::binDir() / "volta").string()); }
  QByteArray request(const QString& item) {
    second_.start(program(), {"dde-request", item});
    EXPECT_TRUE(second_.waitForFinished(5000));
    return second_.readAllStandardOutput().trimmed();
  }
  fs::path socketPath() const { return dir_ / "run" / "volta" / "dde.socket"; }
  bool socketUp() const { return fs::exists(socketPath()); }
  // The socket appears before the player's event loop runs: ready means answering.
  bool answering() const {
    dde::MIDIDDEClient client(QString::fromStdString(socketPath().string()));
    return client.connected() && client.getStatus().has_value();
  }
  fs::path defaultList() const { return dir_ / "data" / "volta" / "DEFAULT.TO2"; }
  bool heard() const {
    const auto lines = test::readTrace(trace_);
    return test::findLine(lines, "90 43") < lines.size();
  }

  test::TempDir dir_;
  fs::path trace_ = dir_ / "trace.log";
  fs::path song_ = dir_ / "handed.mid";
  QProcess first_, second_;
};

TEST_F(HandOverTest, ASecondStartWithAFileMakesTheRunningPlayerPlayIt) {
  first_.start(program(), {"/n"});
  ASSERT_TRUE(first_.waitForStarted(5000));
  ASSERT_TRUE(test::waitUntil([&] { return fs::exists(dir_ / "run" / "volta" / "dde.socket"); }));
  EXPECT_FALSE(heard());

  second_.start(program(), {QString::fromStdString(song_.string())});
  ASSERT_TRUE(second_.waitForFinished(5000));
  EXPECT_EQ(second_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second_.exitCode(), 0);
  ASSERT_TRUE(test::waitUntil([&] { return heard(); }));
  EXPECT_EQ(first_.state(), QProcess::Running);

  // The running player answers requests about what it plays.
  second_.start(program(), {"dde-request", "GetStatus"});
  ASSERT_TRUE(second_.waitForFinished(5000));
  EXPECT_EQ(second_.exitCode(), 0);
  EXPECT_EQ(second_.readAllStandardOutput().trimmed(), QByteArray("play"));

  // A command for the running player: it stops, and the sender ends with status 0.
  second_.start(program(), {"dde", "Stop"});
  ASSERT_TRUE(second_.waitForFinished(5000));
  EXPECT_EQ(second_.exitCode(), 0);
  second_.start(program(), {"dde-request", "GetStatus"});
  ASSERT_TRUE(second_.waitForFinished(5000));
  EXPECT_EQ(second_.readAllStandardOutput().trimmed(), QByteArray("stop"));
}

// Each failure raises a message; none of them may hold up the answers, and a flood of
// them must not pile up event loops until the player falls over.
TEST_F(HandOverTest, CommandsNamingMissingFilesAreEachAnsweredAtOnce) {
  first_.start(program(), {"/n"});
  ASSERT_TRUE(first_.waitForStarted(5000));
  ASSERT_TRUE(test::waitUntil([&] { return answering(); }));
  dde::MIDIDDEClient client(QString::fromStdString(socketPath().string()));
  ASSERT_TRUE(client.connected());
  for (int n = 0; n < 500; ++n) {
    QElapsedTimer clock;
    clock.start();
    const auto answer = client.executeAnswer("PlayFile \"/nonexistent/song" + std::to_string(n) + ".mid\"");
    ASSERT_TRUE(answer.has_value()) << "command " << n;
    EXPECT_LT(clock.elapsed(), 1000) << "command " << n;
  }
  // A folder whose song cannot be read: its message does not hold up the answer either.
  fs::create_directories(dir_ / "folder");
  test::writeFile(dir_ / "folder" / "broken.mid", {'M', 'T', 'h', 'd', 0, 0});
  QElapsedTimer clock;
  clock.start();
  EXPECT_TRUE(client.executeAnswer("OpenFile \"" + (dir_ / "folder").string() + "/\"").has_value());
  EXPECT_LT(clock.elapsed(), 1000);
  EXPECT_TRUE(client.getStatus().has_value());
}

TEST_F(HandOverTest, HelpAndVersionLeaveARunningPlayerUntouched) {
  first_.start(program(), {"/n"});
  ASSERT_TRUE(first_.waitForStarted(5000));
  ASSERT_TRUE(test::waitUntil([&] { return answering(); }));

  second_.start(program(), {"--help"});
  ASSERT_TRUE(second_.waitForFinished(5000));
  EXPECT_EQ(second_.exitCode(), 0);
  EXPECT_TRUE(second_.readAllStandardOutput().startsWith("usage: volta"));
  second_.start(program(), {"--version"});
  ASSERT_TRUE(second_.waitForFinished(5000));
  EXPECT_EQ(second_.exitCode(), 0);
  EXPECT_TRUE(second_.readAllStandardOutput().startsWith("volta "));
  second_.start(program(), {"--bogus"});
  ASSERT_TRUE(second_.waitForFinished(5000));
  EXPECT_EQ(second_.exitCode(), 2);

  // The running player was asked nothing: its list is still empty and it plays nothing.
  EXPECT_EQ(request("GetCount"), QByteArray("0"));
  EXPECT_EQ(request("GetStatus"), QByteArray("stop"));
  EXPECT_EQ(first_.state(), QProcess::Running);
}

TEST_F(HandOverTest, ARefusedCommandSaysWhy) {
  first_.start(program(), {"/n"});
  ASSERT_TRUE(first_.waitForStarted(5000));
  ASSERT_TRUE(test::waitUntil([&] { return answering(); }));
  second_.start(program(), {"dde", "Rewind"});
  ASSERT_TRUE(second_.waitForFinished(5000));
  EXPECT_EQ(second_.exitCode(), 1);
  EXPECT_TRUE(second_.readAllStandardError().contains("did not process"));
}

TEST_F(HandOverTest, ARequestWithNoPlayerRunningFailsAtOnce) {
  second_.start(program(), {"dde-request", "GetStatus"});
  ASSERT_TRUE(second_.waitForFinished(5000));
  EXPECT_EQ(second_.exitCode(), 1);
  EXPECT_TRUE(second_.readAllStandardOutput().isEmpty());
}

TEST_F(HandOverTest, WithoutADisplayNorAPlayerRunningItSaysSoAndFails) {
  auto environment = second_.processEnvironment();
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
    environment.remove(name);
  second_.setProcessEnvironment(environment);
  second_.start(program(), {"dde", "Stop"});
  ASSERT_TRUE(second_.waitForFinished(5000));
  EXPECT_EQ(second_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second_.exitCode(), 1);
  EXPECT_TRUE(second_.readAllStandardError().contains("no display"));
}

// Logging out, kill or a service manager end the player through its Exit: the unnamed list and
// the settings are saved, the ports reset and the socket removed; a second request during the
// save changes nothing.
TEST_F(HandOverTest, TerminationSavesTheListAndSettingsAndTheNextStartRestoresThem) {
  first_.start(program(), {QString::fromStdString(song_.string())});
  ASSERT_TRUE(first_.waitForStarted(5000));
  ASSERT_TRUE(test::waitUntil([&] { return heard(); }));
  ASSERT_TRUE(test::waitUntil([&] { return answering(); }));

  first_.terminate();
  first_.terminate();
  ASSERT_TRUE(first_.waitForFinished(5000));
  EXPECT_EQ(first_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(first_.exitCode(), 0);
  EXPECT_FALSE(socketUp());
  EXPECT_NE(test::readText(defaultList()).find(song_.string()), std::string::npos);
  const platform::settings::SettingsStore settings(dir_ / "config" / "QZ" / "VOLTA.conf");
  EXPECT_EQ(settings.readInt(platform::settings::kMainKey, "LastVolume", -1), 127);

  // The killed player's socket is still there: wait for the new one to answer.
  first_.start(program(), {});
  ASSERT_TRUE(first_.waitForStarted(5000));
  ASSERT_TRUE(test::waitUntil([&] { return request("GetCount") == QByteArray("1"); }));
  EXPECT_EQ(request("GetTitle"), QByteArray("Handed over"));
}

// The process id of a child that has ended: no process runs under it now.
pid_t endedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

TEST_F(HandOverTest, TheListSurvivesAKillTwoSecondsAfterAChangeAndLeftoversGo) {
  const std::string dead = std::to_string(endedProcess());
  const fs::path settingsFile = dir_ / "config" / "QZ" / "VOLTA.conf";
  const fs::path leftovers[] = {settingsFile.parent_path() / (".VOLTA.conf." + dead + ".3"),
                                defaultList().parent_path() / (".DEFAULT.TO2." + dead + ".0")};
  fs::create_directories(defaultList().parent_path());
  for (const fs::path& leftover : leftovers)
    test::writeFile(leftover, {'x'});
  first_.start(program(), {"/n"});
  ASSERT_TRUE(first_.waitForStarted(5000));
  ASSERT_TRUE(test::waitUntil([&] { return answering(); }));

  second_.start(program(), {"dde", "PlayFile \"" + QString::fromStdString(song_.string()) + "\""});
  ASSERT_TRUE(second_.waitForFinished(5000));
  EXPECT_EQ(second_.exitCode(), 0);
  for (const fs::path& leftover : leftovers)
    EXPECT_FALSE(fs::exists(leftover)) << leftover;
  ASSERT_TRUE(test::waitUntil([&] { return test::readText(defaultList()).find(song_.string()) != std::string::npos; },
                              std::chrono::milliseconds(2000)));
  ::kill(static_cast<pid_t>(first_.processId()), SIGKILL);
  ASSERT_TRUE(first_.waitForFinished(5000));

  // The killed player's socket is still there: wait for the new one to answer.
  first_.start(program(), {});
  ASSERT_TRUE(first_.waitForStarted(5000));
  ASSERT_TRUE(test::waitUntil([&] { return request("GetCount") == QByteArray("1"); }));
  EXPECT_EQ(request("GetTitle"), QByteArray("Handed over"));
}

TEST_F(HandOverTest, AHandOverKeepsTheUnnamedListInADatedListFileOfTheHistory) {
  // The last list, unnamed, holds two songs.
  const fs::path other = dir_ / "other.mid";
  fs::copy_file(song_, other);
  fs::create_directories(defaultList().parent_path());
  std::string list = "#! /usr/local/bin/volta\r\n";
  for (const fs::path& name : {song_, other})
    list += name.string() + "\r\nTitle\r\n0\r\n0\r\n\r\n0\r\n\r\n0\r\n0\r\n@\r\n";
  test::writeFile(defaultList(), test::Bytes(list.begin(), list.end()));
  first_.start(program(), {});
  ASSERT_TRUE(first_.waitForStarted(5000));
  ASSERT_TRUE(test::waitUntil([&] { return answering(); }));
  ASSERT_EQ(request("GetCount"), QByteArray("2"));

  second_.start(program(), {QString::fromStdString(song_.string())});
  ASSERT_TRUE(second_.waitForFinished(5000));
  ASSERT_TRUE(test::waitUntil([&] { return heard(); }));
  EXPECT_EQ(request("GetCount"), QByteArray("1"));
  first_.terminate();
  ASSERT_TRUE(first_.waitForFinished(5000));

  const platform::settings::SettingsStore settings(dir_ / "config" / "QZ" / "VOLTA.conf");
  const fs::path kept = settings.readString(platform::settings::kMainKey, "History0", "");
  EXPECT_EQ(kept.parent_path(), defaultList().parent_path());
  EXPECT_NE(test::readText(kept).find(other.string()), std::string::npos);
}

TEST_F(HandOverTest, InterruptAndHangUpEndThePlayerAsTerminationDoes) {
  for (const int signal : {SIGINT, SIGHUP}) {
    fs::remove(defaultList());
    first_.start(program(), {QString::fromStdString(song_.string())});
    ASSERT_TRUE(first_.waitForStarted(5000));
    ASSERT_TRUE(test::waitUntil([&] { return answering(); }));
    ::kill(static_cast<pid_t>(first_.processId()), signal);
    ASSERT_TRUE(first_.waitForFinished(5000)) << signal;
    EXPECT_EQ(first_.exitCode(), 0);
    EXPECT_TRUE(fs::exists(defaultList())) << signal;
  }
}

}  // namespace
}  // namespace volta::shell
