// When script lines appear: the startup section, @WAIT, @OFFSET, @REST, @INKEY, @WMODE and
// the catching up after a jump.

#include "tests/player/wrd/interpreter/interpreter_harness.h"

namespace volta::wrd::test {
namespace {

constexpr std::uint32_t M = kTicksPerMeasure;

TEST_F(InterpreterTest, StartupHeaderRunsAtOnceThenOneLinePerMeasure) {
  open("@STARTUP(400);\n@COLOR(34);\n@GCLS(15)\nA\nB\nC\n");
  // The header ends at its first plain line end; the first line follows at the next tick.
  ASSERT_TRUE(runTo(0));
  EXPECT_FALSE(wrd.state().startupSection);
  EXPECT_FALSE(cellDrawn(0, 0));
  ASSERT_TRUE(runTo(0));
  EXPECT_TRUE(cellDrawn(0, 0));
  EXPECT_FALSE(cellDrawn(0, 1));
  EXPECT_EQ(wrd.state().startupValue, 400);
  ASSERT_TRUE(runTo(M - 1));
  EXPECT_FALSE(cellDrawn(0, 1));
  ASSERT_TRUE(runTo(M));
  EXPECT_TRUE(cellDrawn(0, 1));
  EXPECT_FALSE(cellDrawn(0, 2));
  ASSERT_TRUE(runTo(2 * M));
  EXPECT_TRUE(cellDrawn(0, 2));
}

TEST_F(InterpreterTest, ScriptWithoutStartupShowsItsFirstLineAtOnce) {
  open("A\nB\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_TRUE(cellDrawn(0, 0));
  EXPECT_FALSE(cellDrawn(0, 1));
  ASSERT_TRUE(runTo(M));
  EXPECT_TRUE(cellDrawn(0, 1));
}

TEST_F(InterpreterTest, WaitSwallowsItsLineEndAndWaitsForTheMeasure) {
  open("@WAIT(5)\nX\n@WAIT(3)\nY\n");
  ASSERT_TRUE(runTo(4 * M - 1));
  EXPECT_FALSE(cellDrawn(0, 0));
  ASSERT_TRUE(runTo(4 * M));
  EXPECT_TRUE(cellDrawn(0, 0));
  // The script is in measure 5 already: @WAIT(3) passes and Y follows X's line end.
  ASSERT_TRUE(runTo(5 * M));
  EXPECT_TRUE(cellDrawn(0, 1));
  EXPECT_NE(readLog().find("\t@WAIT 3,-1 (PASS)\n"), std::string::npos);
}

TEST_F(InterpreterTest, WaitWithStepWaitsIntoTheMeasure) {
  open("@WAIT(5,24)\nX\n");
  ASSERT_TRUE(runTo(4 * M + 23));
  EXPECT_FALSE(cellDrawn(0, 0));
  ASSERT_TRUE(runTo(4 * M + 24));
  EXPECT_TRUE(cellDrawn(0, 0));
  EXPECT_EQ(wrd.state().wrdTick, static_cast<int>(4 * M + 24));
}

TEST_F(InterpreterTest, OffsetShiftsLaterWaits) {
  open("@OFFSET(2);\n@WAIT(1)\nX\n");
  ASSERT_TRUE(runTo(2 * M - 1));
  EXPECT_FALSE(cellDrawn(0, 0));
  ASSERT_TRUE(runTo(2 * M));
  EXPECT_TRUE(cellDrawn(0, 0));
}

TEST_F(InterpreterTest, RestWaitsMeasuresFromTheScriptsPlace) {
  open("@WAIT(2)\nA\n@REST(2)\nB\n");
  ASSERT_TRUE(runTo(M));
  EXPECT_TRUE(cellDrawn(0, 0));
  ASSERT_TRUE(runTo(4 * M - 1));
  EXPECT_FALSE(cellDrawn(0, 1));
  ASSERT_TRUE(runTo(4 * M));
  EXPECT_TRUE(cellDrawn(0, 1));
}

TEST_F(InterpreterTest, InkeyWithParenthesisWaitsForTheOffsetOnly) {
  open("@INKEY(4)\nX\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_FALSE(cellDrawn(0, 0));
  ASSERT_TRUE(runTo(M));
  EXPECT_TRUE(cellDrawn(0, 0));
  EXPECT_NE(readLog().find("Unknown command '('\n"), std::string::npos);
}

TEST_F(InterpreterTest, WmodeStepsAreTwentyFourthsOfAQuarter) {
  // Step 11: (11 + 1) / 24 of a quarter = 24 ticks a line.
  open("@WMODE(11)\nA\nB\nC\n");
  ASSERT_TRUE(runTo(23));
  EXPECT_FALSE(cellDrawn(0, 0));
  ASSERT_TRUE(runTo(24));
  EXPECT_TRUE(cellDrawn(0, 0));
  ASSERT_TRUE(runTo(47));
  EXPECT_FALSE(cellDrawn(0, 1));
  ASSERT_TRUE(runTo(48));
  EXPECT_TRUE(cellDrawn(0, 1));
  ASSERT_TRUE(runTo(72));
  EXPECT_TRUE(cellDrawn(0, 2));
}

TEST_F(InterpreterTest, CharacterModeShowsOneCharacterPerStep) {
  open("@WMODE(11,1)\nAB|CD|E\n");
  const int expected[][2] = {{24, 1}, {48, 2}, {72, 4}, {96, 5}};
  for (const auto& [tick, columns] : expected) {
    ASSERT_TRUE(runTo(static_cast<std::uint32_t>(tick)));
    for (int c = 0; c < 5; ++c)
      EXPECT_EQ(cellDrawn(c, 0), c < columns) << "tick " << tick << " column " << c;
  }
}

TEST_F(InterpreterTest, SemicolonQuirkInCharacterModeWaitsAtTheLineEnd) {
  // @WMODE with mode 1 while a wait is armed sets the quirk: the ";" line end before a text
  // line then waits like a plain line end.
  open("@WMODE(0,1);\n@COLOR(33);\nA\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_FALSE(cellDrawn(0, 0));
  ASSERT_TRUE(runTo(M));
  EXPECT_TRUE(cellDrawn(0, 0));
  EXPECT_NE(readLog().find("(;\x82\xCC\x96\xB3\x8E\x8B)\n"), std::string::npos);
}

TEST_F(InterpreterTest, WaitLineEndIsSwallowedBelowStartup380Only) {
  // With a line step in force, the line end after @WAIT is a wait point of its own unless the
  // startup value is below 380.
  for (const auto& [startup, drawnAtOnce] : {std::pair{300, true}, std::pair{400, false}}) {
    open("@STARTUP(" + std::to_string(startup) + ");\n@WMODE(11)\n@WAIT(2)\nX\n");
    ASSERT_TRUE(runTo(0));
    ASSERT_TRUE(runTo(M));
    EXPECT_EQ(cellDrawn(0, 0), drawnAtOnce) << startup;
    ASSERT_TRUE(runTo(M + 24));
    EXPECT_TRUE(cellDrawn(0, 0)) << startup;
  }
}

TEST_F(InterpreterTest, ScriptEndsAndUnloadsWithoutTrailingLineEnd) {
  open("A\nB");
  ASSERT_TRUE(runTo(M));
  EXPECT_TRUE(cellDrawn(0, 1));
  ASSERT_TRUE(runTo(2 * M));
  EXPECT_FALSE(wrd.state().loaded);
  EXPECT_EQ(wrd.state().waitState, WaitState::kEnd);
  // Reset starts the finished script again.
  wrd.reset(kTimebase);
  ASSERT_TRUE(runTo(0));
  EXPECT_TRUE(cellDrawn(0, 0));
  EXPECT_FALSE(cellDrawn(0, 1));
}

// Text, graphics, pages and palettes over twelve measures.
const char* const kBusyScript =
    "@STARTUP(400);\n@PAL(#2,F00,0F0,00F,FFF,111,222,333,444,555,666,777,888,999,AAA,BBB,CCC);\n@GCLS(15)\n"
    "Line one\n@GLINE(0,0,100,50,3,2,5)\n@COLOR(33)\n\tTabbed\n@FADE(0,2,4)\n@GCIRCLE(300,200,60,6,2,9)\n"
    "^VSGET(1)^VCOPY(0,0,127,63,0,0,0,0,0)Copied\n@LOCATE(20,10)\n@GSCREEN(1,1)\n@GLINE(8,8,200,200,7,1)\n"
    "@SCROLL(1,1,80,25,0)\n@ESC(5;5H)Escaped\n@GSCREEN(0,0)\n@PALREV(0)\nLast\n";

TEST_F(InterpreterTest, JumpBackCatchesUpSilentlyToTheSameScreen) {
  // Played straight through to measure 8.
  open(kBusyScript);
  playTo(8 * M);
  const auto straight = composite();
  const PaletteBank straightPalette = wrd.screen().banks()[0];
  playTo(12 * M);
  // A jump back: the player resets and catches up without display, then shows the screen.
  // What reaches the window: repaints, palette pushes and invalidations outside catching up.
  int pushes = 0;
  wrd.setRepaint([&] { ++pushes; });
  wrd.screen().hooks().pushPalette = [&](const std::array<std::uint32_t, 16>&) { ++pushes; };
  wrd.screen().hooks().invalidate = [&](const Rect&) { pushes += wrd.screen().state().updatesSuppressed ? 0 : 1; };
  wrd.reset(kTimebase);
  pushes = 0;
  // The header, then the rest up to measure 8.
  ASSERT_TRUE(runTo(8 * M, true));
  ASSERT_TRUE(runTo(8 * M, true));
  EXPECT_EQ(pushes, 0);
  ASSERT_TRUE(runTo(8 * M));
  EXPECT_GT(pushes, 0);
  EXPECT_EQ(composite(), straight);
  EXPECT_EQ(wrd.screen().banks()[0], straightPalette);
}

}  // namespace
}  // namespace volta::wrd::test
