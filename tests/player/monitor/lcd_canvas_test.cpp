#include "player/monitor/lcd_canvas.h"

#include <gtest/gtest.h>

#include <cstring>

namespace volta::monitor {
namespace {

struct Output {
  protocol::ChannelState channels[2][16]{};
  protocol::OutputStatus status{};
  Output() {
    for (int part = 0; part < 16; ++part) {
      status.partTable[0][part] = {static_cast<std::uint8_t>(part), 0};
      status.partTable[1][part] = {static_cast<std::uint8_t>(part), 1};
    }
    for (auto& port : channels)
      for (auto& c : port) {
        c.volume = 128 - 1;
        c.expression = 127;
      }
  }
  protocol::ChannelState& channel(int port, int ch) { return channels[port][ch]; }
  DotIndices step(LcdCanvas& canvas) { return canvas.updateMeters(&channels[0][0], status); }
};

int litInColumn(const LcdCanvas& canvas, int column, int fromRow, int toRow) {
  int lit = 0;
  for (int row = fromRow; row <= toRow; ++row)
    lit += canvas.dot(column, row) ? 1 : 0;
  return lit;
}

TEST(LcdCanvas, StartsWithTheTitleAndEveryDotLit) {
  LcdCanvas canvas;
  EXPECT_EQ(std::string(canvas.title().data(), 16), "- VOLTA Canvas -");
  EXPECT_TRUE(canvas.dot(0, 0));
  EXPECT_TRUE(canvas.dot(15, 15));
}

TEST(LcdCanvas, ShortTitlesArePaddedAndComparedAsSixteenBytes) {
  LcdCanvas canvas;
  EXPECT_TRUE(canvas.setTitle("Hello"));
  EXPECT_EQ(std::string(canvas.title().data(), 16), "Hello           ");
  EXPECT_FALSE(canvas.setTitle("Hello           "));
}

TEST(LcdCanvas, OnlyChangedDotsAreReportedAndPainted) {
  LcdCanvas canvas;
  std::array<std::uint8_t, kDotCount> dots;
  dots.fill(1);
  EXPECT_TRUE(canvas.showDots(dots).empty());
  dots[17] = 0;
  EXPECT_EQ(canvas.showDots(dots), DotIndices{17});
  EXPECT_TRUE(canvas.showDots(dots).empty());
  const std::vector<std::uint8_t> pixels = canvas.dotPixels();
  const PanelRect off = dotRect(1, 1), on = dotRect(0, 0);
  EXPECT_EQ(pixels[static_cast<std::size_t>(off.top * kCanvasWidth + off.left)], 3);
  EXPECT_EQ(pixels[static_cast<std::size_t>(on.top * kCanvasWidth + on.left)], 2);
  EXPECT_EQ(pixels[static_cast<std::size_t>((on.bottom) * kCanvasWidth + on.left)], 1);  // the gap
  EXPECT_EQ(dotRepaintRect(1, 1), (PanelRect{10, 22, 18, 25}));
}

TEST(LcdCanvas, PanelImageGivesTitleAndDotsWhileShown) {
  LcdCanvas canvas;
  protocol::PanelImage panel{};
  std::memcpy(panel.text, "GS Text Message!", 16);
  panel.dotShown = 1;
  panel.dots[0] = 1;
  bool titleChanged = false;
  EXPECT_EQ(canvas.follow(panel, titleChanged).size(), 255u);
  EXPECT_TRUE(titleChanged);
  EXPECT_TRUE(canvas.dotImageShown());
  Output output;
  EXPECT_TRUE(output.step(canvas).empty());  // meters stay hidden under the picture
  panel.dotShown = 0;
  canvas.follow(panel, titleChanged);
  EXPECT_FALSE(titleChanged);
  EXPECT_FALSE(output.step(canvas).empty());
}

TEST(LcdMeters, RhythmPartJumpsTo110AndFallsByTen) {
  LcdCanvas canvas;
  Output output;
  protocol::ChannelState& drums = output.channel(0, 9);
  drums.rhythm = 1;
  drums.noteOnCounter = 1;
  drums.soundingCount = 1;
  output.step(canvas);
  EXPECT_EQ(canvas.level(9), 110);
  drums.soundingCount = 0;
  output.step(canvas);
  EXPECT_EQ(canvas.level(9), 100);
  output.step(canvas);
  EXPECT_EQ(canvas.level(9), 90);
  drums.noteOnCounter = 2;
  output.step(canvas);
  EXPECT_EQ(canvas.level(9), 110);
}

TEST(LcdMeters, MelodicPartRisesBy56TowardsTheVelocity) {
  LcdCanvas canvas;
  Output output;
  protocol::ChannelState& piano = output.channel(1, 0);
  piano.noteOnCounter = 1;
  piano.soundingCount = 1;
  piano.velocities[3] = 100;
  output.step(canvas);
  EXPECT_EQ(canvas.level(16), 0);
  output.step(canvas);
  EXPECT_EQ(canvas.level(16), 56);
  output.step(canvas);
  EXPECT_EQ(canvas.level(16), 100);
  output.step(canvas);
  EXPECT_EQ(canvas.level(16), 100);
}

TEST(LcdMeters, ModeZeroDrawsTwoRowsOfEightModeOneSixteen) {
  LcdCanvas canvas;
  Output output;
  output.channel(0, 0).rhythm = 1;
  output.channel(0, 0).noteOnCounter = 1;
  output.channel(1, 2).rhythm = 1;
  output.channel(1, 2).noteOnCounter = 1;
  output.step(canvas);
  // Shown value 110 * 127 * 127 / 16384 = 108: dots 0..5 of the short scale.
  EXPECT_EQ(litInColumn(canvas, 0, 8, 15), 6);
  EXPECT_EQ(litInColumn(canvas, 0, 0, 7), 1);  // part 17 is silent: only its bottom dot
  EXPECT_EQ(litInColumn(canvas, 2, 0, 7), 6);
  EXPECT_EQ(litInColumn(canvas, 5, 8, 15), 1);
  canvas.setMeterMode(1);
  output.step(canvas);  // 98 now: thresholds up to 95 pass
  EXPECT_EQ(litInColumn(canvas, 0, 0, 15), 10);
  EXPECT_EQ(litInColumn(canvas, 2, 0, 15), 1);  // port B parts are not drawn in the tall mode
}

TEST(LcdMeters, NoSongMeansEveryLevelZero) {
  LcdCanvas canvas;
  Output output;
  output.channel(0, 9).rhythm = 1;
  output.channel(0, 9).noteOnCounter = 1;
  output.step(canvas);
  canvas.updateMeters(nullptr, output.status);
  EXPECT_EQ(canvas.level(9), 0);
  EXPECT_EQ(litInColumn(canvas, 9, 0, 15), 2);
}

TEST(LcdMeters, PartTableEntriesForPortCOrBadChannelsDrawNothing) {
  LcdCanvas canvas;
  Output output;
  output.status.partTable[0][0] = {0xFF, 2};
  output.step(canvas);
  EXPECT_EQ(litInColumn(canvas, 0, 8, 15), 1);
}

}  // namespace
}  // namespace volta::monitor
