// Message texts, command sections, conversions and the greeting, sent through the
// real engine to the trace device.

#include "player/core/emulation.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/midi/output_device.h"
#include "player/core/builtin_definitions.h"
#include "player/core/message_text.h"
#include "tests/support/test_support.h"
#include "tests/support/trace_log.h"

namespace volta::core {
namespace {

using Kind = MessageAction::Kind;

std::unique_ptr<TINICritical> storeWith(std::string_view text) {
  auto store = std::make_unique<TINICritical>();
  store->loadText(text, {});
  return store;
}

TEST(MessageText, BytesGroupIntoMessagesAndCommandsBecomeActions) {
  const auto store =
      storeWith("[midimessage]\nGSReset=$F0 $41 $10 $42 $12 $40 $00 $7F $00 $41 $F7\nPC0=$C0 0\nLoop=M:Loop $01\n");
  const auto actions = parseMessageText(*store, "M:GSReset $90 60 100 R:2 W:100 W:5 junk 300 $1FF C:PC0");
  ASSERT_EQ(actions.size(), 6u);
  EXPECT_EQ(actions[0].bytes, (std::vector<std::uint8_t>{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0, 0x7F, 0, 0x41, 0xF7}));
  EXPECT_EQ(actions[1].bytes, (std::vector<std::uint8_t>{0x90, 60, 100}));
  EXPECT_EQ(actions[2].kind, Kind::kReset);
  EXPECT_EQ(actions[2].value, 2);
  EXPECT_EQ(actions[3].kind, Kind::kWait);
  EXPECT_EQ(actions[3].value, 10);  // one pause per started 10 ms
  EXPECT_EQ(actions[4].value, 1);
  EXPECT_EQ(actions[5].kind, Kind::kEveryChannel);
  EXPECT_EQ(actions[5].bytes, (std::vector<std::uint8_t>{0xC0, 0}));
  // A message naming itself ends at the nesting limit.
  const auto loop = parseMessageText(*store, "M:Loop");
  ASSERT_EQ(loop.size(), 1u);
  EXPECT_EQ(loop[0].bytes.size(), static_cast<std::size_t>(kMessageNesting));
  EXPECT_TRUE(parseMessageText(*store, "M:Unknown C:Unknown W:x R: $GG").empty());
  EXPECT_EQ(pausesForWait(4'000'000'000u), kMaxWaitPauses);
  // Data bytes after a channel message for every channel are a message of their own.
  const auto after = parseMessageText(*store, "$90 C:PC0 5");
  ASSERT_EQ(after.size(), 3u);
  EXPECT_EQ(after[2].bytes, std::vector<std::uint8_t>{5});
}

TEST(PatchEntries, FieldsRunLsbMsbProgramAndStarMeansAny) {
  const auto entry = parsePatchEntry("*:*:*", "*:0:19");
  ASSERT_TRUE(entry);
  EXPECT_EQ((std::vector<std::uint8_t>(entry->key, entry->key + 4)), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0}));
  EXPECT_EQ((std::vector<std::uint8_t>(entry->replacement, entry->replacement + 4)),
            (std::vector<std::uint8_t>{19, 0, 0xFF, 0}));
  const auto rhythm = parsePatchEntry("dm:1:2:3", "*:*:127");
  ASSERT_TRUE(rhythm);
  EXPECT_EQ(rhythm->key[3], 1);
  EXPECT_EQ(rhythm->replacement[3], 1);
  EXPECT_EQ(rhythm->key[0], 3);
  EXPECT_EQ(rhythm->key[2], 1);
  EXPECT_FALSE(parsePatchEntry("1:2", "1:2:3"));
  EXPECT_FALSE(parsePatchEntry("1:2:300", "1:2:3"));
  EXPECT_FALSE(parsePatchEntry("1:2:3", "a:2:3"));
}

TEST(ModuleGreeting, CarriesTheSongModuleWithARolandChecksum) {
  const auto bytes = moduleGreeting("SC-55");
  ASSERT_EQ(bytes.size(), 8u + 11 + 2);
  EXPECT_EQ(bytes[8], 'V');
  EXPECT_EQ(bytes.back(), 0xF7);
  unsigned sum = 0;
  for (std::size_t i = 5; i + 1 < bytes.size(); ++i)
    sum += bytes[i];
  EXPECT_EQ(sum % 128, 0u);
}

TEST(PortDevices, AMissingDevicePlaysOnTheSoftwareSynthesizerAndNoneStaysClosed) {
  test::traceDeviceFor("/dev/null");
  MidiTemplate ports;
  ports.ports = {"Keyboard Unplugged", "(None)", "trace"};
  const PortDevices devices = resolvePortDevices(ports);
  EXPECT_EQ(devices.ids[0], platform::midi::findOutputDevice("Software synthesizer"));
  EXPECT_EQ(devices.missing[0], "Keyboard Unplugged");
  EXPECT_EQ(devices.ids[1], platform::midi::kNoDevice);
  EXPECT_EQ(devices.ids[2], platform::midi::findOutputDevice("Trace"));  // names match without case
  EXPECT_TRUE(devices.missing[1].empty() && devices.missing[2].empty());
  EXPECT_TRUE(devices.anyMissing());
  EXPECT_FALSE(resolvePortDevices(MidiTemplate{}).anyMissing());
  EXPECT_EQ(resolvePortDevices(MidiTemplate{}).ids[0], platform::midi::kMapperDevice);
}

TEST(MidiThru, RoutesChannelsAndVelocities) {
  EXPECT_EQ(MidiThruRouter::destinationNames().size(), 51u);
  EXPECT_EQ(MidiThruRouter::destinationNames()[3], "A01");
  EXPECT_EQ(MidiThruRouter::destinationNames()[50], "C16");
  EXPECT_EQ(MidiThruRouter::velocityNames()[1], "127");
  EXPECT_EQ(MidiThruRouter::velocityNames().size(), 128u);

  EngineBinding binding(kNativeLibrary, test::binDir());
  const std::array<std::uint32_t, 1> devices{platform::midi::kNoDevice};
  auto output = OutputHandle::open(binding, devices);
  ASSERT_NE(output, nullptr);
  MidiThruRouter router(*output);
  EXPECT_EQ(router.route(0x407F91), 0x407F91u);  // "A--" and "THRU" leave it as it is
  router.setDestination(3 + 16 + 4);             // "B05"
  router.setVelocity(28);                        // "100"
  EXPECT_EQ(router.port(), 1);
  EXPECT_EQ(router.route(0x7F3C92), 0x643C94u);
  EXPECT_EQ(router.route(0x003C92), 0x003C94u);  // a note-on without velocity stays an off
  EXPECT_EQ(router.route(0x7F3C82), 0x7F3C84u);
  EXPECT_FALSE(router.route(0xF8));
  router.setDestination(2);  // "C--" keeps the channel
  EXPECT_EQ(router.port(), 2);
  EXPECT_EQ(router.route(0x0510BA), 0x0510BAu);
}

class EmulationOnEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(binding_.loaded());
    const std::array<std::uint32_t, 2> devices{test::traceDeviceFor(trace_), test::traceDeviceFor(trace_)};
    output_ = OutputHandle::open(binding_, devices);
    ASSERT_NE(output_, nullptr);
  }
  // Everything the trace got after the engine's own welcome on opening.
  std::vector<test::TraceLine> sent() {
    output_->flush();
    auto lines = test::readTrace(trace_);
    std::erase_if(lines,
                  [](const test::TraceLine& line) { return line.bytes.rfind("F0 41 10 45 12 10 00 00 57", 0) == 0; });
    return lines;
  }

