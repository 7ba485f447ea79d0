#pragma once
// An engine without the library: songs "play" by the display timer's polls, each
// poll moving the song on by a fixed step, and end at their length; a missing file
// fails to load. The test sets titles and lengths by file name and reads what the
// controller asked for.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "player/core/app/player_engine.h"

namespace volta::app::test {

class FakeEngine;

class FakePlayer final : public EnginePlayer {
 public:
  FakePlayer(FakeEngine& engine, std::span<const std::uint32_t> devices);
  ~FakePlayer() override;

  bool hasOutput() const override;
  const protocol::OutputStatus* outputStatus() const override { return hasOutput() ? &output_ : nullptr; }
  void setOutputOptions(bool pace, bool resetDevices) override {
    this->pace = pace;
    this->resetDevices = resetDevices;
  }
  void setMasterVolume(std::uint16_t volume) override { this->volume = volume; }
  void setMuteMask(std::uint32_t mask) override { muteMask = mask; }
  void setTransposition(std::int16_t semitones) override { transposition = semitones; }
  void sendChannelMessage(int port, std::uint32_t message) override { sent.push_back({port, message}); }
  void resetPorts() override { ++portResets; }
  const protocol::ChannelState* channels() const override { return hasOutput() ? &channels_[0][0] : nullptr; }
  const protocol::PanelImage* panelImage() const override { return hasOutput() ? &panel_ : nullptr; }
  void setWrdFollower(core::WrdFollower* follower) override { this->follower = follower; }

  void configure(core::SongPlayerSettings settings) override { deviceModule = settings.deviceModule; }
  int load(const std::filesystem::path& file, core::MIDIFile& entry) override;
  void unload() override { loaded_ = false; }
  void start(const core::CoreSettings& settings, core::MIDIFile& entry, int speed, bool paused) override;
  void play() override { status_.paused = 0; }
  void pause() override { status_.paused = 1; }
  void seek(std::uint32_t time) override { status_.songTime = std::min(time, end_); }
  void setSpeed(int code) override { speed = code; }
  void poll() override;

  bool loaded() const override { return loaded_; }
  bool playing() const override { return loaded_ && status_.playing != 0; }
  const protocol::SequencerStatus* status() const override { return loaded_ ? &status_ : nullptr; }

  const std::filesystem::path& wrdSource() const override { return wrdSource_; }
  const std::string& document() const override { return document_; }
  bool documentFound() const override { return !document_.empty(); }
  bool converted() const override { return false; }
  std::string moduleText() const override { return module; }
  std::string backLightColour() const override { return backLight; }
  std::string instrumentSection() const override { return instruments; }

  // The song ends at once, with an error code or without.
  void finish(std::uint8_t error = 0) {
    status_.error = error;
    status_.playing = 0;
  }
  std::uint32_t songTime() const { return status_.songTime; }
  bool paused() const { return status_.paused != 0; }

  const std::vector<std::uint32_t> devices;
  std::string title, module, deviceModule, backLight, instruments;
  std::uint32_t muteMask = 0;
  std::int16_t transposition = 0;
  struct Sent {
    int port;
    std::uint32_t message;
    bool operator==(const Sent&) const = default;
  };
  std::vector<Sent> sent;
  int portResets = 0;
  int speed = 0;
  bool pace = false, resetDevices = false;
  std::uint16_t volume = 0;
  core::WrdFollower* follower = nullptr;

 private:
  FakeEngine& engine_;
  protocol::OutputStatus output_{};
  protocol::ChannelState channels_[protocol::kPorts][protocol::kChannelsPerPort]{};
  protocol::PanelImage panel_{};
  protocol::SequencerStatus status_{};
  bool loaded_ = false;
  std::filesystem::path file_;
  std::uint32_t end_ = 0;  // song time units (10 µs)
  std::filesystem::path wrdSource_;
  std::string document_;
};

class FakeEngine final : public PlayerEngine {
 public:
  std::unique_ptr<EnginePlayer> makePlayer(std::span<const std::uint32_t> devices) override {
    ++playersMade;
    return std::make_unique<FakePlayer>(*this, devices);
  }
  // Entries take the titles the test gave their files, or the files' names.
  std::unique_ptr<core::EntryReader> entryReader() override {
    class Reader final : public core::EntryReader {
     public:
      explicit Reader(FakeEngine& engine) : engine_(engine) {}
      int readEntry(const std::filesystem::path& file, core::MIDIFile& entry) override {
        ++engine_.entriesRead;
        const auto title = engine_.titles.find(file.filename().string());
        entry.title = title == engine_.titles.end() ? file.stem().string() : title->second;
        entry.wrdState = 1;
        return 0;
      }
      void checkWrd(const std::filesystem::path&, core::MIDIFile& entry) override { entry.wrdState = 1; }

     private:
      FakeEngine& engine_;
    };
    return std::make_unique<Reader>(*this);
  }

  std::uint32_t lengthOf(const std::filesystem::path& file) const {
    const auto found = lengthsMs.find(file.filename().string());
    return found == lengthsMs.end() ? defaultLengthMs : found->second;
  }

  // Set by the test.
  std::map<std::string, std::uint32_t> lengthsMs;  // by file name
  std::map<std::string, std::string> titles;       // by file name
  std::uint32_t defaultLengthMs = 20'000;
  std::uint32_t pollStepMs = 50;
  bool outputOpens = true;

  // Read by the test.
  FakePlayer* player = nullptr;  // the one alive, if any
  int playersMade = 0, entriesRead = 0, loads = 0, starts = 0, polls = 0;
};

inline FakePlayer::FakePlayer(FakeEngine& engine, std::span<const std::uint32_t> devices)
    : devices(devices.begin(), devices.end()), engine_(engine) {
  engine_.player = this;
  for (std::size_t port = 0; port < devices.size() && port < 3; ++port)
    output_.portOpen[port] = 1;
}

inline FakePlayer::~FakePlayer() {
  if (engine_.player == this) engine_.player = nullptr;
}

inline bool FakePlayer::hasOutput() const {
  return engine_.outputOpens;
}

inline int FakePlayer::load(const std::filesystem::path& file, core::MIDIFile& entry) {
  ++engine_.loads;
  std::error_code ignored;
  if (!std::filesystem::exists(file, ignored)) return protocol::kErrOpenFile;
  loaded_ = true;
  title = entry.title;
  module = entry.module.empty() ? deviceModule : entry.module;
  file_ = file;
  status_ = {};
  auto script = file;
  wrdSource_ = std::filesystem::exists(script.replace_extension(".wrd"), ignored) ? script : std::filesystem::path();
  return 0;
}

// The length is scanned when the entry has none, as the library does.
inline void FakePlayer::start(const core::CoreSettings&, core::MIDIFile& entry, int speed, bool paused) {
  ++engine_.starts;
  if (entry.lengthMs == 0) {
    entry.lengthMs = engine_.lengthOf(file_);
    entry.measures = entry.lengthMs / 2'000 + 1;
  }
  end_ = entry.lengthMs * 100;
  this->speed = speed;
  status_.playing = 1;
  status_.paused = paused ? 1 : 0;
  if (follower) follower->restart(96);
}

inline void FakePlayer::poll() {
  ++engine_.polls;
  if (follower) follower->follow({});
  if (status_.playing == 0 || status_.paused != 0) return;
  status_.songTime = std::min(status_.songTime + engine_.pollStepMs * 100, end_);
  if (status_.songTime >= end_) status_.playing = 0;
}

}  // namespace volta::app::test
