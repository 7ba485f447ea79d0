// Songs hand the output arbitrary exclusives and channel messages. The input is a
// settings header followed by a stream of operations on one output whose ports
// discard what they are sent:
//   header: 8 bytes of switches (exclusive and bank settings, emulations, pacing)
//   0 port m0 m1 m2        filtered channel message
//   1 port nLo nHi bytes   exclusive through the recognising path
//   2 period               flush
//   3 ms                   panel clock (ms x 10)
//   4 port mode            port reset
//   5 value                master volume / transposition / pause, by value's low bits

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/midi_output.h"
#include "platform/midi/output_device.h"
#include "platform/midi/trace_device.h"

namespace {

using volta::engine::MidiOutput;

struct NullBackend final : volta::platform::midi::OutputBackend {
  void enumerate(std::vector<volta::platform::midi::OutputDeviceEntry>& list) override {
    list.push_back({"Fuzz null", volta::platform::midi::DeviceKind::SoftwareSynth,
                    [](int) { return volta::platform::midi::openNullDevice(); }});
  }
};

std::uint32_t nullDevice() {
  static const std::uint32_t id = [] {
    volta::platform::midi::registerOutputBackend(std::make_shared<NullBackend>());
    return volta::platform::midi::findOutputDevice("Fuzz null");
  }();
  return id;
}

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return at_ >= size_; }
  std::size_t left() const { return size_ - at_; }
  std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
  const std::uint8_t* take(std::size_t count) {
    const std::uint8_t* start = data_ + at_;
    at_ += count;
    return start;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

void applySettings(MidiOutput& output, Reader& in) {
  auto& s = output.shared()->settings;
  s.disableExclusive = in.byte() & 1;
  s.defaultBankSelectLSB = in.byte() & 0x7F;
  const std::uint8_t bankBits = in.byte();
  s.disableBankSelectLSB = bankBits & 1;
  s.disableBankSelectMSB = bankBits & 2;
  s.disableResetExclusive = bankBits & 4;
  s.pro88Setting = bankBits & 8;
  s.mapSelect = in.byte() & 0x7F;
  const std::uint8_t emulation = in.byte();
  s.gsToGMEmu = emulation & 1;
  s.xgToGMEmu = emulation & 2;
  s.gsToXGEmu = emulation & 4;
  s.xgToGSEmu = emulation & 8;
  // A few map entries from the input, and counts that may exceed the tables.
  s.patchMap[0] = {{in.byte(), in.byte(), in.byte(), in.byte()}, {in.byte(), in.byte(), in.byte(), in.byte()}};
  s.patchMapCount = static_cast<std::uint16_t>(in.byte() << 4);
  s.noteMapCount = static_cast<std::uint16_t>(in.byte() << 4);
  output.setOptions(emulation & 0x10, emulation & 0x20);
}

void runOperation(MidiOutput& output, Reader& in) {
  switch (in.byte() % 6) {
    case 0: {
      const int port = in.byte() % 4;
      const std::uint32_t message = in.byte() | in.byte() << 8 | in.byte() << 16;
      output.sendFiltered(port, message);
      break;
    }
    case 1: {
      const int port = in.byte() % 4;
      const std::size_t count = std::min<std::size_t>(in.byte() | in.byte() << 8, in.left());
      output.sendExclusive(port, in.take(count), count);
      break;
    }
    case 2:
      output.flush(in.byte() % 16);
      break;
    case 3:
      output.panelClock(in.byte() * 10u);
      break;
    case 4: {
      const int port = in.byte() % 4;
      output.resetPort(port, in.byte() % 3);
      break;
    }
    default: {
      const std::uint8_t value = in.byte();
      if (value & 0x80)
        output.setMasterVolume(value & 0x7F);
      else if (value & 0x40)
        output.setTransposition((value & 0x3F) - 32);
      else
        output.queuePause(value % 4);
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint32_t device = nullDevice();
  const std::uint32_t devices[3] = {device, device, volta::platform::midi::kNoDevice};
  MidiOutput* output = MidiOutput::open(devices, 3);
  if (!output) return 0;
  Reader in(data, size);
  applySettings(*output, in);
  while (!in.empty())
    runOperation(*output, in);
  output->flush(0);
  MidiOutput::close(output);
  return 0;
}
