#pragma once
// The dot-matrix canvas of the LCD pane: a 16-character title over 16 x 16 dots that
// show either the picture a song sends to its module or one level bar per part.
// Every change reports the dots it changed, so the view repaints only those.

#include <array>
#include <bitset>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "engine/protocol/records.h"
#include "player/monitor/liquid_text.h"

namespace volta::monitor {

inline constexpr int kCanvasWidth = 136;
inline constexpr int kCanvasHeight = 75;
inline constexpr int kDotColumns = 16;
inline constexpr int kDotCount = kDotColumns * kDotColumns;
inline constexpr int kMeteredChannels = 32;  // ports A and B
inline constexpr std::string_view kCanvasTitle = "- VOLTA Canvas -";

// Where a dot is drawn, and the slightly larger rectangle its repaint covers.
PanelRect dotRect(int column, int row);
PanelRect dotRepaintRect(int column, int row);
inline constexpr PanelRect kTitleRect{1, 2, 130, 18};

using DotIndices = std::vector<int>;  // row * 16 + column

class LcdCanvas {
 public:
  LcdCanvas();

  const std::array<char, 16>& title() const { return title_; }
  bool dot(int column, int row) const { return dots_[static_cast<std::size_t>(row * kDotColumns + column)]; }
  bool dotImageShown() const { return imageShown_; }
  int meterMode() const { return meterMode_; }
  int level(int channel) const { return meters_[static_cast<std::size_t>(channel)].level; }

  // A shorter title is padded with spaces; true when the 16 characters changed.
  bool setTitle(std::string_view title);
  // The song's picture: one byte per dot, non-zero lit.
  DotIndices showDots(std::span<const std::uint8_t, kDotCount> dots);
  // Copies the module's panel: its text as the title, and its dots while they are shown.
  DotIndices follow(const protocol::PanelImage& panel, bool& titleChanged);
  void setMeterMode(int mode) { meterMode_ = mode == 1 ? 1 : 0; }

  // One meter step from the channel records of ports A and B (null: no song open)
  // and the part table; draws the bars unless a picture is shown.
  DotIndices updateMeters(const protocol::ChannelState* channels, const protocol::OutputStatus& output);

  // Back to the idle picture: every dot lit, the initial title, meters at rest.
  void reset();

  // The canvas in palette indices (background 1, lit dots 2, unlit dots 3), for tests
  // and for views that blit it; the title is left to the view's font.
  std::vector<std::uint8_t> dotPixels() const;

 private:
  struct Meter {
    std::uint16_t counter = 0;
    int level = 0, target = 0;
  };
  void stepMeter(Meter& meter, const protocol::ChannelState& channel);
  int shownLevel(const protocol::ChannelState* channels, const protocol::PartTableEntry& part) const;
  DotIndices apply(const std::bitset<kDotCount>& dots);

  std::array<char, 16> title_{};
  std::bitset<kDotCount> dots_;
  std::array<Meter, kMeteredChannels> meters_{};
  int meterMode_ = 0;
  bool imageShown_ = false;
};

}  // namespace volta::monitor
