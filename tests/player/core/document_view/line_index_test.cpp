#include "player/core/document_view/line_index.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace volta::document {
namespace {

std::vector<std::uint32_t> startsOf(std::string_view text, int columns) {
  LineIndex index;
  index.build(text, columns);
  std::vector<std::uint32_t> starts;
  for (int line = 0; line <= index.lineCount(); ++line)
    starts.push_back(index.lineStart(line));
  return starts;
}

using Starts = std::vector<std::uint32_t>;

TEST(LineIndex, ThreeThousandLinesGrowPastTheFirstBlockWithoutLosingEntries) {
  std::string text;
  for (int i = 0; i < 3000; ++i)
    text += "line " + std::to_string(i % 10) + "\r\n";
  LineIndex index;
  index.build(text, 80);
  ASSERT_EQ(index.lineCount(), 3000);
  for (int line = 0; line < 3000; ++line)
    ASSERT_EQ(index.lineStart(line), static_cast<std::uint32_t>(line * 8));
  EXPECT_EQ(index.lineStart(3000), text.size());
  EXPECT_EQ(index.capacity(), 2 * LineIndex::kGrowth);
}

TEST(LineIndex, DoubleByteCharacterInTheLastColumnMovesWhole) {
  // Five columns: after "abcd" only one column is left for the two-column character.
  EXPECT_EQ(startsOf("abcd\x82\xA0"
                     "e",
                     5),
            (Starts{0, 4, 7}));
  // With two columns left it fits and fills the line.
  EXPECT_EQ(startsOf("abc\x82\xA0"
                     "d",
                     5),
            (Starts{0, 5, 6}));
  // Half-width katakana are single bytes.
  EXPECT_EQ(startsOf("\xB1\xB2\xB3\xB4\xB5\xB6", 5), (Starts{0, 5, 6}));
}

TEST(LineIndex, CrLfAndLfEndLinesLoneCrIsACharacter) {
  EXPECT_EQ(startsOf("a\r\nb\nc\n", 10), (Starts{0, 3, 5, 7}));  // no empty last line
  EXPECT_EQ(startsOf("a\rbc", 3), (Starts{0, 3, 4}));
  EXPECT_EQ(startsOf("\n\n", 10), (Starts{0, 1, 2}));
  // A line that fills every column ends there, so its line end starts an empty line.
  EXPECT_EQ(startsOf("abc\r\nd", 3), (Starts{0, 3, 5, 6}));
}

TEST(LineIndex, ColourCodesTakeNoColumnTabsGoToTheNextMultipleOfEight) {
  EXPECT_EQ(startsOf("\x01\x05"
                     "abc"
                     "d",
                     3),
            (Starts{0, 5, 6}));
  EXPECT_EQ(startsOf("ab\x01\x72"
                     "c",
                     3),
            (Starts{0, 5}));
  // "a" tab "b": b in column 8, c in 9, the line is full at 10.
  EXPECT_EQ(startsOf("a\tbc\td", 10), (Starts{0, 4, 6}));
  // A tab in column 8 goes to 16.
  EXPECT_EQ(startsOf("12345678\tx", 17), (Starts{0, 10}));
  EXPECT_EQ(startsOf("12345678\tx", 16), (Starts{0, 9, 10}));
}

// The text in a buffer of exactly its size, so a read past its end is caught.
std::string_view exactBuffer(std::unique_ptr<char[]>& buffer, std::string_view text) {
  buffer = std::make_unique<char[]>(text.size());
  std::copy(text.begin(), text.end(), buffer.get());
  return {buffer.get(), text.size()};
}

TEST(LineIndex, PairItemsCutByTheEndOfTheTextStopThere) {
  std::unique_ptr<char[]> buffer;
  EXPECT_EQ(startsOf(exactBuffer(buffer, "ab\x01"), 10), (Starts{0, 3}));
  EXPECT_EQ(startsOf(exactBuffer(buffer, "ab\x82"), 10), (Starts{0, 3}));
  EXPECT_EQ(startsOf(exactBuffer(buffer, "ab\x82"), 3), (Starts{0, 2, 3}));
  EXPECT_EQ(startsOf(exactBuffer(buffer, "\x01"), 1), (Starts{0, 1}));
}

TEST(LineIndex, NarrowWindowsStillMakeProgress) {
  EXPECT_EQ(startsOf("ab", 0), (Starts{0, 1, 2}));
  EXPECT_EQ(startsOf("\x82\xA0\x82\xA0", 1), (Starts{0, 2, 4}));
  EXPECT_EQ(startsOf("\x01\x05\x82\xA0", 1), (Starts{0, 4}));
  EXPECT_EQ(startsOf("", 10), (Starts{0}));
}

TEST(LineIndex, LineOfOffset) {
  LineIndex index;
  index.build("ab\ncd\nef", 10);  // lines start at 0, 3, 6; terminator at 8
  EXPECT_EQ(index.lineOfOffset(0), 0);
  EXPECT_EQ(index.lineOfOffset(2), 0);
  EXPECT_EQ(index.lineOfOffset(3), 1);
  EXPECT_EQ(index.lineOfOffset(6), 2);
  EXPECT_EQ(index.lineOfOffset(8), 2);
  EXPECT_EQ(index.lineOfOffset(1'000'000'000), 2);
  EXPECT_EQ(index.lineOfOffset(-5), 0);

  index.build("", 10);
  EXPECT_EQ(index.lineOfOffset(0), 0);
  EXPECT_EQ(index.lineOfOffset(7), 0);
}

}  // namespace
}  // namespace volta::document
