#pragma once
// What the controller needs of the engine: a song player made over the devices of
// the current MIDI template, and a reader that fills play-list entries. The program
// uses the engine library (LibraryEngine); tests may stand a fake in its place.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

#include "engine/protocol/records.h"
#include "player/core/core_settings.h"
#include "player/core/midi_file.h"
#include "player/core/playlist/list_opening.h"
#include "player/core/song_player.h"

namespace volta::app {

// One song player with its output, replaced as a whole when the ports change.
class EnginePlayer {
 public:
  virtual ~EnginePlayer() = default;

  // False when the output could not be opened: nothing can play then.
  virtual bool hasOutput() const = 0;
  // The output's shared record; null without an output.
  virtual const protocol::OutputStatus* outputStatus() const = 0;
  virtual void setOutputOptions(bool pace, bool resetDevices) = 0;
  virtual void setMasterVolume(std::uint16_t volume) = 0;
  // The monitor's controls: channel mutes (bit r mod 32 mutes channel r of the 48),
  // semitones added to melodic notes, and a channel message through the output's filter.
  virtual void setMuteMask(std::uint32_t mask) = 0;
  virtual void setTransposition(std::int16_t semitones) = 0;
  virtual void sendChannelMessage(int port, std::uint32_t message) = 0;
  // Every port's controllers back to their power-on values (the engine's plain port reset).
  virtual void resetPorts() = 0;
  // The output's channel records (48: port A, B, C) and the module's panel; null without an output.
  virtual const protocol::ChannelState* channels() const = 0;
  virtual const protocol::PanelImage* panelImage() const = 0;
  virtual void setWrdFollower(core::WrdFollower* follower) = 0;

  virtual void configure(core::SongPlayerSettings settings) = 0;
  // 0 or the error code; the entry learns what the load found (module, length).
  virtual int load(const std::filesystem::path& file, core::MIDIFile& entry) = 0;
  virtual void unload() = 0;
  // A loaded song from its start: repeat, head skip, length scan, speed, play unless paused.
  virtual void start(const core::CoreSettings& settings, core::MIDIFile& entry, int speed, bool paused) = 0;
  virtual void play() = 0;
  virtual void pause() = 0;
  virtual void seek(std::uint32_t time) = 0;
  virtual void setSpeed(int code) = 0;
  // Hands the WRD display its time and starts a song whose start waited for it.
  virtual void poll() = 0;

  virtual bool loaded() const = 0;
  virtual bool playing() const = 0;
  // The loaded song's sequencer record; null when none is loaded.
  virtual const protocol::SequencerStatus* status() const = 0;

  // What the load found beside the song.
  virtual const std::filesystem::path& wrdSource() const = 0;
  virtual const std::string& document() const = 0;
  virtual bool documentFound() const = 0;
  virtual bool converted() const = 0;
  // The module name with its marker, as the panel shows it (CP932).
  virtual std::string moduleText() const = 0;
  // The panel colour the song module's definition names ("LiquidBackLight"); empty when none.
  virtual std::string backLightColour() const = 0;
  // The instrument section the song module's definition names ("InstrumentMap"); empty when none.
  virtual std::string instrumentSection() const = 0;

  // The library's own player, for the program's set-up and WRD display; null in a fake.
  virtual core::SongPlayer* songPlayer() { return nullptr; }
};

class PlayerEngine {
 public:
  virtual ~PlayerEngine() = default;
  // A song player whose output opens on the devices (the mapper alone when none).
  virtual std::unique_ptr<EnginePlayer> makePlayer(std::span<const std::uint32_t> devices) = 0;
  // Reads songs being added to the list.
  virtual std::unique_ptr<core::EntryReader> entryReader() = 0;
};

}  // namespace volta::app
