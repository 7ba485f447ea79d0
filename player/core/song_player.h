#pragma once
// The song that is loaded now: its companions, documents and module, the
// emulation for the connected module, and the user's play, pause, seek and speed
// actions as engine commands. Play-list entries are scanned for length and title
// through the same engine without an output.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/protocol/records.h"
#include "player/core/core_settings.h"
#include "player/core/engine_binding.h"
#include "player/core/midi_file.h"
#include "player/core/module_definitions.h"
#include "player/core/smfk/song_conversion.h"
#include "player/core/temp_folder.h"

namespace volta::core {

// The label appended to the title for a speed code: " [x2]", " [x1/2]", " [x0.75]", " [x1.5]" or none.
std::string speedLabel(int code);
// "%02d:%02d" minutes and seconds.
std::string lengthLabel(std::uint32_t milliseconds);

// Where the position goes for the WRD display.
class WrdFollower {
 public:
  struct Position {
    bool seekPending = false;
    std::uint16_t measure = 0;
    std::uint32_t beat = 0;
    std::uint32_t tickInMeasure = 0;
    std::uint32_t position = 0;
  };
  virtual ~WrdFollower() = default;
  // The display starts again from the beginning with the song's time base.
  virtual void restart(std::uint16_t timeBase) = 0;
  // Hands the position; true when the display has caught up with it.
  virtual bool follow(const Position& position) = 0;
};

// A wave file's player, handed in by the program: the core itself has no audio.
// Positions are in milliseconds.
class WavePlayer {
 public:
  virtual ~WavePlayer() = default;
  // Holds at a position, paused; false when the device refuses.
  virtual bool cue(std::uint32_t ms) = 0;
  // Goes on from the position.
  virtual bool play() = 0;
  virtual void pause() = 0;
  virtual std::uint32_t positionMs() const = 0;
  virtual std::uint32_t lengthMs() const = 0;
  virtual bool playing() const = 0;
};

// Opens a wave file; none, with the reason in error, when it cannot be played.
using WaveOpener = std::function<std::unique_ptr<WavePlayer>(const std::filesystem::path& file, std::string& error)>;

// What the main frame hands over before a load.
struct SongPlayerSettings {
  std::string deviceModule = "THRU";  // the current MIDI template's module
  std::string defaultModule = "THRU";
  std::string filter = "NONE";
  bool autoScan = true;
  bool autoDoc = true;  // the "AutoDoc" setting
  bool sryEnable = false;
  // Where converted songs go; empty when no private folder could be had (conversions then fail).
  std::filesystem::path tempFolder = privateTempFolder().value_or(std::filesystem::path());
  std::filesystem::path smfkFolder;  // "SMFKFolder": the SMF Knife configuration files

  static SongPlayerSettings from(const CoreSettings& settings, const MidiTemplate& current);
};

class SongPlayer {
 public:
  // Opens the output (the mapper alone when no devices are given).
  SongPlayer(EngineBinding& binding, std::span<const std::uint32_t> devices, TINICritical& store);
  ~SongPlayer();
  SongPlayer(const SongPlayer&) = delete;
  SongPlayer& operator=(const SongPlayer&) = delete;

  void configure(SongPlayerSettings settings) { settings_ = std::move(settings); }
  void setWrdFollower(WrdFollower* follower) { wrd_ = follower; }
  void setAutoDocument(bool on) { autoDocument_ = on; }
  // Extracts an archive's member to a file; without one, members cannot be played.
  using Extractor = std::function<std::optional<std::filesystem::path>(const std::filesystem::path& archive,
                                                                       const std::string& member)>;
  void setExtractor(Extractor extractor) { extractor_ = std::move(extractor); }

  // The SMF Knife converter for songs whose conversion says "SMFK:"; without one they fail to open.
  void setSmfkLibrary(const smfk::SmfkLibrary* library) { smfk_ = library; }
  // Told the progress of a conversion while a song opens (the main window's LCD line).
  void setConversionOwner(const platform::MessageTarget* owner) { conversionOwner_ = owner; }

  // Files ending in ".wav" play through this; without one they go to the engine like any song.
  void setWaveOpener(WaveOpener opener) { waveOpener_ = std::move(opener); }
  // Why the last wave file failed to open.
  const std::string& waveError() const { return waveError_; }

  // 0, or the engine's or the player's error code. The file is the entry's resolved
  // path (the archive when the entry is a member).
  int load(const std::filesystem::path& file, MIDIFile& entry, bool wrdOnly = false);
  void unload();
  void play();
  void pause();
  void seek(std::uint32_t time);
  void setSpeed(int code);
  std::uint32_t length();
  // The main frame's timer: the WRD display catches up, pending starts happen. The song time.
  std::uint32_t poll();

  // The main frame's start of a loaded song: repeat count, head skip, timer period,
  // length scan when the entry has none, seek to the start, speed, play unless paused.
  void start(const CoreSettings& settings, MIDIFile& entry, int speed, bool paused);

  OutputHandle* output() const { return output_.get(); }
  SongHandle* song() const { return song_.get(); }
  protocol::SequencerStatus* status() const { return song_ ? song_->status() : waveStatus_.get(); }
  bool loaded() const { return song_ != nullptr || wave_ != nullptr; }
  bool playing() const;
  bool paused() const { return paused_; }

  const std::string& title() const { return title_; }
  const std::string& comment() const { return comment_; }
  const std::string& document() const { return document_; }
  bool documentFound() const { return documentFound_; }
  const std::string& songModule() const { return songModule_; }
  const std::string& moduleMarker() const { return moduleMarker_; }
  const std::filesystem::path& wrdSource() const { return wrdSource_; }
  bool converted() const { return converted_; }

 private:
  struct Companions;
  Companions findCompanions(const std::filesystem::path& song) const;
  void chooseModule(const std::filesystem::path& song, const MIDIFile& entry, std::string_view tdfModule);
  int convert(const std::filesystem::path& song, smfk::WorkFile& converted);
  void greet();
  int loadWave(const std::filesystem::path& file, MIDIFile& entry);
  void updateWaveStatus();

  EngineBinding& binding_;
  TINICritical& store_;
  SongPlayerSettings settings_;
  std::unique_ptr<OutputHandle> output_;
  std::unique_ptr<SongHandle> song_;
  WrdFollower* wrd_ = nullptr;
  Extractor extractor_;
  const smfk::SmfkLibrary* smfk_ = nullptr;
  const platform::MessageTarget* conversionOwner_ = nullptr;
  WaveOpener waveOpener_;
  std::unique_ptr<WavePlayer> wave_;
  // The wave file's position in the sequencer's layout, filled at every poll.
  std::unique_ptr<protocol::SequencerStatus> waveStatus_;
  std::string waveError_;

  std::string title_, comment_, document_, songModule_, moduleMarker_;
  std::filesystem::path wrdSource_;
  bool documentFound_ = false;
  bool autoDocument_ = true;
  bool needsRewind_ = true;
  bool seekPending_ = false;
  bool paused_ = false;
  bool wrdRestart_ = false;
  bool converted_ = false;
};

// Scanning play-list entries, at their resolved paths, through a sequencer without an
// output; errors go into the entry.
void scanEntryLength(EngineBinding& binding, const std::filesystem::path& file, MIDIFile& entry);
void readEntryTitle(EngineBinding& binding, const std::filesystem::path& file, MIDIFile& entry);
// Both at one opening of the song, as a list being loaded needs them.
void scanEntry(EngineBinding& binding, const std::filesystem::path& file, MIDIFile& entry);

}  // namespace volta::core
