#pragma once
// A WRD window on a tiny face ('A' is a solid 8x16 block), with helpers that draw on its
// screen and read the pixels it paints.

#include <gtest/gtest.h>

#include <QImage>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "player/shell/wrd/wrd_window.h"

namespace volta::shell::test {

inline constexpr QRgb kBlack = 0xFF000000u;
inline constexpr QRgb kWhite = 0xFFFFFFFFu;
inline constexpr QRgb kBlue = 0xFF0000FFu;

std::shared_ptr<const wrd::UnifontFace> solidFace();

class WrdWindowTest : public ::testing::Test {
 protected:
  WrdWindowTest();
  ~WrdWindowTest() override;

  // The window's client area as painted.
  QImage painted();
  QRgb pixel(int x, int y) { return painted().pixel(x, y); }
  // The default palette in bank 0, without the label that says so.
  void defaultPalette();
  // Graphics page 0 filled with colour 1 (blue) over the whole 640x400 area.
  void bluePage();

  platform::ManualClock clock;
  TWRDWindow window;
};

}  // namespace volta::shell::test
