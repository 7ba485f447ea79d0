// A song opened from the desktop while the player runs: the desktop finds our entry as the
// default of the song's type and starts its Exec line with the file, which hands the song to
// the running player. Everything lives in private XDG and runtime folders.

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>

#include "platform/desktop/file_associations.h"
#include "platform/settings/settings_store.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"
#include "tests/support/trace_log.h"

namespace volta::shell {
namespace {

namespace dt = platform::desktop;
namespace fs = std::filesystem;

TEST(OpenFromDesktop, ASongOpenedWithTheDefaultApplicationPlaysInTheRunningPlayer) {
  if (!test::commandsPresent({"xdg-open", "file", "update-desktop-database", "update-mime-database"}))
    GTEST_SKIP() << "the XDG tools are not installed";
  test::TempDir dir;
  const dt::XdgPlaces places{dir / "data", dir / "config"};
  const auto desktopless = [](const auto& argv, const auto& environment) {
    auto all = environment;
    all.emplace_back("XDG_CURRENT_DESKTOP", "");
    return dt::runTool(argv, all);
  };
  dt::FileAssociations associations(places, test::binDir() / "volta", desktopless);
  ASSERT_TRUE(associations.apply({"audio/midi"}, {})) << associations.error();

  fs::create_directories(dir / "run");
  fs::permissions(dir / "run", fs::perms::owner_all, fs::perm_options::replace);
  platform::settings::SettingsStore(dir / "volta-config" / "QZ" / "VOLTA.conf")
      .writeString(platform::settings::kMainKey, "PORT_A", "Trace");
  const fs::path song = dir / "from the file manager.mid";
  test::SmfTrack track;
  track.trackName(0, "Opened").tempo(0, 500000).noteOn(0, 0, 67, 100).noteOff(96 * 8, 0, 67).endOfTrack(0);
  test::writeFile(song, test::SmfWriter(0, 96).track(track).build());
  const fs::path trace = dir / "trace.log";

  auto environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_RUNTIME_DIR", QString::fromStdString((dir / "run").string()));
  environment.insert("XDG_DATA_HOME", QString::fromStdString(places.dataHome.string()));
  environment.insert("XDG_CONFIG_HOME", QString::fromStdString(places.configHome.string()));
  environment.insert("VOLTA_CONFIG_HOME", QString::fromStdString((dir / "volta-config").string()));
  environment.insert("VOLTA_MIDI_TRACE", QString::fromStdString(trace.string()));
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.remove("XDG_CURRENT_DESKTOP");
  QProcess player;
  player.setProcessEnvironment(environment);
  player.start(QString::fromStdString((test::binDir() / "volta").string()), {"/n"});
  ASSERT_TRUE(player.waitForStarted(5000));
  // The socket appears before the player's event loop runs: ready means answering.
  ASSERT_TRUE(test::waitUntil([&] {
    QProcess request;
    request.setProcessEnvironment(environment);
    request.start(QString::fromStdString((test::binDir() / "volta").string()), {"dde-request", "GetStatus"});
    return request.waitForFinished(5000) && !request.readAllStandardOutput().trimmed().isEmpty();
  }));

  // xdg-open opens files only for a session with a display; it never connects to one.
  environment.insert("DISPLAY", ":0");
  QProcess desktop;
  desktop.setProcessEnvironment(environment);
  desktop.start("xdg-open", {QString::fromStdString(song.string())});
  ASSERT_TRUE(desktop.waitForFinished(10000));
  EXPECT_EQ(desktop.exitCode(), 0) << desktop.readAllStandardError().toStdString();
  EXPECT_TRUE(test::waitUntil([&] {
    const auto lines = test::readTrace(trace);
    return test::findLine(lines, "90 43") < lines.size();
  }));
  EXPECT_EQ(player.state(), QProcess::Running);
  player.kill();
  player.waitForFinished(2000);
}

}  // namespace
}  // namespace volta::shell
