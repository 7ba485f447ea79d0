// The MIDI THRU input on the engine: messages of an input (a stand-in the test
// plays) go through the router to the output and land in the trace; stopping
// lets the input go.

#include "player/core/midi_thru.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/test_support.h"
#include "tests/support/trace_log.h"

namespace volta::core {
namespace {

namespace midi = platform::midi;

// An input whose messages the test sends; registered once for the whole program.
struct Keyboard {
  midi::InputCallback callback;
  int opened = 0;

  void send(std::uint32_t message) { callback({midi::InputMessage::Kind::Short, message, nullptr, 0, 0}); }
  void send(const std::vector<std::uint8_t>& piece) {
    callback({midi::InputMessage::Kind::Exclusive, 0, piece.data(), piece.size(), 0});
  }
};

constexpr const char* kKeyboardName = "Thru Test Keyboard";

Keyboard& keyboard() {
  static Keyboard instance;
  return instance;
}

class KeyboardBackend : public midi::InputBackend {
 public:
  void enumerate(std::vector<midi::InputDeviceEntry>& list) override {
    list.push_back({kKeyboardName, [](midi::InputCallback callback) -> std::unique_ptr<midi::InputDevice> {
                      struct Open : midi::InputDevice {
                        ~Open() override { keyboard().callback = nullptr; }
                      };
                      keyboard().callback = std::move(callback);
                      ++keyboard().opened;
                      return std::make_unique<Open>();
                    }});
  }
};

std::uint32_t keyboardId() {
  static const bool registered = (midi::registerInputBackend(std::make_shared<KeyboardBackend>()), true);
  (void)registered;
  return midi::findInputDevice(kKeyboardName);
}

class MidiThruOnEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(binding_.loaded());
    const std::array<std::uint32_t, 2> devices{test::traceDeviceFor(trace_), test::traceDeviceFor(trace_)};
    output_ = OutputHandle::open(binding_, devices);
    ASSERT_NE(output_, nullptr);
    thru_ = std::make_unique<MidiThru>(*output_);
  }
  // The trace's lines from the test's input, without the engine's welcome on opening.
  std::vector<std::string> sent() {
    output_->flush();
    std::vector<std::string> lines;
    for (const auto& line : test::readTrace(trace_))
      if (line.bytes.rfind("F0 41 10 45 12 10 00 00 57", 0) != 0) lines.push_back(line.port + (" " + line.bytes));
    return lines;
  }

  test::TempDir dir_;
  std::filesystem::path trace_ = dir_ / "trace.txt";
  EngineBinding binding_{kNativeLibrary, test::binDir()};
  std::unique_ptr<OutputHandle> output_;
  std::unique_ptr<MidiThru> thru_;
};

TEST_F(MidiThruOnEngine, RoutesTheInputsMessagesToTheChosenPortAndChannel) {
  const std::uint32_t id = keyboardId();
  ASSERT_NE(id, midi::kNoDevice);
  const auto names = MidiThru::inputNames();
  EXPECT_NE(std::find(names.begin(), names.end(), kKeyboardName), names.end());
  ASSERT_TRUE(thru_->start(id));
  EXPECT_TRUE(thru_->running());
  keyboard().send(0x407F90);                   // as it comes: port A, channel 1
  thru_->router().setDestination(3 + 16 + 4);  // "B05"
  thru_->router().setVelocity(28);             // "100"
  keyboard().send(0x7F3C92);
  keyboard().send(0xF8);  // not a channel message: not passed on
  keyboard().send({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7});
  EXPECT_EQ(sent(), (std::vector<std::string>{"A 90 7F 40", "B 94 3C 64", "B F0 7E 7F 09 01 F7"}));
}

TEST_F(MidiThruOnEngine, StoppingLetsTheInputGoAndStartingAgainReopensIt) {
  const std::uint32_t id = keyboardId();
  const int opened = keyboard().opened;
  ASSERT_TRUE(thru_->start(id));
  ASSERT_TRUE(thru_->start(id));
  EXPECT_EQ(keyboard().opened, opened + 2);
  thru_->stop();
  EXPECT_FALSE(thru_->running());
  EXPECT_FALSE(keyboard().callback) << "the input is closed";
  EXPECT_FALSE(thru_->start(midi::kNoDevice));
  EXPECT_FALSE(thru_->running());
  EXPECT_TRUE(sent().empty());
}

}  // namespace
}  // namespace volta::core
