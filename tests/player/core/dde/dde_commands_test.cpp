#include "player/core/dde/dde_commands.h"

#include <gtest/gtest.h>

#include "tests/player/core/dde/fake_dde_host.h"

namespace volta::dde {
namespace {

using Calls = std::vector<std::string>;

ParsedCommand parsed(std::string_view text) {
  const auto command = parseCommand(text);
  EXPECT_TRUE(command.has_value());
  return command.value_or(ParsedCommand{});
}

TEST(DdeParser, QuotedNameWithBlanksAndModuleRightAfterTheQuote) {
  const ParsedCommand command = parsed("PlayFile \"/home/me/My Songs/a b.mid\"SC-88");
  EXPECT_EQ(command.word, "PlayFile");
  EXPECT_EQ(command.argument, "/home/me/My Songs/a b.mid");
  EXPECT_EQ(command.rest, "SC-88");
  EXPECT_EQ(parsed("PlayFile \"a b.mid\"   SC-88").rest, "SC-88");
}

TEST(DdeParser, WordEndsAtBlankOrCommaAndSeparatorsAreSkipped) {
  const ParsedCommand command = parsed("Play , ,  7 x y");
  EXPECT_EQ(command.word, "Play");
  EXPECT_EQ(command.argument, "7");
  EXPECT_EQ(command.rest, "x y");
  EXPECT_EQ(parsed("Play,3").argument, "3");
}

TEST(DdeParser, PlainArgumentRunsToTheNextBlankOnly) {
  const ParsedCommand command = parsed("OpenFile a,b.mid  GM");
  EXPECT_EQ(command.argument, "a,b.mid");
  EXPECT_EQ(command.rest, "GM");
}

TEST(DdeParser, UnclosedQuoteTakesTheRest) {
  const ParsedCommand command = parsed("OpenFile \"a b c");
  EXPECT_EQ(command.argument, "a b c");
  EXPECT_EQ(command.rest, "");
}

TEST(DdeParser, EmptyPartsAndZeroTerminator) {
  const ParsedCommand empty = parsed("");
  EXPECT_EQ(empty.word, "");
  EXPECT_EQ(empty.argument, "");
  const ParsedCommand stop = parsed(std::string_view("Stop\0 ignored", 13));
  EXPECT_EQ(stop.word, "Stop");
  EXPECT_EQ(stop.argument, "");
  EXPECT_EQ(parsed("OpenFile \"\"GM").argument, "");
  EXPECT_EQ(parsed("OpenFile \"\"GM").rest, "GM");
}

TEST(DdeParser, TextMustFitTheBuffer) {
  const std::string longest = "OpenFile " + std::string(kTextBufferSize - 1 - 9, 'a');
  EXPECT_TRUE(parseCommand(longest).has_value());
  EXPECT_FALSE(parseCommand(longest + "a").has_value());
  EXPECT_FALSE(parseItem(std::string(kTextBufferSize, 'G')).has_value());
  // What follows a terminator does not count.
  EXPECT_TRUE(parseCommand("Stop" + std::string(1, '\0') + std::string(5000, 'x')).has_value());
}

TEST(DdeParser, ItemWordAndArgument) {
  const auto item = parseItem("GetTitle , 12");
  ASSERT_TRUE(item.has_value());
  EXPECT_EQ(item->word, "GetTitle");
  EXPECT_EQ(item->argument, "12");
}

TEST(DdeParser, DecimalNumbers) {
  EXPECT_EQ(readDecimal("12abc"), 12);
  EXPECT_EQ(readDecimal(""), 0);
  EXPECT_EQ(readDecimal("x"), 0);
  EXPECT_EQ(readDecimal("-5"), -5);
  EXPECT_EQ(readDecimal("+5"), 5);
  EXPECT_EQ(readDecimal(" 7"), 7);
  EXPECT_EQ(readDecimal("9223372036854775807"), 9223372036854775807LL);
  EXPECT_FALSE(readDecimal("9223372036854775808").has_value());
  EXPECT_FALSE(readDecimal("99999999999999999999999").has_value());
}

class DdeCommands : public testing::Test {
 protected:
  test::FakeDdeHost host;
  static constexpr Conversation kA = 1;
  static constexpr Conversation kB = 2;
};

TEST_F(DdeCommands, PlayFileOpensWithTheModuleThenPlays) {
  EXPECT_TRUE(execute(host, kA, "PlayFile \"/m/a b.mid\"SC-88"));
  EXPECT_EQ(host.calls, (Calls{"openFile(/m/a b.mid|SC-88)", "play"}));
}

TEST_F(DdeCommands, ShellVerbIsTheSameCommand) {
  EXPECT_TRUE(execute(host, kA, std::string("playfile \"/m/x.mid\"") + '\0'));
  EXPECT_EQ(host.calls, (Calls{"openFile(/m/x.mid|)", "play"}));
}

TEST_F(DdeCommands, CancelledCloseStopsBeforePlayingButIsAcknowledged) {
  host.closeCancelled = true;
  EXPECT_TRUE(execute(host, kA, "PlayFile /m/x.mid"));
  EXPECT_EQ(host.calls, (Calls{"openFile(/m/x.mid|)"}));
}

TEST_F(DdeCommands, OpenFileDoesNotPlay) {
  EXPECT_TRUE(execute(host, kA, "OpenFile /m/list.to2"));
  EXPECT_EQ(host.calls, (Calls{"openFile(/m/list.to2|)"}));
}

TEST_F(DdeCommands, PlayChecksThePositionUnsigned) {
  host.addSongs(3);
  EXPECT_TRUE(execute(host, kA, "Play 3"));
  EXPECT_TRUE(execute(host, kA, "Play -1"));
  EXPECT_TRUE(execute(host, kA, "Play 99999999999999999999"));
  EXPECT_TRUE(host.calls.empty());
  EXPECT_TRUE(execute(host, kA, "Play 2"));
  EXPECT_TRUE(execute(host, kA, "PLAY"));
  EXPECT_EQ(host.calls, (Calls{"playPosition(2)", "playPosition(0)"}));
}

TEST_F(DdeCommands, EveryWordReachesItsOperation) {
  for (const char* word : {"Stop", "pause", "RESUME", "ChangeWRD", "ChangeDOC", "ChangeLIST", "ChangeSTATUS",
                           "ChangeMINI", "changefullscreen"}) {
    EXPECT_TRUE(execute(host, kA, word)) << word;
  }
  EXPECT_EQ(host.calls, (Calls{"stop", "pause", "resume", "togglePane(0)", "togglePane(1)", "togglePane(2)",
                               "togglePane(3)", "mini", "fullScreen"}));
}

TEST_F(DdeCommands, UnknownAndOverlongCommandsAreNotProcessed) {
  EXPECT_FALSE(execute(host, kA, "Rewind"));
  EXPECT_FALSE(execute(host, kA, "StopNow"));
  EXPECT_FALSE(execute(host, kA, ""));
  EXPECT_FALSE(execute(host, kA, "OpenFile " + std::string(2000, 'a')));
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(DdeCommands, LockShutsOutOthersUntilItsConversationEnds) {
  EXPECT_TRUE(execute(host, kA, "Lock"));
  EXPECT_FALSE(execute(host, kA, "Lock"));
  EXPECT_FALSE(execute(host, kB, "Stop"));
  EXPECT_FALSE(execute(host, kB, "Unlock"));
  EXPECT_FALSE(execute(host, kB, "Lock"));
  EXPECT_TRUE(host.calls.empty());
  EXPECT_TRUE(execute(host, kA, "Stop"));
  disconnected(host, kB);
  EXPECT_EQ(host.lock, kA);
  disconnected(host, kA);
  EXPECT_FALSE(host.lock.has_value());
  EXPECT_TRUE(execute(host, kB, "Stop"));
  EXPECT_EQ(host.calls, (Calls{"stop", "stop"}));
}

TEST_F(DdeCommands, UnlockOnlyByTheHolder) {
  EXPECT_FALSE(execute(host, kA, "Unlock"));
  EXPECT_TRUE(execute(host, kA, "lock"));
  EXPECT_TRUE(execute(host, kA, "UNLOCK"));
  EXPECT_FALSE(host.lock.has_value());
  EXPECT_TRUE(execute(host, kB, "Lock"));
  EXPECT_EQ(host.lock, kB);
}

class DdeRequests : public DdeCommands {
 protected:
  void SetUp() override { host.addSongs(3); }
  std::optional<std::string> ask(std::string_view item) { return request(host, kB, item); }
};

TEST_F(DdeRequests, ListItems) {
  EXPECT_EQ(ask("GetCount"), "3");
  EXPECT_EQ(ask("gettitle 1"), "Song 1");
  EXPECT_EQ(ask("GetTitle,2"), "Song 2");
  EXPECT_EQ(ask("GetLength 0"), "60000");
  EXPECT_EQ(ask("GetFileName 0"), "\\SONG0.MID");
  for (const char* outside : {"GetTitle 3", "GetTitle -1", "GetLength 3", "GetFileName 77"}) {
    EXPECT_FALSE(ask(outside).has_value()) << outside;
  }
}

TEST_F(DdeRequests, FoldersMayBeEmpty) {
  EXPECT_EQ(ask("GetBaseFolder"), "");
  EXPECT_EQ(ask("GetListFileName"), "");
  host.base = "/home/me/songs";
  host.list = "/home/me/songs/ALL.TOR";
  EXPECT_EQ(ask("GetBaseFolder"), "/home/me/songs");
  EXPECT_EQ(ask("GetListFileName"), "/home/me/songs/ALL.TOR");
}

TEST_F(DdeRequests, StatusAndPlayingPosition) {
  host.current = 2;
  EXPECT_EQ(ask("GetStatus"), "stop");
  EXPECT_FALSE(ask("GetPlayFile").has_value());
  host.isPlaying = true;
  EXPECT_EQ(ask("GetStatus"), "play");
  EXPECT_EQ(ask("GetPlayFile"), "2");
  host.isPaused = true;
  EXPECT_EQ(ask("GetStatus"), "pause");
}

TEST_F(DdeRequests, NoDataItemsAndRequestsDuringAnotherLock) {
  EXPECT_FALSE(ask("GetTime").has_value());
  EXPECT_FALSE(ask("GetEverything").has_value());
  host.lock = kA;
  EXPECT_EQ(ask("GetCount"), "3");
}

}  // namespace
}  // namespace volta::dde
