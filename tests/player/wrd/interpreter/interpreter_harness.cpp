#include "tests/player/wrd/interpreter/interpreter_harness.h"

#include <cstdio>

namespace volta::wrd::test {

std::shared_ptr<const UnifontFace> blockFace() {
  static const auto face = [] {
    std::string hex;
    for (int c = 0x21; c < 0x7F; ++c) {
      char code[8];
      std::snprintf(code, sizeof code, "%04X:", c);
      hex += code + std::string(32, 'F') + "\n";
    }
    return UnifontFace::parse(hex);
  }();
  return face;
}

InterpreterTest::InterpreterTest() : measureTable(2048), wrd(blockFace()) {
  for (std::size_t m = 0; m < measureTable.size(); ++m)
    measureTable[m] = static_cast<std::uint32_t>(m * kTicksPerMeasure);
  wrd.startDebugLog(dir / "wrd.log");
}

void InterpreterTest::open(const std::string& text, const std::string& name) {
  ::volta::test::writeFile(dir / name, std::vector<std::uint8_t>(text.begin(), text.end()));
  ASSERT_TRUE(wrd.openFile(dir / name, "Title", "Memo", measureTable));
  wrd.reset(kTimebase);
  songTick = 0;
}

SongPosition InterpreterTest::positionAt(std::uint32_t tick) {
  SongPosition p;
  p.measure = static_cast<int>(tick / kTicksPerMeasure);
  p.tickInMeasure = static_cast<int>(tick % kTicksPerMeasure);
  p.absoluteTick = tick;
  return p;
}

bool InterpreterTest::runTo(std::uint32_t tick, bool noDisplay) {
  songTick = tick;
  SongPosition p = positionAt(tick);
  p.liveTick = &songTick;
  for (int i = 0; i < 1'000'000; ++i) {
    if (wrd.process(noDisplay, p)) return true;
  }
  return false;
}

void InterpreterTest::playTo(std::uint32_t tick) {
  for (std::uint32_t t = songTick; t <= tick; ++t)
    ASSERT_TRUE(runTo(t));
}

bool InterpreterTest::cellDrawn(int column, int row) const {
  const Surface& text = wrd.screen().textLayer();
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 8; ++x) {
      if (text.pixel(column * 8 + x, row * 16 + y) != 0) return true;
    }
  }
  return false;
}

std::vector<std::uint8_t> InterpreterTest::composite() const {
  std::vector<std::uint8_t> out;
  for (int y = 0; y < 400; ++y) {
    const std::uint8_t* row = wrd.screen().composite().row(y);
    out.insert(out.end(), row, row + kSurfaceWidth);
  }
  return out;
}

std::string InterpreterTest::readLog() const {
  return ::volta::test::readText(dir / "wrd.log");
}

}  // namespace volta::wrd::test
