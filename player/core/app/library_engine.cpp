#include "player/core/app/library_engine.h"

#include "player/core/playlist/song_entry_reader.h"

namespace volta::app {

namespace {

class LibraryPlayer final : public EnginePlayer {
 public:
  LibraryPlayer(core::EngineBinding& binding, std::span<const std::uint32_t> devices, core::TINICritical& definitions)
      : player_(binding, devices, definitions), definitions_(definitions) {}

  bool hasOutput() const override { return player_.output() != nullptr; }
  const protocol::OutputStatus* outputStatus() const override {
    return player_.output() ? player_.output()->status() : nullptr;
  }
  void setOutputOptions(bool pace, bool resetDevices) override {
    if (auto* output = player_.output()) output->setOptions(pace, resetDevices);
  }
  void setMasterVolume(std::uint16_t volume) override {
    if (auto* output = player_.output()) output->setMasterVolume(volume);
  }
  void setMuteMask(std::uint32_t mask) override {
    if (auto* output = player_.output()) output->setMuteMask(mask);
  }
  void setTransposition(std::int16_t semitones) override {
    if (auto* output = player_.output()) output->setTransposition(semitones);
  }
  void sendChannelMessage(int port, std::uint32_t message) override {
    if (auto* output = player_.output()) output->sendFiltered(port, message);
  }
  void resetPorts() override {
    auto* output = player_.output();
    if (!output) return;
    for (int port = 0; port < protocol::kPorts; ++port)
      output->resetPort(port, 0);
    output->flush();
  }
  const protocol::ChannelState* channels() const override {
    return player_.output() ? player_.output()->channels() : nullptr;
  }
  const protocol::PanelImage* panelImage() const override {
    return player_.output() ? player_.output()->panel() : nullptr;
  }
  void setWrdFollower(core::WrdFollower* follower) override { player_.setWrdFollower(follower); }

  void configure(core::SongPlayerSettings settings) override { player_.configure(std::move(settings)); }
  int load(const std::filesystem::path& file, core::MIDIFile& entry) override { return player_.load(file, entry); }
  void unload() override { player_.unload(); }
  void start(const core::CoreSettings& settings, core::MIDIFile& entry, int speed, bool paused) override {
    player_.start(settings, entry, speed, paused);
  }
  void play() override { player_.play(); }
  void pause() override { player_.pause(); }
  void seek(std::uint32_t time) override { player_.seek(time); }
  void setSpeed(int code) override { player_.setSpeed(code); }
  void poll() override { player_.poll(); }

  bool loaded() const override { return player_.loaded(); }
  bool playing() const override { return player_.playing(); }
  const protocol::SequencerStatus* status() const override { return player_.status(); }

  const std::filesystem::path& wrdSource() const override { return player_.wrdSource(); }
  const std::string& document() const override { return player_.document(); }
  bool documentFound() const override { return player_.documentFound(); }
  bool converted() const override { return player_.converted(); }
  std::string moduleText() const override { return player_.songModule() + player_.moduleMarker(); }
  std::string backLightColour() const override { return definitionOfSongModule("LiquidBackLight"); }
  std::string instrumentSection() const override { return definitionOfSongModule("InstrumentMap"); }

  core::SongPlayer* songPlayer() override { return &player_; }

 private:
  std::string definitionOfSongModule(std::string_view section) const {
    return definitions_.getValue(section, definitions_.resolveAlias(player_.songModule()));
  }

  core::SongPlayer player_;
  const core::TINICritical& definitions_;
};

}  // namespace

std::unique_ptr<EnginePlayer> LibraryEngine::makePlayer(std::span<const std::uint32_t> devices) {
  return std::make_unique<LibraryPlayer>(binding_, devices, definitions_);
}

std::unique_ptr<core::EntryReader> LibraryEngine::entryReader() {
  return std::make_unique<core::SongEntryReader>(binding_, archives_);
}

}  // namespace volta::app
