// Real MIDI wiring through a private JACK server with the dummy backend: what an
// output device sends arrives, byte for byte, at this project's own input devices.

#include <gtest/gtest.h>
#include <rtmidi/RtMidi.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <future>

#include "platform/midi/audio_systems.h"
#include "platform/midi/input_device.h"
#include "platform/midi/output_device.h"
#include "platform/midi/rtmidi_devices.h"
#include "platform/midi/software_synth.h"
#include "platform/midi/trace_device.h"
#include "tests/platform/midi/jack_server.h"
#include "tests/platform/midi/midi_test_support.h"

namespace volta::platform::midi {
namespace {

using Bytes = std::vector<std::uint8_t>;

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The list entry whose name ends with tail; the index is kNoDevice when none does.
template <class Entry>
std::pair<std::uint32_t, Entry> entryEndingWith(const std::vector<Entry>& list, const std::string& tail) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (endsWith(list[i].name, tail)) return {static_cast<std::uint32_t>(i), list[i]};
  }
  return {kNoDevice, Entry{}};
}

std::string uniquePortName(const std::string& what) {
  return what + "-" + std::to_string(getpid());
}

class JackWiringTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server = new test::JackServer();
    if (!server->start()) failure = server->why();
  }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }
  void SetUp() override {
    if (!failure.empty()) GTEST_SKIP() << "no JACK server for the wiring tests: " << failure;
  }

  // A port of our own that the output devices can be pointed at.
  std::unique_ptr<InputDevice> listen(const std::string& portName, test::Receiver& receiver) {
    auto input = openVirtualInput(MidiSystem::Jack, portName, receiver.callback());
    EXPECT_TRUE(input) << "the virtual input " << portName << " did not open";
    return input;
  }

  static std::unique_ptr<OutputDevice> openOutputEndingWith(const std::string& tail, int port) {
    const auto id = entryEndingWith(enumerateOutputDevices(), ":" + tail).first;
    EXPECT_NE(id, kNoDevice) << tail << " is not in the output list";
    return openOutputDevice(id, port);
  }

  static inline test::JackServer* server = nullptr;
  static inline std::string failure;
};

