#include "tests/player/shell/wrd/wrd_window_fixture.h"

namespace volta::shell::test {

std::shared_ptr<const wrd::UnifontFace> solidFace() {
  static const auto face = wrd::UnifontFace::parse("0041:" + std::string(32, 'F') + "\n");
  return face;
}

WrdWindowTest::WrdWindowTest() : window(nullptr, solidFace()) {
  platform::installClock(&clock);
  window.resize(640, 400);
}

WrdWindowTest::~WrdWindowTest() {
  platform::installClock(nullptr);
}

QImage WrdWindowTest::painted() {
  return window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

void WrdWindowTest::defaultPalette() {
  window.initialisePalette(false);
  window.expireStatusLabel();
}

void WrdWindowTest::bluePage() {
  defaultPalette();
  wrd::Screen& screen = window.interpreter().screen();
  screen.glineCommand(0, 0, 639, 399, 1, 2, 1);
  screen.flushScreen(1);
}

}  // namespace volta::shell::test
