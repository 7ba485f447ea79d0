#pragma once
// The engine's shared records: byte-packed, little-endian, exactly as the player and
// every engine library lay them out. Address fields are 32 bits wide and hold
// addresses from the platform's low-memory allocator.
//
// Fields are read and written by value; never bind a reference or pointer to a
// packed field.

#include <cstddef>
#include <cstdint>

namespace volta::protocol {

inline constexpr char kEngineVersion[] = "2.3 rel.11";  // 11 bytes with its zero
inline constexpr std::uint32_t kValidityWord = 0x55AA;
inline constexpr std::size_t kCommandBlockSize = 16384;

enum Command : std::uint32_t {
  kVersion = 0,
  kAttach = 1,
  kDetach = 2,
  kOpenSequencer = 32,
  kCloseSequencer = 33,
  kSeek = 34,
  kPause = 36,
  kPlay = 37,
  kScanLength = 38,
  kPrepare = 39,
  kTimerPeriod = 40,
  kOpenOutput = 64,
  kCloseOutput = 65,
  kMuteMask = 66,
  kMasterVolume = 67,
  kTransposition = 68,
  kOutputOptions = 69,
  kMeterMode = 70,
  kSendExclusive = 96,
  kSendShortQueued = 97,
  kQueuePause = 98,
  kResetPort = 99,
  kSendShortFiltered = 100,
  kFlush = 101,
};

// File types of command 32.
enum SongFileType : std::uint16_t { kFileSMF = 1, kFileRCP = 2, kFileG36 = 6 };

// Error codes of command 32, 38, 39 and of SequencerStatus.
enum ErrorCode : std::uint8_t {
  kErrOpenFailed = 0,
  kErrTimeOverflow = 1,
  kErrNoHeader = 2,
  kErrFormat = 3,
  kErrTrackCount = 4,
  kErrChunkStructure = 5,
  kErrInvalidEvent = 6,
  kErrValueOverflow = 7,
  kErrNoMemory = 8,
  kErrOpenFile = 9,      // player only
  kErrUnknownFile = 10,  // player only
  kErrPastEnd = 11,
  kErrInfiniteLoop = 12,
  kErrLoopNesting = 13,
};

// Song file type codes shown to the user.
enum FileTypeCode : std::uint16_t {
  kTypeSMF0 = 0,
  kTypeSMF1 = 1,
  kTypeRCM10 = 8,
  kTypeRCM20 = 9,
  kTypeRCM25F = 10,
  kTypeRCM25G = 11,
  kTypeRCFW95 = 12,
};

#pragma pack(push, 1)

struct CommandHeader {
  std::uint32_t code;
  std::uint32_t length;
  std::uint32_t handle;
};

// Command 0: the version string goes to offset 8 (by MIDIEntry) and 40 (by the dispatcher).
struct VersionCommand {
  std::uint32_t code;
  std::uint32_t length;
  char entryVersion[32];
  char dispatcherVersion[32];
  std::uint8_t canServe;
};

struct OpenSequencerCommand {
  CommandHeader header;
  std::uint32_t outputHandle;
  std::uint16_t fileType;
  std::uint32_t dataSize;
  std::uint8_t error;
  std::uint32_t status;
  std::uint32_t data;
  std::uint32_t playControl;
  std::uint32_t measureTable;
};

struct SeekCommand {
  CommandHeader header;
  std::uint32_t targetTime;
};

struct ScanLengthCommand {
  CommandHeader header;
  std::uint8_t error;
  std::uint32_t totalTime;
  std::uint16_t measures;
};

struct PrepareCommand {
  CommandHeader header;
  std::uint8_t error;
  char title[256];
  char comment[512];
};

struct TimerPeriodCommand {
  CommandHeader header;
  std::uint16_t periodMs;
};

struct OpenOutputCommand {
  CommandHeader header;
  std::uint16_t portCount;
  std::uint32_t devices[8];
  std::uint32_t status;
  std::uint32_t panel;
  std::uint32_t settings;
  std::uint32_t channels;
};

struct MuteMaskCommand {
  CommandHeader header;
  std::uint32_t mask;
};

struct WordCommand {  // 67 master volume, 68 transposition (signed), 70 meter mode
  CommandHeader header;
  std::uint16_t value;
};

struct OutputOptionsCommand {
  CommandHeader header;
  std::uint16_t midiRate;
  std::uint16_t useReset;
};

struct SendExclusiveCommand {
  CommandHeader header;
  std::uint16_t port;
  std::uint16_t count;
  std::uint8_t bytes[1];  // count bytes follow
};

struct SendShortCommand {  // 97 queued, 100 filtered
  CommandHeader header;
  std::uint16_t port;
  std::uint32_t message;
};

struct PortCommand {  // 98 queue a pause
  CommandHeader header;
  std::uint16_t port;
};

struct ResetPortCommand {
  CommandHeader header;
  std::uint16_t port;
  std::uint16_t mode;
};

struct PlayControl {
  std::uint16_t portAssignment;
  std::int16_t speed;
  std::uint16_t headSkip;
  std::uint16_t repeatCount;
};

inline constexpr std::size_t kMeasureTableSize = 2048;

struct SequencerStatus {
  std::uint8_t error;
  std::uint16_t playing;
  std::uint16_t paused;
  std::uint32_t songTime;
  std::uint16_t measure;
  std::int16_t numerator;
  std::int16_t denominator;
  std::uint32_t ticksPerMeasure;
  std::uint32_t tickInMeasure;
  std::uint32_t position;
  std::uint32_t tempo;
  std::uint16_t timeBase;
  std::uint16_t smfFormat;
  std::int16_t key;
  std::uint8_t reserved[4];
  PlayControl playControl;
  std::uint32_t measureTable[kMeasureTableSize];
};

struct PanelImage {
  std::uint8_t dots[256];
  char text[16];
  std::uint8_t reserved;
  std::uint8_t dotShown;
};

inline constexpr std::uint8_t kEmptyNoteSlot = 0x80;

struct ChannelState {
  std::uint8_t reserved0[4];
  std::uint32_t reserved1;
  std::uint32_t reserved2;
  std::uint8_t reserved3[8];
  std::uint8_t volume;
  std::uint8_t pan;
  std::uint8_t bankLSB;
  std::uint8_t bankMSB;
  std::uint8_t program;
  std::uint8_t expression;
  std::uint8_t modulation;
  std::uint8_t reverb;
  std::uint8_t chorus;
  std::uint8_t delay;
  std::uint8_t cutoff;
  std::uint8_t resonance;
  std::uint8_t attack;
  std::uint8_t decay;
  std::uint8_t release;
  std::uint8_t vibratoRate;
  std::uint8_t vibratoDepth;
  std::uint8_t vibratoDelay;
  std::uint8_t hold;
  std::uint8_t sostenuto;
  std::uint8_t soft;
  std::uint16_t selectedParameter;
  std::uint16_t pitchBend;
  std::uint8_t rhythm;
  std::uint16_t noteOnCounter;
  std::uint16_t soundingCount;
  std::uint8_t notes[16];
  std::uint8_t velocities[16];
};

struct MapEntry {
  std::uint8_t key[4];
  std::uint8_t replacement[4];
};

inline constexpr std::size_t kPatchMapSize = 2048;
inline constexpr std::size_t kNoteMapSize = 512;

struct OutputSettings {
  std::uint8_t disableExclusive;
  std::uint8_t defaultBankSelectLSB;
  std::uint8_t disableBankSelectLSB;
  std::uint8_t disableBankSelectMSB;
  std::uint8_t disableResetExclusive;
  std::uint8_t mapSelect;
  MapEntry patchMap[kPatchMapSize];
  std::uint16_t patchMapCount;
  MapEntry noteMap[kNoteMapSize];
  std::uint16_t noteMapCount;
  std::uint8_t gsToGMEmu;
  std::uint8_t xgToGMEmu;
  std::uint8_t gsToXGEmu;
  std::uint8_t xgToGSEmu;
  std::uint8_t adjustMK2;
  std::uint8_t pro88Setting;
  std::uint8_t cmToGSInit;
  std::uint8_t drumTrack;
  std::uint8_t channelMap[3][16][2];
  std::uint32_t reserved;
};

struct PartTableEntry {
  std::uint8_t channel;
  std::uint8_t port;
};

struct OutputStatus {
  char lyric[80];
  std::uint16_t lyricCounter;
  std::uint8_t reserved;
  std::uint8_t gmOn;
  std::uint8_t gsReset;
  std::uint8_t xgOn;
  std::uint8_t gsMode;
  std::uint8_t outputPending;
  std::uint8_t soundingNotes;
  std::uint8_t portOpen[3];
  PartTableEntry partTable[2][16];
};

inline constexpr int kPorts = 3;
inline constexpr int kChannelsPerPort = 16;

struct OutputShared {
  PanelImage panel;
  ChannelState channels[kPorts][kChannelsPerPort];
  OutputSettings settings;
  OutputStatus status;
};

#pragma pack(pop)

// Layout checks: every offset the other side relies on.
static_assert(sizeof(CommandHeader) == 12);
static_assert(offsetof(VersionCommand, entryVersion) == 8 && offsetof(VersionCommand, dispatcherVersion) == 40);
static_assert(sizeof(VersionCommand) == 73);
static_assert(offsetof(OpenSequencerCommand, outputHandle) == 12 && offsetof(OpenSequencerCommand, fileType) == 16);
static_assert(offsetof(OpenSequencerCommand, dataSize) == 18 && offsetof(OpenSequencerCommand, error) == 22);
static_assert(offsetof(OpenSequencerCommand, status) == 23 && offsetof(OpenSequencerCommand, data) == 27);
static_assert(offsetof(OpenSequencerCommand, playControl) == 31 && offsetof(OpenSequencerCommand, measureTable) == 35);
static_assert(sizeof(OpenSequencerCommand) == 39);
static_assert(sizeof(SeekCommand) == 16);
static_assert(offsetof(ScanLengthCommand, totalTime) == 13 && offsetof(ScanLengthCommand, measures) == 17);
static_assert(sizeof(ScanLengthCommand) == 19);
static_assert(offsetof(PrepareCommand, title) == 13 && offsetof(PrepareCommand, comment) == 269);
static_assert(sizeof(PrepareCommand) == 781);
static_assert(sizeof(TimerPeriodCommand) == 14);
static_assert(offsetof(OpenOutputCommand, devices) == 14 && offsetof(OpenOutputCommand, status) == 46);
static_assert(offsetof(OpenOutputCommand, panel) == 50 && offsetof(OpenOutputCommand, settings) == 54);
static_assert(sizeof(OpenOutputCommand) == 62);
static_assert(sizeof(MuteMaskCommand) == 16 && sizeof(WordCommand) == 14 && sizeof(OutputOptionsCommand) == 16);
static_assert(offsetof(SendExclusiveCommand, count) == 14 && offsetof(SendExclusiveCommand, bytes) == 16);
static_assert(sizeof(SendShortCommand) == 18 && offsetof(SendShortCommand, message) == 14);
static_assert(sizeof(PortCommand) == 14 && sizeof(ResetPortCommand) == 16);

static_assert(offsetof(SequencerStatus, playing) == 1 && offsetof(SequencerStatus, paused) == 3);
static_assert(offsetof(SequencerStatus, songTime) == 5 && offsetof(SequencerStatus, measure) == 9);
static_assert(offsetof(SequencerStatus, numerator) == 11 && offsetof(SequencerStatus, denominator) == 13);
static_assert(offsetof(SequencerStatus, ticksPerMeasure) == 15 && offsetof(SequencerStatus, tickInMeasure) == 19);
static_assert(offsetof(SequencerStatus, position) == 23 && offsetof(SequencerStatus, tempo) == 27);
static_assert(offsetof(SequencerStatus, timeBase) == 31 && offsetof(SequencerStatus, smfFormat) == 33);
static_assert(offsetof(SequencerStatus, key) == 35 && offsetof(SequencerStatus, playControl) == 41);
static_assert(offsetof(SequencerStatus, measureTable) == 49);
static_assert(sizeof(SequencerStatus) == 8241);

static_assert(offsetof(PanelImage, text) == 256 && offsetof(PanelImage, dotShown) == 273);
static_assert(sizeof(PanelImage) == 274);
static_assert(offsetof(ChannelState, volume) == 20 && offsetof(ChannelState, delay) == 29);
static_assert(offsetof(ChannelState, cutoff) == 30 && offsetof(ChannelState, vibratoDelay) == 37);
static_assert(offsetof(ChannelState, hold) == 38 && offsetof(ChannelState, selectedParameter) == 41);
static_assert(offsetof(ChannelState, pitchBend) == 43 && offsetof(ChannelState, rhythm) == 45);
static_assert(offsetof(ChannelState, noteOnCounter) == 46 && offsetof(ChannelState, soundingCount) == 48);
static_assert(offsetof(ChannelState, notes) == 50 && offsetof(ChannelState, velocities) == 66);
static_assert(sizeof(ChannelState) == 82);
static_assert(offsetof(OutputSettings, patchMap) == 6 && offsetof(OutputSettings, patchMapCount) == 16390);
static_assert(offsetof(OutputSettings, noteMap) == 16392 && offsetof(OutputSettings, noteMapCount) == 20488);
static_assert(offsetof(OutputSettings, gsToGMEmu) == 20490 && offsetof(OutputSettings, drumTrack) == 20497);
static_assert(offsetof(OutputSettings, channelMap) == 20498 && offsetof(OutputSettings, reserved) == 20594);
static_assert(sizeof(OutputSettings) == 20598);
static_assert(offsetof(OutputStatus, lyricCounter) == 80 && offsetof(OutputStatus, gmOn) == 83);
static_assert(offsetof(OutputStatus, gsMode) == 86 && offsetof(OutputStatus, outputPending) == 87);
static_assert(offsetof(OutputStatus, portOpen) == 89 && offsetof(OutputStatus, partTable) == 92);
static_assert(sizeof(OutputStatus) == 156);
static_assert(offsetof(OutputShared, channels) == 274 && offsetof(OutputShared, settings) == 4210);
static_assert(offsetof(OutputShared, status) == 24808 && sizeof(OutputShared) == 24964);

// Views of the command block as one command's record.
template <class Record>
Record& commandAs(void* block) {
  static_assert(sizeof(Record) <= kCommandBlockSize);
  return *static_cast<Record*>(block);
}

}  // namespace volta::protocol
