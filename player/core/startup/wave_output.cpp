#include "player/core/startup/wave_output.h"

#include "platform/wave/wave_device.h"

namespace volta::core {

namespace {

class DeviceWave : public WavePlayer {
 public:
  explicit DeviceWave(std::unique_ptr<platform::wave::WaveDevice> device) : device_(std::move(device)) {}
  bool cue(std::uint32_t ms) override { return device_->cue(ms); }
  bool play() override { return device_->resume(); }
  void pause() override { device_->pause(); }
  std::uint32_t positionMs() const override { return device_->positionMs(); }
  std::uint32_t lengthMs() const override { return device_->lengthMs(); }
  bool playing() const override { return device_->playing(); }

 private:
  std::unique_ptr<platform::wave::WaveDevice> device_;
};

}  // namespace

std::unique_ptr<WavePlayer> openWaveOutput(const std::filesystem::path& file, std::string& error) {
  auto device = platform::wave::WaveDevice::open(file, error);
  if (!device) return nullptr;
  return std::make_unique<DeviceWave>(std::move(device));
}

}  // namespace volta::core
