// Parsing of Standard MIDI Files through commands 38 and 39: the header search, the
// chunk walk and every error code the SMF sequencer raises.

#include <gtest/gtest.h>

#include "tests/engine/sequencer/sequencer_harness.h"
#include "tests/support/smf_writer.h"

namespace volta::test {
namespace {

// One track: a name, a note of a quarter at time base 48, the end.
SmfTrack simpleTrack(const std::string& name = "Song") {
  SmfTrack track;
  track.trackName(0, name).noteOn(0, 0, 60, 100).noteOff(48, 0, 60).endOfTrack();
  return track;
}

Bytes simpleSong(int tracks = 1, std::size_t junk = 0) {
  SmfWriter writer(1, 48);
  writer.junk(junk);
  for (int i = 0; i < tracks; ++i)
    writer.track(simpleTrack());
  return writer.build();
}

struct Parsed {
  std::uint32_t prepared;
  std::uint8_t prepareError;
  std::string title;
  std::uint8_t scanError;
  std::uint32_t total;
  std::uint16_t measures;
};

Parsed parse(SequencerHarness& h, const Bytes& song) {
  const std::uint32_t handle = h.open(song);
  EXPECT_NE(handle, 0u);
  Parsed p{};
  p.prepared = h.prepare(handle);
  p.prepareError = h.prepared().error;
  p.title = h.prepared().title;
  const auto scan = h.scan(handle);
  p.scanError = scan.error;
  p.total = scan.totalTime;
  p.measures = scan.measures;
  return p;
}

TEST(SmfHeader, FoundWithin1023BytesOfJunkButNot1024) {
  SequencerHarness h;
  const Parsed found = parse(h, simpleSong(1, 1023));
  EXPECT_EQ(found.prepared, 1u);
  EXPECT_EQ(found.prepareError, 0);
  EXPECT_EQ(found.title, "Song");
  EXPECT_EQ(found.total, 48u * 1041u);

  const Parsed missing = parse(h, simpleSong(1, 1024));
  EXPECT_EQ(missing.prepared, 0u);
  EXPECT_EQ(missing.prepareError, protocol::kErrNoHeader);
  EXPECT_EQ(missing.title, "");
  EXPECT_EQ(missing.scanError, protocol::kErrNoHeader);
  EXPECT_EQ(missing.total, 0u);
}

TEST(SmfHeader, ShortOrEmptyDataHasNoHeader) {
  SequencerHarness h;
  EXPECT_EQ(parse(h, {}).prepareError, protocol::kErrNoHeader);
  EXPECT_EQ(parse(h, {'M', 'T', 'h'}).prepareError, protocol::kErrNoHeader);
}

TEST(SmfHeader, FormatsOtherThan0And1AreRefused) {
  SequencerHarness h;
  EXPECT_EQ(parse(h, SmfWriter(2, 48).track(simpleTrack()).build()).prepareError, protocol::kErrFormat);
  EXPECT_EQ(value(h.status().smfFormat), 2);
  EXPECT_EQ(parse(h, SmfWriter(0, 48).track(simpleTrack()).build()).prepareError, 0);
  EXPECT_EQ(value(h.status().smfFormat), 0);
}

TEST(SmfHeader, TrackCountFrom1To127) {
  SequencerHarness h;
  EXPECT_EQ(parse(h, simpleSong(127)).prepareError, 0);
  EXPECT_EQ(parse(h, simpleSong(128)).prepareError, protocol::kErrTrackCount);
  EXPECT_EQ(parse(h, SmfWriter(1, 48).declaredTracks(0).track(simpleTrack()).build()).prepareError,
            protocol::kErrTrackCount);
}

TEST(SmfHeader, Format0PlaysOneTrackWhateverTheHeaderSays) {
  SequencerHarness h;
  SmfTrack longer;
  longer.noteOn(0, 0, 60, 100).noteOff(480, 0, 60).endOfTrack();
  // Only one track chunk: the count of 3 would otherwise be one chunk short.
  const Parsed p = parse(h, SmfWriter(0, 48).declaredTracks(3).track(simpleTrack()).build());
  EXPECT_EQ(p.prepareError, 0);
  EXPECT_EQ(p.total, 48u * 1041u);
  // The second track of a format 0 file is never read.
  const Parsed two = parse(h, SmfWriter(0, 48).declaredTracks(2).track(simpleTrack()).track(longer).build());
  EXPECT_EQ(two.total, 48u * 1041u);
}

TEST(SmfChunks, UnknownChunksAreSkipped) {
  SequencerHarness h;
  SmfTrack second;
  second.noteOn(96, 1, 64, 90).noteOff(96, 1, 64).endOfTrack();
  const Bytes song = SmfWriter(1, 48)
                         .track(simpleTrack("First"))
                         .chunk("XFIH", {'M', 'T', 'r', 'k', 0, 0, 0, 0})
                         .track(second)
                         .build();
  const Parsed p = parse(h, song);
  EXPECT_EQ(p.prepareError, 0);
  EXPECT_EQ(p.title, "First");
  EXPECT_EQ(p.total, 192u * 1041u);  // the second track's length
}

TEST(SmfChunks, OneChunkShortIsAStructureError) {
  SequencerHarness h;
  const Parsed p = parse(h, SmfWriter(1, 48).declaredTracks(3).track(simpleTrack()).track(simpleTrack()).build());
  EXPECT_EQ(p.prepared, 0u);
  EXPECT_EQ(p.prepareError, protocol::kErrChunkStructure);
  EXPECT_EQ(p.scanError, protocol::kErrChunkStructure);
}

TEST(SmfChunks, ChunkLengthBeyondTheDataIsAStructureErrorNotARead) {
  SequencerHarness h;
  const Bytes song =
      SmfWriter(1, 48).declaredTracks(2).chunkWithLength("JUNK", 0xFFFFFFF0u, {1, 2, 3}).track(simpleTrack()).build();
  EXPECT_EQ(parse(h, song).prepareError, protocol::kErrChunkStructure);
}

TEST(SmfChunks, TrackLongerThanTheDataEndsWithTheData) {
  SequencerHarness h;
  SmfTrack cut;
  cut.noteOn(0, 0, 60, 100).noteOff(96, 0, 60);  // no end-of-track event
  const Parsed p = parse(h, SmfWriter(1, 48).chunkWithLength("MTrk", 100000, cut.bytes()).build());
  EXPECT_EQ(p.scanError, 0);
  EXPECT_EQ(p.total, 96u * 1041u);
}

TEST(SmfEvents, DataByteWithoutRunningStatusIsError6AndPlayGoesOn) {
  SequencerHarness h;
  SmfTrack track;
  // Delta 0, a stray data byte, then a note-on whose delta time is the stray byte.
  track.raw({0x00, 0x30, 0x90, 0x3C, 0x64}).noteOff(48, 0, 60).endOfTrack();
  const Parsed p = parse(h, SmfWriter(1, 48).track(track).build());
  EXPECT_EQ(p.prepared, 0u);
  EXPECT_EQ(p.prepareError, protocol::kErrInvalidEvent);
  EXPECT_EQ(p.scanError, protocol::kErrInvalidEvent);
  // The byte read as a delta time (0x30 ticks) delays the rest, which still plays.
  EXPECT_EQ(p.total, (0x30u + 48u) * 1041u);
}

TEST(SmfEvents, DeltaTimeCutByTheTrackEndIsError11) {
  SequencerHarness h;
  SmfTrack track;
  track.noteOn(0, 0, 60, 100).raw({0x81});
  const Parsed p = parse(h, SmfWriter(1, 48).track(track).build());
  EXPECT_EQ(p.scanError, protocol::kErrPastEnd);
}

TEST(SmfEvents, MetaLengthPastTheEndEndsTheTrackWithoutReadingIt) {
  SequencerHarness h;
  SmfTrack track;
  track.noteOn(0, 0, 60, 100).raw({0x30, 0xFF, 0x03, 0x8F, 0xFF, 0xFF, 0x7F, 'x'});
  const Parsed p = parse(h, SmfWriter(1, 48).track(track).build());
  EXPECT_EQ(p.scanError, 0);
  EXPECT_EQ(p.total, 0x30u * 1041u);
}

TEST(SmfEvents, EmptyTrackChunkEndsAtOnce) {
  SequencerHarness h;
  const Parsed p = parse(h, SmfWriter(1, 48).chunk("MTrk", {}).track(simpleTrack()).build());
  EXPECT_EQ(p.scanError, 0);
  EXPECT_EQ(p.total, 48u * 1041u);
}

TEST(SmfEvents, ShortMetaEventsAreIgnored) {
  SequencerHarness h;
  SmfTrack track;
  track.meta(0, 0x51, {0x01}).meta(0, 0x58, {3}).meta(0, 0x59, {2}).endOfTrack(48);
  const Parsed p = parse(h, SmfWriter(1, 48).track(track).build());
  EXPECT_EQ(p.total, 48u * 1041u);
  EXPECT_EQ(value(h.status().tempo), 500000u);
  EXPECT_EQ(value(h.status().numerator), 4);
  EXPECT_EQ(value(h.status().key), 0);
}

TEST(SmfEvents, Limit8192EventsInOneTick) {
  SequencerHarness h;
  const auto song = [](int events) {
    SmfTrack track;
    for (int i = 0; i < events; ++i)
      track.controller(0, 0, 7, i & 0x7F);
    track.endOfTrack(10);
    return SmfWriter(1, 48).track(track).build();
  };
  // The end-of-track event after 10 ticks is the 8193rd event, but not in tick 0.
  EXPECT_EQ(parse(h, song(8192)).scanError, 0);
  const Parsed over = parse(h, song(8193));
  EXPECT_EQ(over.scanError, protocol::kErrInfiniteLoop);
}

TEST(SmfEvents, RunningStatusPlaysLikeFullStatus) {
  SequencerHarness h;
  SmfTrack withRunning(true);
  withRunning.noteOn(0, 0, 60, 100).noteOn(24, 0, 60, 0).noteOn(24, 0, 62, 100).noteOn(24, 0, 62, 0).endOfTrack();
  const Parsed p = parse(h, SmfWriter(1, 48).track(withRunning).build());
  EXPECT_EQ(p.scanError, 0);
  EXPECT_EQ(p.total, 72u * 1041u);
}

TEST(SmfTiming, TempoSetsTheTickDuration) {
  SequencerHarness h;
  SmfTrack track;
  track.tempo(0, 500000).endOfTrack(480);
  EXPECT_EQ(parse(h, SmfWriter(1, 48).track(track).build()).total, 480u * 1041u);
  EXPECT_EQ(parse(h, SmfWriter(1, 480).track(track).build()).total, 480u * 104u);
  SmfTrack faster;
  faster.tempo(0, 250000).endOfTrack(48).tempo(0, 1000000);
  EXPECT_EQ(parse(h, SmfWriter(1, 48).track(faster).build()).total, 48u * 520u);
  EXPECT_EQ(value(h.status().tempo), 250000u);
}

TEST(SmfTiming, ScanningTwiceGivesTheSameLength) {
  SequencerHarness h;
  SmfTrack track;
  track.noteOn(0, 0, 60, 100).tempo(48, 1000000).noteOff(48, 0, 60).endOfTrack();
  const std::uint32_t handle = h.open(SmfWriter(1, 48).track(track).build());
  const std::uint32_t first = h.scan(handle).totalTime;
  EXPECT_EQ(first, 48u * 1041u + 48u * 2083u);
  EXPECT_EQ(value(h.scan(handle).totalTime), first);
}

TEST(SmfTiming, ZeroDivisionAndZeroTempoStillEnd) {
  SequencerHarness h;
  SmfTrack track;
  track.tempo(0, 0).noteOn(0, 0, 60, 100).noteOff(1000, 0, 60).endOfTrack();
  const Parsed p = parse(h, SmfWriter(1, 0).track(track).build());
  EXPECT_EQ(p.scanError, 0);
  EXPECT_EQ(p.total, 1000u);  // a tick lasts at least one unit
}

TEST(SmfMeasures, TableHoldsTheStartOfEveryMeasure) {
  SequencerHarness h;
  SmfTrack track;
  track.timeSignature(0, 3, 2).endOfTrack(144 * 4);
  const Parsed p = parse(h, SmfWriter(1, 48).track(track).build());
  EXPECT_EQ(p.measures, 4);
  EXPECT_EQ(value(h.status().numerator), 3);
  EXPECT_EQ(value(h.status().denominator), 4);
  EXPECT_EQ(value(h.status().ticksPerMeasure), 144u);
  for (std::uint32_t m = 0; m <= 4; ++m)
    EXPECT_EQ(value(h.status().measureTable[m]), m * 144) << m;
}

TEST(SmfMeasures, SignatureChangeAtTheEndOfAMeasureStartsTheNextAtOnce) {
  SequencerHarness h;
  SmfTrack track;
  // At tick 190 the tick within the first measure is 191 = 192 - 1: the 3/4 measure
  // begins with the next tick.
  track.timeSignature(190, 3, 2).endOfTrack(144 * 2);
  const Parsed p = parse(h, SmfWriter(1, 48).track(track).build());
  EXPECT_EQ(value(h.status().measureTable[1]), 191u);
  EXPECT_EQ(value(h.status().measureTable[2]), 191u + 144u);
  EXPECT_EQ(value(h.status().measureTable[3]), 191u + 288u);
  EXPECT_EQ(p.measures, 3);
}

TEST(SmfMeasures, HugeDenominatorIsClamped) {
  SequencerHarness h;
  SmfTrack track;
  track.timeSignature(0, 4, 200).endOfTrack(480);
  const Parsed p = parse(h, SmfWriter(1, 48).track(track).build());
  EXPECT_EQ(value(h.status().denominator), 16384);
  EXPECT_EQ(value(h.status().ticksPerMeasure), 0u);  // no measures: bookkeeping is off
  EXPECT_EQ(p.measures, 0);
}

TEST(SmfMeasures, RewindingRestoresFourFour) {
  SequencerHarness h;
  SmfTrack track;
  track.keySignature(0, 2, false).timeSignature(96, 3, 2).endOfTrack(480);
  const std::uint32_t handle = h.open(SmfWriter(1, 48).track(track).build());
  h.scan(handle);
  EXPECT_EQ(value(h.status().numerator), 3);
  h.prepare(handle);  // reads tick 0 only
  EXPECT_EQ(value(h.status().numerator), 4);
  EXPECT_EQ(value(h.status().ticksPerMeasure), 192u);
  EXPECT_EQ(value(h.status().key), 2);
}

TEST(SmfMeasures, CounterGoesOnPastTheTable) {
  SequencerHarness h;
  SmfTrack track;
  track.noteOn(0, 0, 60, 100).noteOff(192 * 3000, 0, 60).endOfTrack();
  const Parsed p = parse(h, SmfWriter(1, 48).track(track).build());
  EXPECT_EQ(p.measures, 3000);
  EXPECT_EQ(value(h.status().measureTable[1]), 192u);
  EXPECT_EQ(value(h.status().measureTable[2047]), 2047u * 192u);
  EXPECT_EQ(p.total, 192u * 3000u * 1041u);
}

TEST(SmfMetas, KeySignatureAndNameOfTheFirstTextEvent) {
  SequencerHarness h;
  SmfTrack track;
  track.text(0, 0x01, "").text(0, 0x01, std::string(200, 'n')).trackName(0, "Later").keySignature(0, -3, true);
  track.endOfTrack(1);
  const Parsed p = parse(h, SmfWriter(1, 48).track(track).build());
  EXPECT_EQ(p.title, std::string(127, 'n'));
  EXPECT_EQ(value(h.status().key), 8 + 3 + 16);
  SmfTrack sharps;
  sharps.keySignature(0, 5, false).endOfTrack(1);
  parse(h, SmfWriter(1, 48).track(sharps).build());
  EXPECT_EQ(value(h.status().key), 5);
}

TEST(SmfMetas, TitleIsTheFirstTrackNameOnly) {
  SequencerHarness h;
  SmfTrack unnamed;
  unnamed.noteOn(0, 0, 60, 100).noteOff(48, 0, 60).endOfTrack();
  const std::uint32_t handle = h.open(SmfWriter(1, 48).track(unnamed).track(simpleTrack("Second")).build());
  EXPECT_EQ(h.prepare(handle), 1u);
  EXPECT_EQ(h.prepared().title[0], 0);
  EXPECT_EQ(h.prepared().comment[0], 0);
}

TEST(SmfMetas, EventsAfterEndOfTrackAreNotRead) {
  SequencerHarness h;
  SmfTrack track;
  track.endOfTrack(48).noteOn(480, 0, 60, 100).noteOff(480, 0, 60);
  EXPECT_EQ(parse(h, SmfWriter(1, 48).track(track).build()).total, 48u * 1041u);
}

}  // namespace
}  // namespace volta::test