  test::TempDir dir_;
  std::filesystem::path trace_ = dir_ / "trace.txt";
  EngineBinding binding_{kNativeLibrary, test::binDir()};
  std::unique_ptr<OutputHandle> output_;
};

TEST_F(EmulationOnEngine, AWaitQueuesOnePausePerStartedTenMilliseconds) {
  const auto store = storeWith("");
  std::size_t seen = sent().size();
  for (const auto& [text, pauses] : {std::pair{"W:100 $FE", 10}, std::pair{"W:5 $FE", 1}}) {
    runMessageText(*output_, *store, text, std::span<const int>(&kAllPorts[0], 1));
    // Each flush without a period ends one pause; the byte follows the last.
    int flushes = 0;
    while (sent().size() == seen && flushes < 100)
      ++flushes;
    EXPECT_EQ(flushes, pauses) << text;
    seen = sent().size();
  }
}

TEST_F(EmulationOnEngine, AChannelMessageGoesOutOnAllSixteenChannels) {
  const auto store = storeWith("[midimessage]\nPC0=$C0 0\n");
  runMessageText(*output_, *store, "C:PC0", std::span<const int>(&kAllPorts[1], 1));
  const auto lines = sent();
  ASSERT_EQ(lines.size(), 16u);
  for (int channel = 0; channel < 16; ++channel) {
    char expected[8];
    std::snprintf(expected, sizeof expected, "C%X 00", channel);
    EXPECT_EQ(lines[channel].bytes, expected);
    EXPECT_EQ(lines[channel].port, 'B');
  }
}