Bytes gsReset() {
  return {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
}

Bytes longExclusive(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(i % 128);
  bytes.front() = 0xF0;
  bytes.back() = 0xF7;
  return bytes;
}

TEST_F(JackWiringTest, WhatAnOutputSendsArrivesExactlyAndInOrder) {
  test::Receiver receiver;
  const auto portName = uniquePortName("exact");
  auto input = listen(portName, receiver);
  ASSERT_TRUE(input);
  auto output = openOutputEndingWith(portName, 0);
  ASSERT_TRUE(output);

  Bytes expected;
  auto sendShort = [&](std::uint32_t message, std::size_t length) {
    EXPECT_EQ(output->sendShort(message), SendResult::Ok);
    for (std::size_t i = 0; i < length; ++i)
      expected.push_back(static_cast<std::uint8_t>(message >> (8 * i)));
  };
  auto sendLong = [&](const Bytes& bytes) {
    EXPECT_EQ(output->sendLong(bytes.data(), bytes.size()), SendResult::Ok);
    expected.insert(expected.end(), bytes.begin(), bytes.end());
  };
  sendShort(0x403C90, 3);
  sendShort(0x05C1, 2);  // program change: two bytes on the wire
  sendLong({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7});
  for (std::uint8_t byte : gsReset())
    sendLong({byte});  // a template's text goes byte by byte
  sendLong(longExclusive(10000));
  sendShort(0x4000E0, 3);
  sendShort(0x003C80, 3);

  EXPECT_EQ(receiver.waitForBytes(expected.size()), expected);
  EXPECT_LE(receiver.largestPiece(), kInputBufferSize);
}

TEST_F(JackWiringTest, InputDevicesListOtherProgramsPortsAndHearThem) {
  test::Receiver sink, tap;
  const auto portName = uniquePortName("tap");
  auto input = listen(portName, sink);
  ASSERT_TRUE(input);
  auto output = openOutputEndingWith(portName, 1);
  ASSERT_TRUE(output);

  // Our output client's port B is a source that input devices can listen to.
  const auto inputs = enumerateInputDevices();
  const auto [id, entry] = entryEndingWith(inputs, ":Port B");
  ASSERT_NE(id, kNoDevice);
  EXPECT_EQ(findInputDevice(entry.name), id);
  auto listener = openInputDevice(id, tap.callback());
  ASSERT_TRUE(listener);

  const Bytes exclusive{0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};
  output->sendShort(0x7F4591);
  output->sendLong(exclusive.data(), exclusive.size());
  const Bytes expected{0x91, 0x45, 0x7F, 0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};
  EXPECT_EQ(tap.waitForBytes(expected.size()), expected);
  EXPECT_EQ(tap.kinds(), (std::vector{InputMessage::Kind::Short, InputMessage::Kind::Exclusive}));
  EXPECT_EQ(sink.waitForBytes(expected.size()), expected);
}

TEST_F(JackWiringTest, PortsAppearAtTheNextEnumerationAndVanishedOnesDoNotOpen) {
  test::Receiver receiver;
  const auto portName = uniquePortName("later");
  EXPECT_EQ(entryEndingWith(enumerateOutputDevices(), ":" + portName).first, kNoDevice);
  auto input = listen(portName, receiver);
  ASSERT_TRUE(input);
  const auto [id, entry] = entryEndingWith(enumerateOutputDevices(), ":" + portName);
  ASSERT_NE(id, kNoDevice);
  EXPECT_EQ(entry.kind, DeviceKind::Hardware);
  EXPECT_EQ(findOutputDevice(entry.name), id);

  input.reset();
  EXPECT_EQ(entry.open(0), nullptr);
  EXPECT_EQ(findOutputDevice(entry.name), kNoDevice);
}

TEST_F(JackWiringTest, AnInputWhoseSourceVanishedDoesNotOpen) {
  test::Receiver receiver;
  const auto portName = uniquePortName("source");
  auto input = listen(portName, receiver);
  ASSERT_TRUE(input);
  auto output = openOutputEndingWith(portName, 2);
  ASSERT_TRUE(output);
  const auto entry = entryEndingWith(enumerateInputDevices(), ":Port C").second;
  ASSERT_FALSE(entry.name.empty());
  output.reset();
  EXPECT_EQ(entry.open(receiver.callback()), nullptr);
}

TEST_F(JackWiringTest, TheListKeepsItsOrderTraceSynthesizerThenPorts) {
  test::Receiver receiver;
  auto input = listen(uniquePortName("order"), receiver);
  ASSERT_TRUE(input);
  setenv(kTraceEnvironmentVariable, "/dev/null", 1);
  const auto list = enumerateOutputDevices();
  unsetenv(kTraceEnvironmentVariable);
  ASSERT_GE(list.size(), 3u);
  EXPECT_EQ(list[0].name, "Trace");
  EXPECT_EQ(list[1].name, kSoftwareSynthName);
  EXPECT_EQ(list[1].kind, DeviceKind::SoftwareSynth);
  for (std::size_t i = 2; i < list.size(); ++i)
    EXPECT_EQ(list[i].kind, DeviceKind::Hardware) << list[i].name;
}

// The lists are read without RtMidi, but a name listed must be one RtMidi opens.
TEST_F(JackWiringTest, TheListedPortsAreRtMidisOwn) {
  test::Receiver receiver;
  auto first = listen(uniquePortName("listed-a"), receiver);
  auto second = listen(uniquePortName("listed-b"), receiver);
  ASSERT_TRUE(first && second);
  const auto names = [](auto& rtMidi) {
    std::vector<std::string> list;
    for (unsigned i = 0; i < rtMidi.getPortCount(); ++i)
      list.push_back(rtMidi.getPortName(i));
    return list;
  };
  RtMidiOut out(RtMidi::UNIX_JACK, "listing");
  EXPECT_EQ(jackMidiPorts(true), names(out));
  RtMidiIn in(RtMidi::UNIX_JACK, "listing");
  EXPECT_EQ(jackMidiPorts(false), names(in));
  EXPECT_GE(jackMidiPorts(true).size(), 2u);
}

TEST_F(JackWiringTest, TheSoftwareSynthesizerFindsAnAudioOutput) {
  // The JACK server is an audio output too, so the synthesizer opens for sure.
  auto synth = openOutputDevice(findOutputDevice(kSoftwareSynthName), 0);
  ASSERT_TRUE(synth) << softwareSynthError();
  EXPECT_EQ(softwareSynthError(), "");
  EXPECT_EQ(synth->sendShort(0x6407B0), SendResult::Ok);  // a volume change: nothing audible on a real machine
  synth->reset();
}

// Without /dev/snd and without a JACK server nothing is found, quickly and quietly.
TEST(MidiDevicesWithoutServers, EnumerationNeitherThrowsNorHangs) {
  test::useAbsentJackServer();
  setenv(kTraceEnvironmentVariable, "/dev/null", 1);
  auto pending =
      std::async(std::launch::async, [] { return std::pair(enumerateOutputDevices(), enumerateInputDevices()); });
  ASSERT_EQ(pending.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  unsetenv(kTraceEnvironmentVariable);
  std::vector<OutputDeviceEntry> outputs;
  std::vector<InputDeviceEntry> inputs;
  ASSERT_NO_THROW(std::tie(outputs, inputs) = pending.get());
  ASSERT_GE(outputs.size(), 1u);
  EXPECT_EQ(outputs[0].name, "Trace");
  const bool synthesizer = !findSoundFont().empty();
  if (synthesizer) {
    ASSERT_GE(outputs.size(), 2u);
    EXPECT_EQ(outputs[1].name, kSoftwareSynthName);
  }
  if (!alsaSequencerPresent()) {
    EXPECT_EQ(outputs.size(), synthesizer ? 2u : 1u);
    EXPECT_TRUE(inputs.empty());
  }
  EXPECT_EQ(openOutputDevice(static_cast<std::uint32_t>(outputs.size()), 0), nullptr);
  EXPECT_EQ(openInputDevice(static_cast<std::uint32_t>(inputs.size()), [](const InputMessage&) {}), nullptr);
  EXPECT_EQ(openVirtualInput(MidiSystem::Jack, "nobody", [](const InputMessage&) {}), nullptr);
}

}  // namespace
}  // namespace volta::platform::midi
