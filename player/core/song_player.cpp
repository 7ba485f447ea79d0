#include "player/core/song_player.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/file_types.h"
#include "player/core/documents.h"
#include "player/core/emulation.h"
#include "player/core/file_bytes.h"
#include "player/core/module_detection.h"
#include "player/core/smfk/song_conversion.h"
#include "player/core/song_tdf.h"

namespace volta::core {

namespace fs = std::filesystem;
using protocol::kErrOpenFile;

namespace {

// The WRD display gets this long to catch up at one poll.
constexpr std::uint32_t kFollowLimitMs = 200;

// Engine time counts in hundredths of a millisecond.
constexpr std::uint32_t kUnitsPerMs = 100;
// A wave file's status: the format word that marks it, and measures of one second at 192 ticks.
constexpr std::uint16_t kWaveFormat = 0x80;
constexpr std::uint32_t kWaveTicksPerMeasure = 192;

std::uint32_t unitsOf(std::uint32_t ms) {
  return ms > UINT32_MAX / kUnitsPerMs ? UINT32_MAX : ms * kUnitsPerMs;
}

platform::SongFormat formatOf(const fs::path& song) {
  return platform::songFormatOf(song.filename().string());
}

// The song's path with its three-letter extension replaced.
fs::path withExtension(const fs::path& song, std::string_view extension) {
  std::string name = song.string();
  name.resize(name.size() >= 3 ? name.size() - 3 : 0);
  return fs::path(name.append(extension));
}

// The entry's file, extracted from its archive when it is a member.
std::optional<fs::path> entryFile(const fs::path& file, const MIDIFile& entry, const SongPlayer::Extractor& extractor) {
  if (entry.archiveMember.empty()) return file;
  if (!extractor) return std::nullopt;
  return extractor(file, entry.archiveMember);
}

}  // namespace

std::string speedLabel(int code) {
  char label[24] = "";
  if (code >= 2)
    std::snprintf(label, sizeof label, " [x%d]", code);
  else if (code <= -2)
    std::snprintf(label, sizeof label, " [x1/%d]", -code);
  else if (code == -1)
    return " [x0.75]";
  else if (code == 1)
    return " [x1.5]";
  return label;
}

std::string lengthLabel(std::uint32_t milliseconds) {
  char label[24];
  std::snprintf(label, sizeof label, "%02u:%02u", milliseconds / 60000, milliseconds / 1000 % 60);
  return label;
}

SongPlayerSettings SongPlayerSettings::from(const CoreSettings& settings, const MidiTemplate& current) {
  SongPlayerSettings result;
  result.deviceModule = current.module;
  result.defaultModule = settings.defaultModule;
  result.filter = settings.filter;
  result.autoScan = settings.autoScan != 0;
  result.autoDoc = settings.autoDoc != 0;
  result.sryEnable = settings.sryEnable != 0;
  result.smfkFolder = settings.smfkFolder;
  return result;
}

SongPlayer::SongPlayer(EngineBinding& binding, std::span<const std::uint32_t> devices, TINICritical& store)
    : binding_(binding), store_(store) {
  static constexpr std::array<std::uint32_t, 1> kMapperOnly{0xFFFFFFFFu};
  output_ = OutputHandle::open(binding, devices.empty() ? std::span<const std::uint32_t>(kMapperOnly) : devices);
}

SongPlayer::~SongPlayer() {
  song_.reset();
  output_.reset();
}

struct SongPlayer::Companions {
  fs::path wrd;
};

SongPlayer::Companions SongPlayer::findCompanions(const fs::path& song) const {
  if (settings_.sryEnable) {
    if (auto sry = findFileIgnoringCase(withExtension(song, "SRY"))) return {*sry};
  }
  if (auto wrd = findFileIgnoringCase(withExtension(song, "WRD"))) return {*wrd};
  return {withExtension(song, "DV")};
}

void SongPlayer::chooseModule(const fs::path& song, const MIDIFile& entry, std::string_view tdfModule) {
  const std::string_view given = entry.module.empty() ? tdfModule : std::string_view(entry.module);
  moduleMarker_.clear();
  if (entry.smfKnife) {
    songModule_ = settings_.deviceModule;
    return;
  }
  const std::string path = song.string();
  Detection detection = detectModule(store_, {path, entry.title, documentFound_ ? document_ : std::string_view(), given,
                                              settings_.defaultModule, settings_.autoScan});
  songModule_ = std::move(detection.module);
  moduleMarker_ = std::move(detection.marker);
}

// "SMFK:" in the song's conversion: the song (an RCP-family one made a Standard MIDI File
// first) rewritten by SMF Knife into a work file, which is played instead.
int SongPlayer::convert(const fs::path& song, smfk::WorkFile& converted) {
  const auto configuration = smfk::configurationName(resolveConversion(store_, settings_.deviceModule, songModule_));
  if (!configuration) return 0;
  if (settings_.tempFolder.empty()) return kErrOpenFile;
  smfk::WorkFile rcp;
  fs::path source = song;
  if (platform::isRcpFamily(formatOf(song))) {
    rcp = smfk::WorkFile(settings_.tempFolder, "VO_RCP.", ".MID");
    if (!rcp || !smfk::writeRcpAsSmf(song, rcp.path(), conversionOwner_)) return kErrOpenFile;
    source = rcp.path();
  }
  smfk::WorkFile output(settings_.tempFolder, "VO_SMFK.", ".MID");
  if (!output) return kErrOpenFile;
  const fs::path rules = smfk::configurationPath(settings_.smfkFolder, *configuration);
  const std::int32_t result =
      smfk_ ? smfk::convertNow(*smfk_, conversionOwner_, source, output.path(), rules) : smfk::kCannotReadMidiFile;
  if (result > 0) return kErrOpenFile;
  converted = std::move(output);
  converted_ = true;
  return 0;
}

int SongPlayer::load(const fs::path& file, MIDIFile& entry, bool wrdOnly) {
  unload();
  const auto source = entryFile(file, entry, extractor_);
  if (!source) return kErrOpenFile;
  const fs::path& song = *source;
  if (waveOpener_ && formatOf(song) == platform::SongFormat::kWave) return loadWave(song, entry);
  wrdSource_ = wrdOnly ? fs::path("VOLTA:") : findCompanions(song).wrd;

  const SongDocument found = findSongDocument(song, autoDocument_, settings_.autoDoc);
  document_ = found.text;
  documentFound_ = found.found();
  SongTdf defaults;
  defaults.portAssignType = entry.portAssignType;
  const SongTdf tdf = readSongTdf(song, entry.archiveMember, defaults, 31).value_or(defaults);
  chooseModule(song, entry, tdf.moduleName);

  // A song converted in the dialog beforehand plays from its ".smfk" file beside it.
  converted_ = entry.smfKnife;
  smfk::WorkFile converted;
  if (const int error = convert(song, converted)) return error;
  const fs::path playFile = converted        ? converted.path()
                            : entry.smfKnife ? fs::path(platform::convertedSongName(song.string()))
                                             : song;
  auto opening = SongHandle::open(binding_, output_.get(), playFile);
  if (!opening.song) return opening.error;
  song_ = std::move(opening.song);

  song_->playControl()->portAssignment = static_cast<std::uint16_t>(tdf.portAssignType);

  SongTitles titles = song_->titles();
  if (!titles.ok) {
    song_.reset();
    return titles.error;
  }
  title_ = titles.title.empty() ? song.filename().string() : titles.title;
  comment_ = titles.comment;
  needsRewind_ = true;
  seekPending_ = paused_ = wrdRestart_ = false;
  return 0;
}

int SongPlayer::loadWave(const fs::path& file, MIDIFile& entry) {
  waveError_.clear();
  wave_ = waveOpener_(file, waveError_);
  if (!wave_) return kErrOpenFile;
  entry.lengthMs = wave_->lengthMs();
  entry.measures = static_cast<std::uint16_t>((entry.lengthMs + 999) / 1000);
  waveStatus_ = std::make_unique<protocol::SequencerStatus>();
  waveStatus_->timeBase = 48;
  waveStatus_->numerator = waveStatus_->denominator = 4;
  waveStatus_->tempo = 500000;
  waveStatus_->ticksPerMeasure = kWaveTicksPerMeasure;
  waveStatus_->smfFormat = kWaveFormat;
  title_ = file.filename().string();
  comment_.clear();
  wrdSource_.clear();
  songModule_ = settings_.deviceModule;
  moduleMarker_.clear();
  converted_ = false;
  needsRewind_ = true;
  seekPending_ = paused_ = wrdRestart_ = false;
  return 0;
}

void SongPlayer::updateWaveStatus() {
  protocol::SequencerStatus& status = *waveStatus_;
  const std::uint32_t ms = wave_->positionMs();
  status.songTime = unitsOf(ms);
  status.position = static_cast<std::uint32_t>(std::uint64_t{ms} * kWaveTicksPerMeasure / 1000);
  status.tickInMeasure = status.position % kWaveTicksPerMeasure;
  status.measure = static_cast<std::uint16_t>(std::min<std::uint32_t>(ms / 1000, UINT16_MAX));
  status.playing = wave_->playing() ? 1 : 0;
  status.paused = paused_ ? 1 : 0;
}

void SongPlayer::unload() {
  song_.reset();
  wave_.reset();
  waveStatus_.reset();
  documentFound_ = false;
}

bool SongPlayer::playing() const {
  if (wave_) return wave_->playing();
  return song_ && song_->status()->playing != 0;
}

void SongPlayer::play() {
  paused_ = false;
  if (wave_) wave_->play();
  if (song_ && !seekPending_ && !wrdRestart_) song_->play();
}

void SongPlayer::pause() {
  paused_ = true;
  if (wave_) wave_->pause();
  if (song_) song_->pause();
}

void SongPlayer::seek(std::uint32_t time) {
  if (wave_) {
    pause();
    needsRewind_ = false;
    wave_->cue(time / kUnitsPerMs);
    updateWaveStatus();
    return;
  }
  if (!song_) return;
  pause();
  const bool rewind = needsRewind_ || time < song_->status()->songTime;
  if (rewind) {
    needsRewind_ = false;
    if (wrd_) wrd_->restart(song_->status()->timeBase);
    wrdRestart_ = true;
  }
  song_->seek(time);
  if (wrd_ && time != 0) seekPending_ = true;
  if (rewind) greet();
}

void SongPlayer::greet() {
  const bool converted = sendModuleGreeting(*output_, store_, settings_.deviceModule, songModule_, settings_.filter);
  if (!converted && (moduleMarker_.empty() || moduleMarker_.back() != '?')) moduleMarker_ += '?';
}

void SongPlayer::setSpeed(int code) {
  // A wave plays at its own rate; a playing one starts again where it is.
  if (wave_ && wave_->playing()) {
    wave_->cue(wave_->positionMs());
    wave_->play();
  }
  if (song_) song_->playControl()->speed = static_cast<std::int16_t>(std::clamp(code, -32768, 32767));
}

std::uint32_t SongPlayer::length() {
  if (wave_) return unitsOf(wave_->lengthMs());
  return song_ ? song_->scanLength().totalTime : 0;
}

std::uint32_t SongPlayer::poll() {
  if (wave_) {
    updateWaveStatus();
    return waveStatus_->songTime;
  }
  if (!song_) return 0;
  const protocol::SequencerStatus& status = *song_->status();
  bool caughtUp = true;
  if (wrd_) {
    // Wall time, not the platform clock: a stopped manual clock must not hold the poll forever.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kFollowLimitMs);
    const std::uint32_t quarter = status.denominator > 0 ? status.timeBase * 4u / status.denominator : 0;
    do {
      const WrdFollower::Position position{seekPending_, status.measure, quarter ? status.tickInMeasure / quarter : 0,
                                           status.tickInMeasure, status.position};
      caughtUp = wrd_->follow(position);
    } while (!caughtUp && std::chrono::steady_clock::now() < deadline);
  }
  if (wrdRestart_) {
    wrdRestart_ = false;
    if (!paused_ && !seekPending_) song_->play();
  } else if (seekPending_ && caughtUp) {
    seekPending_ = false;
    if (!paused_) song_->play();
  }
  return status.songTime;
}

void SongPlayer::start(const CoreSettings& settings, MIDIFile& entry, int speed, bool paused) {
  if (!loaded()) return;
  if (song_) {
    song_->playControl()->repeatCount = static_cast<std::uint16_t>(settings.repeatCount);
    song_->playControl()->headSkip = static_cast<std::uint16_t>(settings.hsPlay);
    song_->setTimerPeriod(static_cast<std::uint16_t>(settings.intervalTime));
  }
  if (song_ && settings.scanLength != 0 && (entry.lengthMs == 0 || entry.measures == 0)) {
    const SongLength scanned = song_->scanLength();
    entry.lengthMs = scanned.totalTime / 100;
    entry.measures = scanned.measures;
  }
  seek(0);
  setSpeed(speed);
  if (!paused) play();
}

namespace {

bool isWave(const fs::path& file, MIDIFile& entry) {
  if (formatOf(file) != platform::SongFormat::kWave) return false;
  entry.lengthMs = 0;
  entry.title = file.filename().string();
  return true;
}

void recordError(MIDIFile& entry, int error) {
  if (error == 0) return;
  entry.unreadable = true;
  entry.errorCode = error;
}

void takeLength(SongHandle& song, MIDIFile& entry) {
  const SongLength length = song.scanLength();
  recordError(entry, length.error);
  entry.lengthMs = length.totalTime / 100;
  entry.measures = length.measures;
}

void takeTitle(SongHandle& song, const fs::path& file, MIDIFile& entry) {
  const SongTitles titles = song.titles();
  if (!titles.ok) recordError(entry, titles.error);
  entry.title = titles.title.empty() ? file.filename().string() : titles.title;
}

// Opens the entry's song without an output; a failure goes into the entry, whose title becomes the file's name.
std::unique_ptr<SongHandle> openForScan(EngineBinding& binding, const fs::path& file, MIDIFile& entry) {
  auto opening = SongHandle::open(binding, nullptr, file);
  if (!opening.song) {
    recordError(entry, opening.error);
    entry.title = file.filename().string();
  }
  return std::move(opening.song);
}

}  // namespace

void scanEntryLength(EngineBinding& binding, const fs::path& file, MIDIFile& entry) {
  if (isWave(file, entry)) return;
  if (auto song = openForScan(binding, file, entry)) takeLength(*song, entry);
}

void readEntryTitle(EngineBinding& binding, const fs::path& file, MIDIFile& entry) {
  if (isWave(file, entry)) return;
  if (auto song = openForScan(binding, file, entry)) takeTitle(*song, file, entry);
}

void scanEntry(EngineBinding& binding, const fs::path& file, MIDIFile& entry) {
  if (isWave(file, entry)) return;
  if (auto song = openForScan(binding, file, entry)) {
    takeTitle(*song, file, entry);
    takeLength(*song, entry);
  }
}

}  // namespace volta::core
