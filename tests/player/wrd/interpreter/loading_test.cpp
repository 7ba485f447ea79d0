// Opening scripts: the header skip, the built-in script, the DV seam, and finding a song's
// script beside it.

#include "player/wrd/script_lookup.h"
#include "tests/player/wrd/interpreter/interpreter_harness.h"

namespace volta::wrd::test {
namespace {

TEST_F(InterpreterTest, TextHeaderIsSkipped) {
  std::string header(128, ' ');
  header.replace(65, 4, "TEXT");
  header[0] = 'Z';
  open(header + "@LOCATE(1,3);\nA\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_FALSE(cellDrawn(0, 0));
  EXPECT_TRUE(cellDrawn(0, 2));
  EXPECT_EQ(wrd.cursor(), 128u + 16u);
}

TEST_F(InterpreterTest, CarriageReturnsAndTheEndOfFileMarkAreDropped) {
  open(
      "A\r\nB\r\n\x1A"
      "C\n");
  ASSERT_TRUE(runTo(kTicksPerMeasure));
  EXPECT_TRUE(cellDrawn(0, 1));
  EXPECT_FALSE(cellDrawn(1, 0));
  ASSERT_TRUE(runTo(3 * kTicksPerMeasure));
  EXPECT_FALSE(cellDrawn(0, 2));
  EXPECT_FALSE(wrd.state().loaded);
}

TEST_F(InterpreterTest, BuiltInScriptShowsTheVersionOnTheBuiltInPicture) {
  ASSERT_TRUE(wrd.openFile(std::nullopt, "Title", "Memo", {}));
  wrd.reset(1);
  ASSERT_TRUE(runTo(0));
  ASSERT_TRUE(runTo(0));
  // "Version 2.3 rel.11" at column 58, row 6; the memo at column 25, row 12.
  EXPECT_TRUE(cellDrawn(58, 6));
  EXPECT_TRUE(cellDrawn(75, 6));
  EXPECT_FALSE(cellDrawn(76, 6));
  EXPECT_TRUE(cellDrawn(28, 12));
  EXPECT_NE(wrd.screen().page(0)->pixel(320, 200), 0);
  EXPECT_EQ(wrd.screen().banks()[0], wrd.screen().banks()[kBuiltInPictureBank]);
}

TEST_F(InterpreterTest, UnreadableAndSherryPathsDoNotOpen) {
  EXPECT_FALSE(wrd.openFile(std::filesystem::path(), "", "", {}));
  EXPECT_FALSE(wrd.openFile(dir / "missing.wrd", "", "", {}));
  ::volta::test::writeFile(dir / "song.sry", {1, 2, 3});
  EXPECT_FALSE(wrd.openFile(dir / "song.sry", "", "", {}));
  ::volta::test::writeFile(dir / "song.dv", {1, 2, 3});
  EXPECT_FALSE(wrd.openFile(dir / "song.dv", "", "", {}));
}

TEST_F(InterpreterTest, DvScriptsGoThroughTheConverter) {
  ::volta::test::writeFile(dir / "song.dv", {9, 9});
  wrd.setDvConverter([](std::span<const char> bytes) -> std::optional<std::vector<char>> {
    if (bytes.size() != 2) return std::nullopt;
    const std::string text = "@LOCATE(1,2);\r\nA\r\n";
    return std::vector<char>(text.begin(), text.end());
  });
  ASSERT_TRUE(wrd.openFile(dir / "song.dv", "", "", measureTable));
  wrd.reset(kTimebase);
  ASSERT_TRUE(runTo(0));
  EXPECT_TRUE(cellDrawn(0, 1));
}

TEST_F(InterpreterTest, IdleScreenWithoutScriptOrPicture) {
  ::volta::test::writeFile(dir / "x.wrd", {});
  WrdInterpreter fresh(blockFace());
  fresh.reset(kTimebase);
  // No script ever opened: the built-in picture is shown.
  EXPECT_NE(fresh.screen().page(0)->pixel(320, 200), 0);
  EXPECT_TRUE(fresh.process(false, positionAt(0)));
}

TEST(ScriptLookup, PrefersSryWhenEnabledThenWrdThenDv) {
  ::volta::test::TempDir dir;
  const auto song = dir / "song.mid";
  EXPECT_EQ(lookupScriptSource(song, true), dir / "song.DV");
  ::volta::test::writeFile(dir / "song.wrd", {});
  EXPECT_EQ(lookupScriptSource(song, true), dir / "song.wrd");
  ::volta::test::writeFile(dir / "SONG.SRY", {});
  EXPECT_EQ(lookupScriptSource(song, false), dir / "song.wrd");
  // Names are matched without regard to case.
  EXPECT_EQ(lookupScriptSource(song, true), dir / "SONG.SRY");
  EXPECT_TRUE(isSherryScriptPath(dir / "SONG.SRY"));
  EXPECT_TRUE(isDvScriptPath(dir / "a.Dv"));
  EXPECT_FALSE(isDvScriptPath(dir / "a.wrd"));
}

TEST(ScriptLookup, PictureNamesFromScriptsIgnoreCaseAndBackslashes) {
  ::volta::test::TempDir dir;
  std::filesystem::create_directory(dir / "pics");
  ::volta::test::writeFile(dir / "pics" / "Title.mag", {});
  EXPECT_EQ(findFileIgnoringCase(dir.path(), "pics\\TITLE.MAG"), dir / "pics" / "Title.mag");
  EXPECT_EQ(findFileIgnoringCase(dir.path(), "none.mag"), dir / "none.mag");
}

}  // namespace
}  // namespace volta::wrd::test

namespace volta::wrd::test {
namespace {

TEST_F(InterpreterTest, CommandStartMarksTheStepAfterEachWait) {
  open("AB\n@COLOR(33);\nCD\n");
  ASSERT_TRUE(runTo(0));
  EXPECT_EQ(wrd.commandStart(), 0u);
  ASSERT_TRUE(runTo(kTicksPerMeasure));
  EXPECT_EQ(wrd.commandStart(), 3u);
  EXPECT_EQ(std::string(wrd.script().bytes.data() + wrd.commandStart(), 6), "@COLOR");
}

}  // namespace
}  // namespace volta::wrd::test
