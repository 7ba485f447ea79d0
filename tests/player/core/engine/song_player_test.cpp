// The song player on the real engine: loading with companions, documents and
// module, the start with emulation and greeting, play, pause, seek and speed, and
// the scanning of play-list entries.

#include "player/core/song_player.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/protocol/error_messages.h"
#include "player/core/builtin_definitions.h"
#include "tests/player/core/smfk/smfk_messages.h"
#include "tests/support/rcp_writer.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"
#include "tests/support/trace_log.h"

namespace volta::core {
namespace {

namespace fs = std::filesystem;

TEST(SpeedCodes, LabelTheTitle) {
  EXPECT_EQ(speedLabel(0), "");
  EXPECT_EQ(speedLabel(1), " [x1.5]");
  EXPECT_EQ(speedLabel(-1), " [x0.75]");
  EXPECT_EQ(speedLabel(3), " [x3]");
  EXPECT_EQ(speedLabel(-4), " [x1/4]");
  EXPECT_EQ(lengthLabel(83'999), "01:23");
  EXPECT_EQ(lengthLabel(0), "00:00");
}

// A short song: a note on at the start and its end a quarter later at 120 per minute.
test::Bytes shortSong(const std::string& title, int quarters = 1) {
  test::SmfTrack track;
  track.trackName(0, title).tempo(0, 500000).timeSignature(0, 4, 2);
  track.noteOn(0, 0, 60, 100).noteOff(static_cast<std::uint32_t>(96 * quarters), 0, 60).endOfTrack(0);
  return test::SmfWriter(0, 96).track(track).build();
}

class SongPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(binding_.loaded());
    loadBuiltInDefinitions(store_);
    const std::array<std::uint32_t, 1> devices{test::traceDeviceFor(trace_)};
    player_ = std::make_unique<SongPlayer>(binding_, devices, store_);
    ASSERT_NE(player_->output(), nullptr);
    SongPlayerSettings settings;
    settings.tempFolder = dir_.path();
    player_->configure(settings);
  }
  fs::path song(const std::string& name, const test::Bytes& bytes) {
    const auto path = dir_ / name;
    test::writeFile(path, bytes);
    return path;
  }
  void text(const std::string& name, const std::string& content) {
    test::writeFile(dir_ / name, test::Bytes(content.begin(), content.end()));
  }
  int load(const fs::path& path) {
    entry_ = {};
    entry_.fileName = path.string();
    return player_->load(path, entry_);
  }
  void playToTheEnd() {
    player_->start(settings_, entry_, 0, false);
    player_->poll();
    ASSERT_TRUE(test::waitUntil([&] { return player_->status()->songTime > 0; }));
    ASSERT_TRUE(test::waitUntil([&] { return !player_->playing(); }));
  }

  test::TempDir dir_;
  // Not a .txt beside the songs: the folder's document report would read it, and a
  // word of it (a time of 88 µs, say) could name a module.
  fs::path trace_ = dir_ / "trace.log";
  EngineBinding binding_{kNativeLibrary, test::binDir()};
  TINICritical store_;
  CoreSettings settings_;
  MIDIFile entry_;
  std::unique_ptr<SongPlayer> player_;
};

TEST_F(SongPlayerTest, LoadsTitleDocumentsAndTheModuleOfTheTdfFile) {
  const auto path = song("tune.mid", shortSong("Tune for the SC-88"));
  text("tune.txt", "Written for the MU80.\r\n");
  text("tune.tdf", "[MIDI]\r\nModuleName=SC-55\r\n");
  ASSERT_EQ(load(path), 0);
  EXPECT_EQ(player_->title(), "Tune for the SC-88");
  EXPECT_TRUE(player_->documentFound());
  EXPECT_NE(player_->document().find("Written for the MU80."), std::string::npos);
  EXPECT_EQ(player_->songModule(), "SC-55");
  EXPECT_EQ(player_->moduleMarker(), "");
  EXPECT_EQ(player_->wrdSource(), dir_ / "tune.DV");
}

TEST_F(SongPlayerTest, DetectsTheModuleAndNamesTheFileWhenTheTitleIsEmpty) {
  const auto path = song("plain.mid", shortSong(""));
  text("plain.txt", "For the MU80 only.\r\n");
  ASSERT_EQ(load(path), 0);
  EXPECT_EQ(player_->title(), "plain.mid");
  EXPECT_EQ(player_->songModule(), "MU80");
  EXPECT_EQ(player_->moduleMarker(), "*");
}

TEST_F(SongPlayerTest, TheSryCompanionWinsOnlyWhenEnabled) {
  const auto path = song("both.mid", shortSong("x"));
  text("both.wrd", "@");
  text("both.sry", "");
  ASSERT_EQ(load(path), 0);
  EXPECT_EQ(player_->wrdSource(), dir_ / "both.wrd");
  SongPlayerSettings settings;
  settings.sryEnable = true;
  player_->configure(settings);
  ASSERT_EQ(load(path), 0);
  EXPECT_EQ(player_->wrdSource(), dir_ / "both.sry");
}

TEST_F(SongPlayerTest, LoadErrorsAreThoseOfTheEngineAndThePlayer) {
  EXPECT_EQ(load(dir_ / "absent.mid"), protocol::kErrOpenFile);
  EXPECT_EQ(load(song("notes.txt", shortSong("x"))), protocol::kErrUnknownFile);
  EXPECT_EQ(load(song("broken.mid", {'M', 'T'})), protocol::kErrNoHeader);
  EXPECT_NE(load(song("empty.mid", {})), 0);
  EXPECT_FALSE(player_->loaded());
  entry_ = {};
  entry_.archiveMember = "IN.MID";
  EXPECT_EQ(player_->load(dir_ / "a.lzh", entry_), protocol::kErrOpenFile);  // no archive support here
}

TEST_F(SongPlayerTest, TheTdfPortAssignmentReachesThePlayControl) {
  const auto path = song("ports.mid", shortSong("x"));
  text("ports.tdf", "[Sequencer]\r\nPortAssignType=2\r\n");
  ASSERT_EQ(load(path), 0);
  EXPECT_EQ(+player_->song()->playControl()->portAssignment, 2);
}

TEST_F(SongPlayerTest, AGsSongOnAnXgDeviceIsConvertedAndGreetedBeforeItsFirstEvent) {
  SongPlayerSettings settings;
  settings.deviceModule = "MU80";
  settings.tempFolder = dir_.path();
  player_->configure(settings);
  text("gs.tdf", "[MIDI]\r\nModuleName=GS\r\n");
  ASSERT_EQ(load(song("gs.mid", shortSong("GS song"))), 0);
  playToTheEnd();
  const auto lines = test::readTrace(trace_);
  const auto notesOff = test::findLine(lines, "B0 7B 00");
  const auto gmReset = test::findLine(lines, "F0 7E 7F 09 01 F7");
  const auto xgReset = test::findLine(lines, "F0 43 10 4C 00 00 7E 00 F7");
  const auto greeting = test::findLine(lines, "F0 41 10 45 12 10 00 00 56 4F 4C 54 41 3A 47 53");  // "VOLTA:GS"
  const auto firstNote = test::findLine(lines, "90 3C");
  EXPECT_LT(notesOff, gmReset);
  EXPECT_LT(gmReset, xgReset);
  EXPECT_LT(xgReset, greeting);
  EXPECT_LT(greeting, firstNote);
  ASSERT_LT(firstNote, lines.size());
  // The XG initialisation's pauses lie between the resets and the song.
  EXPECT_GE(lines[firstNote].time - lines[gmReset].time, 195'000u);
  EXPECT_EQ(player_->output()->settings()->gsToXGEmu, 1);
  EXPECT_EQ(player_->moduleMarker(), "");
}

TEST_F(SongPlayerTest, ASongWithoutConversionGetsTheQuestionMark) {
  SongPlayerSettings settings;
  settings.deviceModule = "NoSuchModule";
  player_->configure(settings);
  ASSERT_EQ(load(song("q.mid", shortSong("x"))), 0);
  player_->seek(0);
  player_->seek(0);
  EXPECT_EQ(player_->moduleMarker(), "?");
}

TEST_F(SongPlayerTest, PlayPauseSeekAndSpeedActOnTheEngine) {
  ASSERT_EQ(load(song("long.mid", shortSong("Long", 40))), 0);
  EXPECT_NEAR(player_->length() / 100, 20'000, 50);
  player_->start(settings_, entry_, 2, false);
  EXPECT_NEAR(entry_.lengthMs, 20'000, 50);
  EXPECT_EQ(+player_->song()->playControl()->speed, 2);
  player_->poll();
  ASSERT_TRUE(test::waitUntil([&] { return player_->status()->songTime > 0; }));
  player_->pause();
  EXPECT_TRUE(player_->paused());
  ASSERT_TRUE(test::waitUntil([&] { return player_->status()->paused != 0 || player_->status()->playing == 0; }));

  // Forward while paused only chases: no second greeting.
  const auto greetings = [&] {
    const auto lines = test::readTrace(trace_);
    return std::count_if(lines.begin(), lines.end(),
                         [](const test::TraceLine& l) { return l.bytes.rfind("F0 41 10 45 12 10 00 00 56", 0) == 0; });
  };
  ASSERT_TRUE(test::waitUntil([&] { return greetings() == 1; }));
  player_->seek(1'000'000);  // ten seconds
  EXPECT_GE(+player_->status()->songTime, 1'000'000u);
  player_->output()->flush();
  EXPECT_EQ(greetings(), 1);
  // Back to an earlier point rebuilds from the start and greets again.
  player_->seek(100'000);
  player_->output()->flush();
  EXPECT_EQ(greetings(), 2);
  EXPECT_LT(+player_->status()->songTime, 1'000'000u);
  player_->play();
  EXPECT_FALSE(player_->paused());
  player_->setSpeed(-2);
  EXPECT_EQ(+player_->song()->playControl()->speed, -2);
}

class FakeWrd : public WrdFollower {
 public:
  void restart(std::uint16_t timeBase) override {
    ++restarts;
    this->timeBase = timeBase;
  }
  bool follow(const Position& position) override {
    last = position;
    ++follows;
    return caughtUp;
  }
  int restarts = 0, follows = 0;
  std::uint16_t timeBase = 0;
  bool caughtUp = true;
  Position last;
};

TEST_F(SongPlayerTest, ASeekWaitsForTheWrdDisplayToCatchUp) {
  FakeWrd wrd;
  player_->setWrdFollower(&wrd);
  ASSERT_EQ(load(song("wrd.mid", shortSong("W", 40))), 0);
  player_->start(settings_, entry_, 0, false);
  EXPECT_EQ(wrd.restarts, 1);
  EXPECT_EQ(wrd.timeBase, 96);
  player_->poll();
  ASSERT_TRUE(test::waitUntil([&] { return player_->status()->songTime > 0; }));

  wrd.caughtUp = false;
  player_->seek(1'500'000);  // forward: no restart, but the display must follow first
  EXPECT_EQ(wrd.restarts, 1);
  player_->play();
  player_->poll();  // gives up after its time limit without starting
  EXPECT_GT(wrd.follows, 1);
  EXPECT_TRUE(wrd.last.seekPending);
  EXPECT_EQ(wrd.last.measure, 7);
  const std::uint32_t held = player_->status()->songTime;
  wrd.caughtUp = true;
  player_->poll();
  ASSERT_TRUE(test::waitUntil([&] { return player_->status()->songTime > held; }));
  player_->setWrdFollower(nullptr);
}

// Songs whose conversion names an SMF Knife rule file play rewritten by the library.
class SmfKnifeTest : public SongPlayerTest {
 protected:
  void SetUp() override {
    SongPlayerTest::SetUp();
    ASSERT_TRUE(library_.load(test::binDir()));
    fs::create_directory(dir_ / "knife");
    text("knife/UP.CFG", "transpose * 12\nprogram * 1 20\n");
    SongPlayerSettings settings;
    settings.tempFolder = dir_ / "temp";
    settings.smfkFolder = dir_ / "knife";
    fs::create_directory(settings.tempFolder);
    player_->configure(settings);
    player_->setSmfkLibrary(&library_);
    player_->setConversionOwner(&owner_);
    store_.loadText("[convindex]\nTHRU:SC-55=GSInit SMFK:up.cfg\n", {});
  }
  // A song for the SC-55: program 1 and note 60.
  fs::path songForTheSc55(const std::string& name, const test::Bytes& bytes) {
    const fs::path path = song(name, bytes);
    text(path.stem().string() + ".tdf", "[MIDI]\r\nModuleName=SC-55\r\n");
    return path;
  }
  static test::Bytes programAndNote() {
    test::SmfTrack track;
    track.trackName(0, "Knife").tempo(0, 500000).program(0, 0, 0).noteOn(0, 0, 60, 100).noteOff(48, 0, 60);
    return test::SmfWriter(0, 96).track(track.endOfTrack(0)).build();
  }
  bool heard(const std::string& bytes) const {
    const auto lines = test::readTrace(trace_);
    return test::findLine(lines, bytes) < lines.size();
  }
  // Conversions leave nothing in the temporary folder.
  bool tempFolderEmpty() const { return fs::is_empty(dir_ / "temp"); }

  smfk::SmfkLibrary library_;
  test::MessageLog log_;
  platform::MessageTarget owner_ = log_.target();
};

TEST_F(SmfKnifeTest, TheRewrittenSongPlaysInsteadOfTheSong) {
  ASSERT_EQ(load(songForTheSc55("tune.mid", programAndNote())), 0);
  EXPECT_TRUE(player_->converted());
  EXPECT_EQ(player_->title().rfind("Knife", 0), 0u);
  EXPECT_TRUE(tempFolderEmpty());
  playToTheEnd();
  EXPECT_TRUE(heard("C0 13"));
  EXPECT_TRUE(heard("90 48 64"));
  EXPECT_FALSE(heard("90 3C"));
  const auto messages = log_.messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.front(), (test::OwnerMessage{smfk::kMessage, smfk::kProgress, 0}));
}

TEST_F(SmfKnifeTest, AnRcpSongIsMadeAStandardMidiFileFirst) {
  test::RcpWriter writer(false);
  writer.title = "RCP song";
  writer.addTrack(0).add(60, 48, 40, 100).end();
  ASSERT_EQ(load(songForTheSc55("song.rcp", writer.build())), 0);
  EXPECT_TRUE(player_->converted());
  EXPECT_EQ(player_->title().rfind("RCP song", 0), 0u);
  EXPECT_TRUE(tempFolderEmpty());
  playToTheEnd();
  EXPECT_TRUE(heard("90 48"));
  const auto messages = log_.messages();
  EXPECT_TRUE(std::ranges::any_of(messages, [](const auto& m) { return m.message == smfk::kRcpProgressMessage; }));
  EXPECT_TRUE(std::ranges::any_of(messages, [](const auto& m) { return m.message == smfk::kMessage; }));
}

TEST_F(SmfKnifeTest, AMissingLibraryFailsTheOpening) {
  const fs::path path = songForTheSc55("tune.mid", programAndNote());
  smfk::SmfkLibrary absent;
  player_->setSmfkLibrary(&absent);
  EXPECT_EQ(load(path), protocol::kErrOpenFile);
  player_->setSmfkLibrary(nullptr);
  EXPECT_EQ(load(path), protocol::kErrOpenFile);
  EXPECT_STREQ(protocol::errorMessage(protocol::kErrOpenFile), "ERROR:Fail to open the midi file");
  EXPECT_FALSE(player_->loaded());
  EXPECT_TRUE(tempFolderEmpty());
}

TEST_F(SmfKnifeTest, AFailedConversionFailsTheOpening) {
  const fs::path path = songForTheSc55("tune.mid", programAndNote());
  text("knife/UP.CFG", "transpose everything\n");
  EXPECT_EQ(load(path), protocol::kErrOpenFile);
  store_.loadText("[convindex]\nTHRU:SC-55=SMFK:missing.cfg\n", {});
  EXPECT_EQ(load(path), protocol::kErrOpenFile);
  EXPECT_TRUE(tempFolderEmpty());
}

TEST_F(SmfKnifeTest, AnEntryMarkedConvertedPlaysTheFileBesideIt) {
  const fs::path path = song("plain.mid", shortSong("Plain"));
  test::SmfTrack track;
  track.trackName(0, "Converted").noteOn(0, 0, 67, 90).noteOff(48, 0, 67).endOfTrack(0);
  song("plain.mid.smfk", test::SmfWriter(0, 96).track(track).build());
  entry_ = {};
  entry_.fileName = path.string();
  entry_.smfKnife = true;
  ASSERT_EQ(player_->load(path, entry_), 0);
  EXPECT_TRUE(player_->converted());
  EXPECT_EQ(player_->title().rfind("Converted", 0), 0u);
  playToTheEnd();
  EXPECT_TRUE(heard("90 43 5A"));
  EXPECT_TRUE(fs::exists(dir_ / "plain.mid.smfk"));
}

TEST_F(SongPlayerTest, AKaraokeFilePlaysItsNotesAndLyrics) {
  test::SmfTrack track;
  track.trackName(0, "Karaoke").tempo(0, 500000).lyric(0, "Twin").noteOn(0, 0, 64, 100).lyric(48, "kle");
  track.noteOff(48, 0, 64).endOfTrack(0);
  ASSERT_EQ(load(song("song.kar", test::SmfWriter(0, 96).track(track).build())), 0);
  EXPECT_EQ(player_->title().rfind("Karaoke", 0), 0u);
  playToTheEnd();
  const auto lines = test::readTrace(trace_);
  EXPECT_LT(test::findLine(lines, "90 40 64"), lines.size());
  EXPECT_STREQ(player_->output()->status()->lyric, "kle");
  EXPECT_GE(player_->output()->status()->lyricCounter, 2);
}

// Collections hold G36 songs named .rcp: the header decides how it plays.
TEST_F(SongPlayerTest, AG36SongNamedRcpPlaysAsG36) {
  test::RcpWriter writer(true);
  writer.title = "G36 song";
  writer.addTrack(0).add(62, 48, 40, 100).end();
  ASSERT_EQ(load(song("song.rcp", writer.build())), 0);
  EXPECT_EQ(player_->title().rfind("G36 song", 0), 0u);
  playToTheEnd();
  const auto lines = test::readTrace(trace_);
  EXPECT_LT(test::findLine(lines, "90 3E 64"), lines.size());
}

TEST_F(SongPlayerTest, PlayListEntriesAreScannedWithoutAnOutput) {
  MIDIFile entry;
  const auto scanned = song("scan.mid", shortSong("Scanned", 8));
  scanEntryLength(binding_, scanned, entry);
  readEntryTitle(binding_, scanned, entry);
  EXPECT_FALSE(entry.unreadable);
  EXPECT_NEAR(entry.lengthMs, 4000, 10);
  EXPECT_EQ(entry.measures, 2u);
  EXPECT_EQ(entry.title, "Scanned");
  MIDIFile once;
  scanEntry(binding_, scanned, once);
  EXPECT_EQ(once.title, "Scanned");
  EXPECT_EQ(once.lengthMs, entry.lengthMs);
  EXPECT_EQ(once.measures, 2u);

  MIDIFile wave;
  scanEntryLength(binding_, dir_ / "take.WAV", wave);
  readEntryTitle(binding_, dir_ / "take.WAV", wave);
  EXPECT_FALSE(wave.unreadable);
  EXPECT_EQ(wave.lengthMs, 0u);
  EXPECT_EQ(wave.title, "take.WAV");

  MIDIFile missing;
  scanEntryLength(binding_, dir_ / "gone.mid", missing);
  readEntryTitle(binding_, dir_ / "gone.mid", missing);
  EXPECT_TRUE(missing.unreadable);
  EXPECT_EQ(missing.errorCode, protocol::kErrOpenFile);
  EXPECT_EQ(missing.title, "gone.mid");
}

}  // namespace
}  // namespace volta::core
