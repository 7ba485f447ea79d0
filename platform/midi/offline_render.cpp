#include "platform/midi/offline_render.h"

#include <algorithm>

namespace volta::platform::midi {

std::unique_ptr<OfflineRender> OfflineRender::open(const std::string& path, std::string& error,
                                                   const OfflineRenderOptions& options) {
  std::unique_ptr<OfflineRender> render(new OfflineRender(options));
  render->options_.periodMs = std::max<std::uint32_t>(options.periodMs, 1);
  installClock(&render->clock_);
  installTimerService(&render->timers_);
  render->wav_ = WavRenderer::open(path, error, options.soundFont);
  if (!render->wav_) return nullptr;  // the destructor restores the clock and timers
  return render;
}

OfflineRender::~OfflineRender() {
  wav_.reset();
  installTimerService(nullptr);
  installClock(nullptr);
}

bool OfflineRender::run(const std::function<bool()>& finished) {
  std::uint64_t elapsedMs = 0;
  bool ended = true;
  while (!finished()) {
    if (elapsedMs >= options_.limitMs) {
      ended = false;
      break;
    }
    timers_.advanceMilliseconds(options_.periodMs);
    wav_->renderToNow();
    elapsedMs += options_.periodMs;
  }
  wav_->renderMilliseconds(options_.tailMs);
  return ended;
}

bool OfflineRender::finish() {
  return wav_->finish();
}

}  // namespace volta::platform::midi
