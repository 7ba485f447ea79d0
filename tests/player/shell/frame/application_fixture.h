#pragma once
// The whole program in one process on the real engine, its port A on the trace device,
// with private settings and data folders: what the program-level tests share.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

#include "platform/clock.h"
#include "player/core/app/frame_view.h"
#include "player/core/app/player_controller.h"
#include "player/core/playlist/list_files.h"
#include "player/shell/frame/main_frame.h"
#include "player/shell/frame/midi_application.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"
#include "tests/support/trace_log.h"

namespace volta::shell {

namespace fs = std::filesystem;
using platform::settings::kMainKey;

// Song i: its title, then note 60 + i held for 20 quarters at 120 per minute.
inline test::Bytes song(int i) {
  test::SmfTrack track;
  track.trackName(0, "Song " + std::to_string(i)).tempo(0, 500000).timeSignature(0, 4, 2);
  track.noteOn(0, 0, 60 + i, 100).noteOff(96 * 20, 0, 60 + i).endOfTrack(0);
  return test::SmfWriter(0, 96).track(track).build();
}

inline std::string noteOn(int i) {
  char bytes[16];
  std::snprintf(bytes, sizeof bytes, "90 %02X", 60 + i);
  return bytes;
}

// The program loads the engine once per run; the tests start several players in one
// process, so the library stays loaded between them instead of going and coming back.
inline void keepEngineLoaded() {
  static void* const library = dlopen((test::binDir() / "libvoltant.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
}

inline bool waitFor(const std::function<bool()>& done) {
  for (int polls = 0; polls < 4000; ++polls) {
    if (done()) return true;
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return done();
}

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    keepEngineLoaded();
    platform::installClock(&clock_);
    clock_.setMicroseconds(1'000'000'000);
    test::traceDeviceFor(trace_);
    setenv("VOLTA_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    places_ = {test::binDir(), dir_ / "data", dir_ / "config" / "QZ" / "VOLTA.conf"};
    platform::settings::SettingsStore store(places_.settingsFile);
    store.writeString(kMainKey, "PORT_A", "Trace");
    // The offscreen platform has no notification area: its notice would take the keys' window.
    store.writeInt(kMainKey, "TrayIcon", 0);
    for (int i = 0; i < 4; ++i) {
      songs_.push_back(dir_ / ("song" + std::to_string(i) + ".mid"));
      test::writeFile(songs_.back(), song(i));
    }
  }
  void TearDown() override {
    app_.reset();
    platform::installClock(nullptr);
  }

  MIDIApplication& launch(const std::vector<std::string>& args) {
    app_ = std::make_unique<MIDIApplication>(places_);
    app_->answerDialogs(app::Answer::kNo);
    app_->start(app::parseCommandLine(args, dir_.path()));
    return *app_;
  }
  fs::path listFile() {
    std::vector<core::MIDIFile> files;
    for (std::size_t i = 0; i < songs_.size(); ++i) {
      core::MIDIFile entry;
      entry.fileName = songs_[i].string();
      entry.title = "Song " + std::to_string(i);
      files.push_back(entry);
    }
    const fs::path list = dir_ / "songs.TO2";
    EXPECT_TRUE(core::saveListFile(list, core::writeFormatA(files, false)));
    return list;
  }
  std::vector<test::TraceLine> trace() const { return test::readTrace(trace_); }
  bool heard(int i) const {
    const auto lines = trace();
    return test::findLine(lines, noteOn(i)) < lines.size();
  }
  void command(int id) { app_->frame().commandChosen(id); }
  std::string title() const { return app_->frame().windowTitle().toStdString(); }

  test::TempDir dir_;
  fs::path trace_ = dir_ / "trace.log";
  platform::ManualClock clock_;
  core::PlayerPlaces places_;
  std::vector<fs::path> songs_;
  std::unique_ptr<MIDIApplication> app_;
};

}  // namespace volta::shell
