#include "player/monitor/lcd_canvas.h"

#include <algorithm>
#include <cstring>

namespace volta::monitor {

namespace {

constexpr int kRhythmLevel = 110;
constexpr int kFall = 10;
constexpr int kRise = 56;
constexpr std::array<int, 8> kShortThresholds = {0, 10, 45, 70, 90, 105, 115, 120};
constexpr std::array<int, 16> kTallThresholds = {0, 1, 15, 30, 45, 60, 75, 82, 89, 95, 101, 107, 112, 116, 119, 122};

void drawBar(std::bitset<kDotCount>& dots, int column, int bottomRow, std::span<const int> thresholds, int value) {
  for (std::size_t k = 0; k < thresholds.size(); ++k)
    if (k == 0 || value >= thresholds[k])
      dots.set(static_cast<std::size_t>((bottomRow - static_cast<int>(k)) * kDotColumns + column));
}

}  // namespace

PanelRect dotRect(int column, int row) {
  return {2 + 8 * column, 19 + 3 * row, 9 + 8 * column, 21 + 3 * row};
}

PanelRect dotRepaintRect(int column, int row) {
  return {2 + 8 * column, 19 + 3 * row, 10 + 8 * column, 22 + 3 * row};
}

LcdCanvas::LcdCanvas() {
  reset();
}

void LcdCanvas::reset() {
  setTitle(kCanvasTitle);
  dots_.set();
  meters_ = {};
  imageShown_ = false;
}

bool LcdCanvas::setTitle(std::string_view title) {
  std::array<char, 16> padded;
  padded.fill(' ');
  std::copy_n(title.begin(), std::min(title.size(), padded.size()), padded.begin());
  if (padded == title_) return false;
  title_ = padded;
  return true;
}

DotIndices LcdCanvas::apply(const std::bitset<kDotCount>& dots) {
  DotIndices changed;
  const std::bitset<kDotCount> flipped = dots ^ dots_;
  for (int i = 0; i < kDotCount; ++i)
    if (flipped[static_cast<std::size_t>(i)]) changed.push_back(i);
  dots_ = dots;
  return changed;
}

DotIndices LcdCanvas::showDots(std::span<const std::uint8_t, kDotCount> dots) {
  std::bitset<kDotCount> lit;
  for (int i = 0; i < kDotCount; ++i)
    lit[static_cast<std::size_t>(i)] = dots[static_cast<std::size_t>(i)] != 0;
  return apply(lit);
}

DotIndices LcdCanvas::follow(const protocol::PanelImage& panel, bool& titleChanged) {
  titleChanged = setTitle(std::string_view(panel.text, sizeof panel.text));
  imageShown_ = panel.dotShown != 0;
  if (!imageShown_) return {};
  return showDots(std::span<const std::uint8_t, kDotCount>(panel.dots, kDotCount));
}

void LcdCanvas::stepMeter(Meter& meter, const protocol::ChannelState& channel) {
  if (channel.noteOnCounter != meter.counter) {
    meter.counter = channel.noteOnCounter;
    if (channel.rhythm != 0) {
      meter.level = kRhythmLevel;
      meter.target = 0;
    } else {
      meter.target = *std::max_element(std::begin(channel.velocities), std::end(channel.velocities));
    }
  } else if (channel.soundingCount == 0) {
    meter.level = std::max(0, meter.level - kFall);
    meter.target = 0;
  } else if (meter.target > 0) {
    meter.level += kRise;
    if (meter.level > meter.target) {
      meter.level = meter.target;
      meter.target = 0;
    }
  }
}

int LcdCanvas::shownLevel(const protocol::ChannelState* channels, const protocol::PartTableEntry& part) const {
  if (!channels || part.port > 1) return 0;
  const int index = part.port * protocol::kChannelsPerPort + (part.channel & 0x0F);
  const protocol::ChannelState& channel = channels[index];
  return meters_[static_cast<std::size_t>(index)].level * channel.volume * channel.expression / 128 / 128;
}

DotIndices LcdCanvas::updateMeters(const protocol::ChannelState* channels, const protocol::OutputStatus& output) {
  for (int i = 0; i < kMeteredChannels; ++i) {
    Meter& meter = meters_[static_cast<std::size_t>(i)];
    if (channels)
      stepMeter(meter, channels[i]);
    else
      meter.level = 0;
  }
  if (imageShown_) return {};
  std::bitset<kDotCount> dots;
  for (int column = 0; column < kDotColumns; ++column) {
    const int lower = shownLevel(channels, output.partTable[0][column]);
    if (meterMode_ == 1) {
      drawBar(dots, column, 15, kTallThresholds, lower);
    } else {
      drawBar(dots, column, 15, kShortThresholds, lower);
      drawBar(dots, column, 7, kShortThresholds, shownLevel(channels, output.partTable[1][column]));
    }
  }
  return apply(dots);
}

std::vector<std::uint8_t> LcdCanvas::dotPixels() const {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kCanvasWidth * kCanvasHeight), 1);
  for (int row = 0; row < kDotColumns; ++row)
    for (int column = 0; column < kDotColumns; ++column) {
      const PanelRect r = dotRect(column, row);
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
          pixels[static_cast<std::size_t>(y * kCanvasWidth + x)] = dot(column, row) ? 2 : 3;
    }
  return pixels;
}

}  // namespace volta::monitor
