#include "outside/smfk32/cfg_rules.h"

#include <gtest/gtest.h>

namespace smfk32 {
namespace {

Rules read(std::string_view text) {
  const RulesResult result = readRules(text);
  EXPECT_TRUE(result.rules) << result.line << ": " << result.error;
  return result.rules.value_or(Rules());
}

TEST(CfgRules, AnEmptyFileChangesNothing) {
  const Rules rules = read("; nothing but a comment\r\n\n   \t\n");
  for (std::size_t ch = 0; ch < 16; ++ch) {
    EXPECT_EQ(rules.channels[ch], ch);
    EXPECT_EQ(rules.semitones(ch), 0);
    EXPECT_EQ(rules.program(ch, 5), kUnchanged);
    EXPECT_EQ(rules.controller(ch, 7), kUnchanged);
  }
  EXPECT_FALSE(rules.dropAllExclusives);
  EXPECT_TRUE(rules.droppedExclusives.empty());
}

TEST(CfgRules, EveryRuleInUsersNumbers) {
  const Rules rules = read(
      "CHANNEL 10 11   # drums elsewhere\n"
      "program 1 25 26\n"
      "Program * 1 2 ; every channel\r\n"
      "transpose 3 -12\n"
      "transpose * +2\n"
      "controller 2 91 drop\n"
      "controller * 7 11\n"
      "exclusive drop 41 10 42 12\n"
      "exclusive drop 7e\n");
  EXPECT_EQ(rules.channels[9], 10);
  EXPECT_EQ(rules.program(0, 24), 25);
  EXPECT_EQ(rules.program(0, 0), 1);  // the rule for all channels
  EXPECT_EQ(rules.program(5, 24), kUnchanged);
  EXPECT_EQ(rules.semitones(2), -12);
  EXPECT_EQ(rules.semitones(0), 2);
  EXPECT_EQ(rules.controller(1, 91), kDropped);
  EXPECT_EQ(rules.controller(0, 91), kUnchanged);
  EXPECT_EQ(rules.controller(4, 7), 11);
  ASSERT_EQ(rules.droppedExclusives.size(), 2u);
  EXPECT_EQ(rules.droppedExclusives[0], (std::vector<std::uint8_t>{0x41, 0x10, 0x42, 0x12}));
  EXPECT_EQ(rules.droppedExclusives[1], (std::vector<std::uint8_t>{0x7E}));
}

TEST(CfgRules, AChannelsOwnRuleWinsOverTheRuleForAll) {
  const Rules rules = read("transpose 4 0\ntranspose * 5\ncontroller * 1 drop\ncontroller 4 1 2\n");
  EXPECT_EQ(rules.semitones(3), 0);
  EXPECT_EQ(rules.semitones(2), 5);
  EXPECT_EQ(rules.controller(3, 1), 2);
  EXPECT_EQ(rules.controller(2, 1), kDropped);
}

TEST(CfgRules, ALaterLineReplacesAnEarlierOne) {
  const Rules rules = read("program 1 1 2\nprogram 1 1 3\nexclusive drop all\n");
  EXPECT_EQ(rules.program(0, 0), 2);
  EXPECT_TRUE(rules.dropAllExclusives);
}

struct BadLine {
  const char* text;
  std::size_t line;
  const char* error;
};

class CfgRulesError : public ::testing::TestWithParam<BadLine> {};

TEST_P(CfgRulesError, NamesTheLineAndWhatIsWrong) {
  const RulesResult result = readRules(GetParam().text);
  EXPECT_FALSE(result.rules);
  EXPECT_EQ(result.line, GetParam().line);
  EXPECT_NE(result.error.find(GetParam().error), std::string::npos) << result.error;
}

INSTANTIATE_TEST_SUITE_P(Lines, CfgRulesError,
                         ::testing::Values(BadLine{"channel 1 2\nswap 1 2\n", 2, "unknown rule \"swap\""},
                                           BadLine{"channel 0 2", 1, "channels are 1 to 16"},
                                           BadLine{"channel 17 2", 1, "channels are 1 to 16"},
                                           BadLine{"channel 1", 1, "channel FROM TO"},
                                           BadLine{"\n\nprogram 1 0 5", 3, "programs are 1 to 128"},
                                           BadLine{"program 1 129 5", 1, "programs are 1 to 128"},
                                           BadLine{"program x 1 5", 1, "the channel is 1 to 16 or *"},
                                           BadLine{"transpose 1 +128", 1, "semitones are -127 to 127"},
                                           BadLine{"transpose 1 3.5", 1, "semitones are -127 to 127"},
                                           BadLine{"transpose 1", 1, "transpose CHANNEL SEMITONES"},
                                           BadLine{"controller 1 128 drop", 1, "controllers are 0 to 127"},
                                           BadLine{"controller 1 7 keep", 1, "controllers are 0 to 127"},
                                           BadLine{"exclusive drop", 1, "exclusive drop all|BYTES"},
                                           BadLine{"exclusive keep 41", 1, "exclusive drop all|BYTES"},
                                           BadLine{"exclusive drop 4", 1, "two hexadecimal digits"},
                                           BadLine{"exclusive drop 41 GG", 1, "two hexadecimal digits"},
                                           BadLine{"exclusive drop all 41", 1, "two hexadecimal digits"}));

TEST(CfgRules, AFileTooLargeForRulesIsRefused) {
  const std::string huge(kMaxConfigurationSize + 1, '\n');
  const RulesResult result = readRules(huge);
  EXPECT_FALSE(result.rules);
  EXPECT_FALSE(result.error.empty());
}

TEST(CfgRules, ShiftJisCommentsAreIgnored) {
  // "; 設定" in Shift-JIS: bytes above 0x7F only after the comment mark.
  const Rules rules = read("transpose 1 1 ; \x90\xdd\x92\xe8\n");
  EXPECT_EQ(rules.semitones(0), 1);
}

}  // namespace
}  // namespace smfk32
