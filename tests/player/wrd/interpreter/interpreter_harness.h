#pragma once
// Drives the WRD interpreter as the player does: a song of 4/4 measures at time base 48,
// positions handed to Process until it waits.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "player/wrd/interpreter.h"
#include "tests/support/test_support.h"

namespace volta::wrd::test {

inline constexpr int kTimebase = 48;
inline constexpr int kTicksPerMeasure = 4 * kTimebase;

// A face whose printable ASCII characters are solid 8x16 blocks.
std::shared_ptr<const UnifontFace> blockFace();

class InterpreterTest : public ::testing::Test {
 protected:
  InterpreterTest();

  // Writes `text` as NAME in the temporary folder, opens it with the song's measure table
  // and resets the interpreter.
  void open(const std::string& text, const std::string& name = "SONG.WRD");
  // Process until it waits, at `tick` of the song; false when it never waits.
  bool runTo(std::uint32_t tick, bool noDisplay = false);
  // Process calls at every tick from the current one up to `tick`.
  void playTo(std::uint32_t tick);
  static SongPosition positionAt(std::uint32_t tick);

  bool cellDrawn(int column, int row) const;
  std::vector<std::uint8_t> composite() const;
  std::string readLog() const;

  ::volta::test::TempDir dir;
  std::vector<std::uint32_t> measureTable;
  WrdInterpreter wrd;
  std::uint32_t songTick = 0;
};

}  // namespace volta::wrd::test
