// The library's reading of names and command lines on its own: wildcards, names from
// raw header bytes, quoting.

#include "outside/unlha32/member_names.h"

#include <gtest/gtest.h>

#include "outside/unlha32/command_line.h"

namespace volta::unlha {
namespace {

std::vector<std::uint8_t> level0Header(const std::string& name) {
  std::string raw(22, '\0');
  raw[21] = static_cast<char>(name.size());
  raw += name + std::string(2, '\0');
  return std::vector<std::uint8_t>(raw.begin(), raw.end());
}

TEST(MemberPatterns, WildcardsMatchWholeNamesWithoutRegardToCase) {
  EXPECT_TRUE(matchesPattern("*.*", "README"));
  EXPECT_TRUE(matchesPattern("*.mid", "SUB/SONG.MID"));
  EXPECT_TRUE(matchesPattern("sub/song.*", "SUB/SONG.WRD"));
  EXPECT_FALSE(matchesPattern("sub/song.*", "SUB/SONGS.WRD"));
  EXPECT_FALSE(matchesPattern("SONG.MID", "SUB/SONG.MID"));
  EXPECT_TRUE(matchesPattern("?.MID", "曲.MID"));  // one character, however many bytes
  EXPECT_FALSE(matchesPattern("?.MID", "AB.MID"));
  EXPECT_TRUE(matchesPattern("A*B*C", "AxxBxxBxxC"));
  EXPECT_FALSE(matchesPattern("A*B*C", "AxxBxxBxx"));
}

TEST(MemberNames, MsDosPathsSplitAtBackslashesButNotInsideShiftJisCharacters) {
  const auto name = memberName(level0Header("DIR\\\x83\x5C.MID"), 0, 'M');
  EXPECT_EQ(name.name, "DIR/ソ.MID");
  EXPECT_EQ(name.problem, "");
}

TEST(MemberNames, WhatWouldLeaveTheFolderIsNamed) {
  EXPECT_EQ(memberName(level0Header("..\\X"), 0, 'M').problem, "its path leaves the folder (\"..\")");
  EXPECT_EQ(memberName(level0Header("\\X"), 0, 'M').problem, "its path is absolute");
  EXPECT_EQ(memberName(level0Header("A:X"), 0, 'M').problem, "its name holds a drive letter or \":\"");
  EXPECT_EQ(memberName(level0Header("A\x01X"), 0, 'M').problem, "its name holds a control character");
  EXPECT_EQ(memberName(level0Header(""), 0, 'M').problem, "it has no name");
}

TEST(MemberNames, TruncatedHeadersGiveNoNameRatherThanReadingBeyond) {
  std::vector<std::uint8_t> raw = level0Header("SONG.MID");
  raw.resize(25);
  EXPECT_EQ(memberName(raw, 0, 'M').problem, "it has no name");
  const std::vector<std::uint8_t> extended{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,    0,    0,    0,
                                           0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0x01, 'A'};
  EXPECT_EQ(memberName(extended, 2, 'M').name, "");
}

TEST(CommandLines, QuotesKeepBlanksAndSwitchesStandApart) {
  const auto line = parseCommandLine("e -a0 -c \"my songs/a b.lzh\" \"/tmp/x/\" \"*.MID\" -y1");
  ASSERT_TRUE(line);
  EXPECT_EQ(line->command, "e");
  EXPECT_EQ(line->switches, (std::vector<std::string>{"-a0", "-c", "-y1"}));
  EXPECT_EQ(line->arguments, (std::vector<std::string>{"my songs/a b.lzh", "/tmp/x/", "*.MID"}));
  EXPECT_EQ(parseCommandLine("e \"-x\"")->arguments, std::vector<std::string>{"-x"});
  EXPECT_FALSE(parseCommandLine("e \"open"));
  EXPECT_FALSE(parseCommandLine("   "));
}

}  // namespace
}  // namespace volta::unlha
