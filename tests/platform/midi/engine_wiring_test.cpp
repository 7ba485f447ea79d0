// The engine on real devices: its output reaches a JACK input byte for byte, and a
// song played on a manual clock renders to a WAV file through the synthesizer.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstddef>
#include <numeric>

#include "platform/midi/offline_render.h"
#include "platform/midi/rtmidi_devices.h"
#include "platform/midi/software_synth.h"
#include "platform/midi/wav_renderer.h"
#include "tests/engine/sequencer/sequencer_harness.h"
#include "tests/platform/midi/jack_server.h"
#include "tests/platform/midi/midi_test_support.h"
#include "tests/platform/midi/wav_reader.h"
#include "tests/support/test_support.h"

namespace volta::platform::midi {
namespace {

using Bytes = std::vector<std::uint8_t>;
using volta::test::SequencerHarness;

// Opens an engine output with one device on port A; returns its handle.
std::uint32_t openOutput(SequencerHarness& engine, std::uint32_t device) {
  auto& open = engine.command<protocol::OpenOutputCommand>(protocol::kOpenOutput);
  open.portCount = 1;
  for (int i = 0; i < 8; ++i)
    open.devices[i] = i == 0 ? device : kNoDevice;  // a packed record: no references
  EXPECT_EQ(engine.run(), 1u);
  return engine.reply<protocol::OpenOutputCommand>().header.handle;
}

// The greeting the engine shows on a module's display when its output opens.
Bytes welcome() {
  const std::string text = "Welcome to VOLTA Player";
  Bytes bytes{0xF0, 0x41, 0x10, 0x45, 0x12, 0x10, 0x00, 0x00};
  for (char c : text)
    bytes.push_back(static_cast<std::uint8_t>(c));
  const unsigned sum = std::accumulate(bytes.begin() + 5, bytes.end(), 0u);
  bytes.push_back(static_cast<std::uint8_t>((128 - sum % 128) % 128));
  bytes.push_back(0xF7);
  return bytes;
}

TEST(EngineOnJack, PortAReachesAJackInputExactlyExclusivesIncluded) {
  test::JackServer server;
  if (!server.start()) GTEST_SKIP() << "no JACK server for the wiring test: " << server.why();
  test::Receiver receiver;
  const std::string portName = "engine-" + std::to_string(getpid());
  auto input = openVirtualInput(MidiSystem::Jack, portName, receiver.callback());
  ASSERT_TRUE(input);
  const auto list = enumerateOutputDevices();
  const auto it =
      std::find_if(list.begin(), list.end(), [&](const auto& e) { return e.name.ends_with(":" + portName); });
  ASSERT_NE(it, list.end());

  SequencerHarness engine;
  const std::uint32_t output = openOutput(engine, static_cast<std::uint32_t>(it - list.begin()));
  Bytes expected = welcome();
  auto sendShort = [&](std::uint32_t message, std::size_t length) {
    auto& c = engine.command<protocol::SendShortCommand>(protocol::kSendShortFiltered, output);
    c.port = 0;
    c.message = message;
    engine.run();
    for (std::size_t i = 0; i < length; ++i)
      expected.push_back(static_cast<std::uint8_t>(message >> (8 * i)));
  };
  auto sendExclusive = [&](const Bytes& bytes) {
    auto& c = engine.command<protocol::SendExclusiveCommand>(protocol::kSendExclusive, output);
    c.port = 0;
    c.count = static_cast<std::uint16_t>(bytes.size());
    // The bytes follow the record's fixed part in the command block.
    std::memcpy(reinterpret_cast<std::uint8_t*>(&c) + offsetof(protocol::SendExclusiveCommand, bytes), bytes.data(),
                bytes.size());
    engine.run();
    engine.simple(protocol::kFlush, output);
    expected.insert(expected.end(), bytes.begin(), bytes.end());
  };
  sendShort(0x403C90, 3);
  sendExclusive({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7});
  sendShort(0x0AC3, 2);
  Bytes dump(3000, 0x55);
  dump.front() = 0xF0;
  dump.back() = 0xF7;
  sendExclusive(dump);
  sendShort(0x003C80, 3);  // nothing sounds at close, so the close adds nothing

  EXPECT_EQ(receiver.waitForBytes(expected.size()), expected);
  engine.simple(protocol::kCloseOutput, output);
}

TEST(EngineOnSynthesizer, TheDemoSongRendersToAWavFileThatIsNotSilent) {
  const auto demo = volta::test::sourceDir() / "player" / "resources" / "demo.mid";
  if (!std::filesystem::exists(demo)) GTEST_SKIP() << demo << " is missing";
  if (findSoundFont().empty()) GTEST_SKIP() << "no SoundFont installed";
  volta::test::TempDir dir;
  SequencerHarness engine;  // the command block; the render brings its own clock and timer
  std::string error;
  auto render = OfflineRender::open((dir / "demo.wav").string(), error);
  ASSERT_TRUE(render) << error;
  const std::uint32_t output = openOutput(engine, findOutputDevice(kSoftwareSynthName));
  const std::uint32_t song = engine.open(volta::test::readFile(demo), output);
  ASSERT_NE(song, 0u);
  engine.prepare(song);
  const std::uint32_t lengthMs = engine.scan(song).totalTime / 100;
  engine.seek(song, 0);
  engine.play(song);
  EXPECT_TRUE(render->run([&] { return volta::test::value(engine.status().playing) == 0; }));
  engine.closeSequencer(song);
  engine.simple(protocol::kCloseOutput, output);
  ASSERT_TRUE(render->finish());

  const auto wav = test::readWav(dir / "demo.wav");
  const auto framesOf = [](std::size_t ms) { return ms * WavRenderer::kSampleRate / 1000; };
  EXPECT_GE(wav.frames(), framesOf(lengthMs + 1000));  // the song and its tail
  EXPECT_LE(wav.frames(), framesOf(lengthMs + 3000));
  EXPECT_GT(test::rms(wav, 0, wav.frames()), 0.01);
}

TEST(OfflineRendering, ASongThatNeverEndsStopsAtTheLimit) {
  if (findSoundFont().empty()) GTEST_SKIP() << "no SoundFont installed";
  volta::test::TempDir dir;
  std::string error;
  OfflineRenderOptions options;
  options.limitMs = 200;
  options.tailMs = 50;
  auto render = OfflineRender::open((dir / "endless.wav").string(), error, options);
  ASSERT_TRUE(render) << error;
  int ticks = 0;
  const std::uint32_t timer = timerService().start(
      10, [](std::uint32_t, void* count) { ++*static_cast<int*>(count); }, &ticks);
  EXPECT_FALSE(render->run([] { return false; }));
  timerService().stop(timer);
  EXPECT_EQ(ticks, 20);  // the timer ran on the rendering's own clock
  EXPECT_EQ(render->clock().nowMicroseconds(), 200000u);
  EXPECT_TRUE(render->finish());
  EXPECT_EQ(render->framesRendered(), (200u + 50u) * 441 / 10);  // the steps and the tail
}

}  // namespace
}  // namespace volta::platform::midi