TEST_F(EmulationOnEngine, APatchLineMapsEveryMelodicProgram) {
  const auto store = storeWith("[Map19]\nPatchMap=PM\n[PM]\n*:*:*=*:0:19\n");
  applyCommandSection(*output_, *store, "Map19");
  EXPECT_EQ(+output_->settings()->patchMapCount, 1);
  output_->sendFiltered(0, 0x0005C0);
  output_->sendFiltered(0, 0x0042C3);
  const auto lines = sent();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].bytes, "B0 00 00");
  EXPECT_EQ(lines[1].bytes, "C0 13");
  EXPECT_EQ(lines[2].bytes, "B3 00 00");
  EXPECT_EQ(lines[3].bytes, "C3 13");
}

TEST_F(EmulationOnEngine, SectionsSetFlagsChannelMapAndTheirBaseFirst) {
  const auto store = storeWith(
      "[midimessage]\nHello=$F0 $7D $F7\n[Base]\nMIDI_A=M:Hello\nDisableExclusive=0\n"
      "[Top]\nBaseSection=Base\nMIDI_A=$FE\nDisableExclusive=1\nMapSelect=3\nCHA-02=B-07\nCHC-15=x-01\n");
  applyCommandSection(*output_, *store, "Top");
  const auto& settings = *output_->settings();
  EXPECT_EQ(settings.disableExclusive, 1);
  EXPECT_EQ(settings.mapSelect, 3);
  EXPECT_EQ(settings.channelMap[0][2][0], 1);
  EXPECT_EQ(settings.channelMap[0][2][1], 7);
  EXPECT_EQ(settings.channelMap[2][15][0], 2);  // untouched by a bad value
  const auto lines = sent();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].bytes, "F0 7D F7");
  EXPECT_EQ(lines[1].bytes, "FE");
}

TEST_F(EmulationOnEngine, ASectionThatIsItsOwnBaseEndsAtTheNestingLimit) {
  const auto store = storeWith("[Self]\nBaseSection=Self\nMIDI_B=$FE\n");
  applyCommandSection(*output_, *store, "Self");
  EXPECT_EQ(sent().size(), 8u);
}

TEST_F(EmulationOnEngine, AGsSongOnAnSc55ResolvesThroughTheAliasesAndSendsTheGsReset) {
  TINICritical store;
  loadBuiltInDefinitions(store);
  EXPECT_EQ(resolveConversion(store, "SC-55", "GS"), "GSInit");
  EXPECT_TRUE(sendModuleGreeting(*output_, store, "SC-55", "GS", "NONE"));
  const auto lines = sent();
  const auto reset = test::findLine(lines, "F0 41 10 42 12 40 00 7F 00 41 F7");
  const auto greeting = test::findLine(lines, "F0 41 10 45 12 10 00 00 56 4F 4C 54 41 3A 47 53");  // "VOLTA:GS"
  EXPECT_LT(reset, greeting);
  EXPECT_FALSE(sendModuleGreeting(*output_, store, "SC-55", "NoSuchModule", "NONE"));
}

}  // namespace
}  // namespace volta::core
