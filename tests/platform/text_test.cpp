#include "platform/text.h"

#include <gtest/gtest.h>

#include <string>

namespace volta::platform::text {
namespace {

std::string utf8(char32_t c) {
  std::string out;
  appendUtf8(out, c);
  return out;
}

TEST(TextCase, FoldsAsciiLettersOnly) {
  EXPECT_EQ(upperAscii("abc-XYZ_09@[`{"), "ABC-XYZ_09@[`{");
  EXPECT_EQ(lowerAscii("ABC-xyz_09@[`{"), "abc-xyz_09@[`{");
  // Bytes from 0x80 up are parts of Shift-JIS or UTF-8 characters: a locale's idea of
  // their case must never reach them.
  const std::string high = "\x80\x83\xE0\xC0\xFF";
  EXPECT_EQ(upperAscii(high), high);
  EXPECT_EQ(lowerAscii(high), high);
  EXPECT_TRUE(equalsIgnoringCase("Song.MiD", "song.mid"));
  EXPECT_FALSE(equalsIgnoringCase("\xE0", "\xC0"));  // à and À in Latin-1 stay different
  EXPECT_FALSE(equalsIgnoringCase("song", "songs"));
  EXPECT_FALSE(equalsIgnoringCase("[", "{"));  // 0x5B and 0x7B differ by the case bit but are no letters
}

TEST(TextCase, StartsAndEndsIgnoringCase) {
  EXPECT_TRUE(endsWithIgnoringCase("LIST.to2", ".TO2"));
  EXPECT_TRUE(endsWithIgnoringCase("LIST.to2", ""));
  EXPECT_TRUE(endsWithIgnoringCase(".TO2", ".to2"));
  EXPECT_FALSE(endsWithIgnoringCase("TO2", ".TO2"));  // a suffix longer than the text
  EXPECT_FALSE(endsWithIgnoringCase("LIST.TOR", ".TO2"));
  EXPECT_TRUE(startsWithIgnoringCase("mag pic.mag", "MAG "));
  EXPECT_TRUE(startsWithIgnoringCase("x", ""));
  EXPECT_FALSE(startsWithIgnoringCase("MA", "MAG "));
}

TEST(TextBlanks, TrimTakesSpacesTabsAndLineEnds) {
  EXPECT_EQ(trim(" \t key = value\r\n"), "key = value");
  EXPECT_EQ(trim("\r\n\t "), "");
  EXPECT_EQ(trim(""), "");
  EXPECT_EQ(trim("a\x1A"), "a\x1A");        // an end-of-file mark is not a blank
  EXPECT_EQ(trim("\x81\x40"), "\x81\x40");  // nor is the double-byte space
}

TEST(TextUtf8, EncodesEachLength) {
  EXPECT_EQ(utf8(U'A'), "A");
  EXPECT_EQ(utf8(0), std::string(1, '\0'));
  EXPECT_EQ(utf8(0x7F), "\x7F");
  EXPECT_EQ(utf8(0x80), "\xC2\x80");
  EXPECT_EQ(utf8(0x7FF), "\xDF\xBF");
  EXPECT_EQ(utf8(0x800), "\xE0\xA0\x80");
  EXPECT_EQ(utf8(U'\u3042'), "\xE3\x81\x82");
  EXPECT_EQ(utf8(0xFFFF), "\xEF\xBF\xBF");
  EXPECT_EQ(utf8(0x10000), "\xF0\x90\x80\x80");
  EXPECT_EQ(utf8(0x10FFFF), "\xF4\x8F\xBF\xBF");
}

TEST(TextUtf8, InvalidCodePointsBecomeReplacementCharacters) {
  EXPECT_EQ(utf8(0xD800), "\xEF\xBF\xBD");
  EXPECT_EQ(utf8(0xDFFF), "\xEF\xBF\xBD");
  EXPECT_EQ(utf8(0x110000), "\xEF\xBF\xBD");
  EXPECT_EQ(utf8(0xFFFFFFFF), "\xEF\xBF\xBD");
}

TEST(TextShiftJis, LeadBytesAreTheTwoRanges) {
  for (int b = 0; b < 0x100; ++b) {
    const bool expected = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    EXPECT_EQ(isShiftJisLead(static_cast<unsigned char>(b)), expected) << b;
  }
}

TEST(TextShiftJis, CodesPairLeadAndTrail) {
  const std::string_view text = "A\x82\xA0\xB1\x83";
  EXPECT_EQ(shiftJisCodeAt(text, 0), 0x41);
  EXPECT_EQ(shiftJisCodeAt(text, 1), 0x82A0);
  EXPECT_EQ(codeWidth(0x82A0), 2u);
  EXPECT_EQ(shiftJisCodeAt(text, 3), 0xB1);  // half-width kana are single bytes
  EXPECT_EQ(shiftJisCodeAt(text, 4), 0x83);  // a lead byte at the end stands alone
  EXPECT_EQ(codeWidth(0x83), 1u);
}

TEST(TextShiftJis, UpperCasesSingleBytesButNotTrailBytes) {
  // 0x83 0x61 is katakana whose trail byte is "a".
  EXPECT_EQ(upperShiftJis("ab\x83\x61z"), "AB\x83\x61Z");
}

TEST(TextShiftJis, JisRowAndCell) {
  EXPECT_EQ(shiftJisToJis(0x81, 0x40), 0x2121);
  EXPECT_EQ(shiftJisToJis(0x82, 0xA0), 0x2422);
  EXPECT_EQ(shiftJisToJis(0x83, 0x40), 0x2521);
  EXPECT_EQ(shiftJisToJis(0xEA, 0xA4), 0x7426);
  EXPECT_EQ(shiftJisToJis(0xF0, 0x40), 0);  // user-defined rows lie outside JIS
  EXPECT_EQ(shiftJisToJis(0x82, 0x7F), 0);
}

TEST(TextCp932, DecodesSingleAndDoubleBytes) {
  Cp932Decoder decoder;
  EXPECT_EQ(decoder.toUnicode(0x41), U'A');
  EXPECT_EQ(decoder.toUnicode(0x82A0), U'\u3042');
  EXPECT_EQ(decoder.toUnicode(0xB1), U'\uFF71');
  EXPECT_EQ(decoder.toUnicode(0x82FF), 0u);  // no character there
  EXPECT_EQ(decoder.toUnicode(0xA0), 0u);
  EXPECT_EQ(decoder.toUnicode(0x82A0), U'\u3042');  // remembered answers stay right
}

TEST(TextCp932, IsCp932RatherThanPlainShiftJis) {
  Cp932Decoder decoder;
  EXPECT_EQ(decoder.toUnicode(0x5C), U'\\');  // not a yen sign
  EXPECT_EQ(decoder.toUnicode(0x7E), U'~');
  EXPECT_EQ(decoder.toUnicode(0x815F), U'\uFF3C');
  EXPECT_EQ(decoder.toUnicode(0x8160), U'\uFF5E');
  EXPECT_EQ(decoder.toUnicode(0x8740), U'\u2460');  // NEC special characters
  EXPECT_EQ(decoder.toUnicode(0x8790), U'\u2252');
  EXPECT_EQ(decoder.toUnicode(0xED40), U'\u7E8A');  // NEC-selected IBM extensions
  EXPECT_EQ(decoder.toUnicode(0xFA40), U'\u2170');  // IBM extensions
}

TEST(TextCp932, DecodesWholeTexts) {
  Cp932Decoder decoder;
  EXPECT_EQ(decoder.decode("C:\\\x83\x41\xB1"), U"C:\\\u30A2\uFF71");
  EXPECT_EQ(decoder.decode("a\x82\xFF"), U"a\uFFFD");
  EXPECT_EQ(decoder.decode("a\x83"), U"a\uFFFD");  // a truncated pair at the end
  EXPECT_EQ(decoder.decode(std::string_view("\0b", 2)), std::u32string(U"\0b", 2));
  EXPECT_EQ(decoder.decode(""), U"");
}

TEST(TextCp932, ConvertsToUtf8) {
  EXPECT_EQ(cp932ToUtf8("ABC"), "ABC");
  EXPECT_EQ(cp932ToUtf8("\x83\x41\x83\x43"), "\xE3\x82\xA2\xE3\x82\xA4");
  EXPECT_EQ(cp932ToUtf8("\xB1"), "\xEF\xBD\xB1");
  EXPECT_EQ(cp932ToUtf8("\x5C"), "\\");
  EXPECT_EQ(cp932ToUtf8("\x87\x40"), "\xE2\x91\xA0");
  EXPECT_EQ(cp932ToUtf8("a\x83"), "a\xEF\xBF\xBD");
}

// File names (UTF-8) become texts of the kind read from songs: a Japanese name round-trips,
// a character CP932 lacks is a "?", and bytes that are no UTF-8 stay as they are.
TEST(TextCp932, ConvertsFromUtf8) {
  EXPECT_EQ(utf8ToCp932("ソング.MID"), "\x83\x5C\x83\x93\x83\x4F.MID");
  EXPECT_EQ(cp932ToUtf8(utf8ToCp932("曲①\\")), "曲①\\");
  EXPECT_EQ(utf8ToCp932("a\xF0\x9F\x8E\xB5"
                        "b"),
            "a?b");                                // a musical note emoji
  EXPECT_EQ(utf8ToCp932("\x83\x5C"), "\x83\x5C");  // already Shift-JIS
  EXPECT_EQ(utf8ToCp932("cut\xE3\x82"), "cut\xE3\x82");
  EXPECT_EQ(utf8ToCp932(""), "");
}

}  // namespace
}  // namespace volta::platform::text
