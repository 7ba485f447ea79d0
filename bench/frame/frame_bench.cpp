// The program `volta` as users meet it: the time from starting the process to the
// first paint of its main window, the same for the application object inside a
// running process, the time until it answers its first remote request with each
// SoundFont installed, and the resident memory while a song plays. Except for the
// remote answers, the songs' port A is the trace device, so nothing sounds.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "player/core/app/command_line.h"
#include "player/core/engine_binding.h"
#include "player/shell/dde/dde_client.h"
#include "player/shell/frame/midi_application.h"
#include "tests/support/test_support.h"

namespace {

using namespace volta;
namespace fs = std::filesystem;

// Private folders with port A on the trace device, or on the software synthesizer
// playing the SoundFont given.
struct Sandbox {
  test::TempDir dir;
  explicit Sandbox(const std::string& soundFont = {}) {
    fs::create_directories(dir / "run");
    fs::permissions(dir / "run", fs::perms::owner_all, fs::perm_options::replace);
    platform::settings::SettingsStore store(settingsFile());
    if (soundFont.empty()) {
      store.writeString(platform::settings::kMainKey, "PORT_A", "Trace");
    } else {
      store.writeString(platform::settings::kMainKey, "SoundFont", soundFont);
    }
  }
  QString socketPath() const { return QString::fromStdString((dir / "run" / "volta" / "dde.socket").string()); }
  fs::path settingsFile() const { return dir / "config" / "QZ" / "VOLTA.conf"; }
  QProcessEnvironment environment() const {
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString((dir / "run").string()));
    environment.insert("XDG_DATA_HOME", QString::fromStdString((dir / "data").string()));
    environment.insert("VOLTA_CONFIG_HOME", QString::fromStdString((dir / "config").string()));
    environment.insert("VOLTA_MIDI_TRACE", QString::fromStdString((dir / "trace.log").string()));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("VOLTA_REPORT_FIRST_PAINT", "1");
    return environment;
  }
};

// build/bin beside build/bench, wherever the benchmark is started from.
fs::path binFolder() {
  if (const char* dir = std::getenv("VOLTA_BIN_DIR")) return dir;
  return core::programFolder().parent_path() / "bin";
}
QString program() {
  return QString::fromStdString((binFolder() / "volta").string());
}
QString demo() {
  return QString::fromStdString((fs::path(VOLTA_SOURCE_DIR) / "player/resources/demo.mid").string());
}

void stopProcess(QProcess& process) {
  process.kill();
  process.waitForFinished(2000);
}

void BM_ProcessStartToFirstPaint(benchmark::State& state) {
  for (auto _ : state) {
    Sandbox sandbox;
    QProcess volta;
    volta.setProcessEnvironment(sandbox.environment());
    QElapsedTimer clock;
    clock.start();
    volta.start(program(), {"/n"});
    bool painted = false;
    while (!painted && volta.waitForReadyRead(5000))
      painted = volta.readAll().contains("first paint");
    state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    stopProcess(volta);
    if (!painted) return state.SkipWithError("the window was never painted");
  }
}
BENCHMARK(BM_ProcessStartToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ApplicationToFirstPaint(benchmark::State& state) {
  for (auto _ : state) {
    Sandbox sandbox;
    const core::PlayerPlaces places{binFolder(), sandbox.dir / "data", sandbox.settingsFile()};
    QElapsedTimer clock;
    clock.start();
    shell::MIDIApplication player(places);
    player.answerDialogs(app::Answer::kNo);
    QEventLoop loop;
    QObject::connect(&player, &shell::MIDIApplication::firstPainted, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    player.start(app::parseCommandLine({"/n"}, sandbox.dir.path()));
    loop.exec();
    state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
  }
}
BENCHMARK(BM_ApplicationToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// From the process start until a remote client has the player's status, polling as a
// client would; the SoundFont loads behind the scenes meanwhile.
void BM_ProcessStartToFirstRemoteAnswer(benchmark::State& state, const char* soundFont) {
  if (!fs::exists(soundFont)) return state.SkipWithError((std::string(soundFont) + " is not installed").c_str());
  for (auto _ : state) {
    Sandbox sandbox(soundFont);
    QProcess volta;
    volta.setProcessEnvironment(sandbox.environment());
    QElapsedTimer clock;
    clock.start();
    volta.start(program(), {"/n"});
    bool answered = false;
    while (!answered && clock.elapsed() < 5000) {
      dde::MIDIDDEClient client(sandbox.socketPath());
      answered = client.connected() && client.getStatus().has_value();
      if (!answered) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    stopProcess(volta);
    if (!answered) return state.SkipWithError("the player never answered");
  }
}
BENCHMARK_CAPTURE(BM_ProcessStartToFirstRemoteAnswer, FluidR3, "/usr/share/sounds/sf2/FluidR3_GM.sf2")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK_CAPTURE(BM_ProcessStartToFirstRemoteAnswer, TimGM6mb, "/usr/share/sounds/sf2/TimGM6mb.sf2")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// VmRSS of a process in kB; 0 when it cannot be read.
long residentKilobytes(qint64 pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

void BM_ResidentMemoryWhilePlaying(benchmark::State& state) {
  long peak = 0;
  for (auto _ : state) {
    Sandbox sandbox;
    QProcess volta;
    volta.setProcessEnvironment(sandbox.environment());
    volta.start(program(), {demo()});
    if (!volta.waitForStarted(5000)) return state.SkipWithError("volta did not start");
    // Sampled across the first seconds of the song, the WRD screen and panel running.
    for (int sample = 0; sample < 20; ++sample) {
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
      peak = std::max(peak, residentKilobytes(volta.processId()));
    }
    stopProcess(volta);
  }
  state.counters["peak_rss_MB"] = static_cast<double>(peak) / 1024.0;
}
BENCHMARK(BM_ResidentMemoryWhilePlaying)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
