#include "player/core/playlist/list_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/test_support.h"

namespace volta::core {
namespace {

namespace fs = std::filesystem;

std::vector<MIDIFile> readA(std::string_view text) {
  auto files = readFormatA(text);
  EXPECT_TRUE(files.has_value());
  return files.value_or(std::vector<MIDIFile>{});
}

MIDIFile fullEntry() {
  MIDIFile entry;
  entry.fileName = "\\\x83\x5C\x83\x93\\song.mid";  // a Shift-JIS name whose second byte is a backslash
  entry.title = "\x8B\xC8\x96\xBC  title";
  entry.lengthMs = 183'456;
  entry.measures = 96;
  entry.archiveMember = "IN.RCP";
  entry.wrdState = 2;
  entry.module = "SC-88";
  entry.portAssignType = 3;
  entry.smfKnife = true;
  return entry;
}

void expectSameEntry(const MIDIFile& a, const MIDIFile& b) {
  EXPECT_EQ(a.fileName, b.fileName);
  EXPECT_EQ(a.title, b.title);
  EXPECT_EQ(a.lengthMs, b.lengthMs);
  EXPECT_EQ(a.measures, b.measures);
  EXPECT_EQ(a.archiveMember, b.archiveMember);
  EXPECT_EQ(a.wrdState, b.wrdState);
  EXPECT_EQ(a.module, b.module);
  EXPECT_EQ(a.portAssignType, b.portAssignType);
  EXPECT_EQ(a.smfKnife, b.smfKnife);
}

TEST(ListFormatA, TheHeaderMustNameVolta) {
  EXPECT_FALSE(readFormatA("#! /usr/local/bin/player\r\n/a.mid\r\nA\r\n@\r\n").has_value());
  EXPECT_FALSE(readFormatA("").has_value());
  EXPECT_TRUE(readFormatA("list of my volta songs\n").has_value());
  EXPECT_TRUE(readFormatA("#! /usr/local/bin/volta").value().empty());
}

TEST(ListFormatA, TheKindIsKnownByContent) {
  MIDIFile absolute;
  absolute.fileName = "/music/a.mid";
  MIDIFile relative;
  relative.fileName = "sub/a.mid";
  EXPECT_EQ(listKindOfContent(writeFormatA({absolute}, false)), ListKind::kTo2);
  EXPECT_EQ(listKindOfContent("\xEF\xBB\xBF" + writeFormatA({relative}, true)), ListKind::kTor);
  EXPECT_EQ(listKindOfContent(writeFormatA({}, false)), ListKind::kTo2);
  // A song whose first bytes name the program is no list.
  EXPECT_EQ(listKindOfContent("MThd volta\n"), ListKind::kNone);
  EXPECT_EQ(listKindOfContent("#! /bin/sh\n"), ListKind::kNone);
}

TEST(ListFormatA, ANameWithoutExtensionGetsTheKindsOne) {
  EXPECT_EQ(withListExtension("/l/mylist", ListKind::kTo2), "/l/mylist.TO2");
  EXPECT_EQ(withListExtension("/l/mylist", ListKind::kTor), "/l/mylist.TOR");
  EXPECT_EQ(withListExtension("/l/mylist.to2", ListKind::kTor), "/l/mylist.to2");
  EXPECT_EQ(withListExtension("/l.d/mylist.txt", ListKind::kTo2), "/l.d/mylist.txt");
}

TEST(ListFormatA, WritesEveryFieldAsWindowsLinesAndReadsThemBack) {
  const std::string text = writeFormatA({fullEntry()}, false);
  EXPECT_EQ(text,
            "#! /usr/local/bin/volta\r\n\\\x83\x5C\x83\x93\\song.mid\r\n\x8B\xC8\x96\xBC  title\r\n183456\r\n96\r\n"
            "IN.RCP\r\n2\r\nSC-88\r\n3\r\n1\r\n@\r\n");
  const auto files = readA(text);
  ASSERT_EQ(files.size(), 1u);
  expectSameEntry(files[0], fullEntry());
  // Lines ending in LF alone read the same.
  std::string unix = text;
  std::erase(unix, '\r');
  expectSameEntry(readA(unix).at(0), fullEntry());
}

TEST(ListFormatA, RelativeNamesAreWrittenWithSlashes) {
  const auto text = writeFormatA({fullEntry()}, true);
  EXPECT_NE(text.find("\r\n/\x83\x5C\x83\x93/song.mid\r\n"), std::string::npos);
  EXPECT_EQ(readA(text).at(0).title, fullEntry().title);
}

TEST(ListFormatA, AnEntryEndingAfterItsTitleKeepsTheDefaults) {
  const auto files = readA("volta\r\n/a.mid\r\nA\r\n@\r\n/b.mid\r\nB\r\n12000\r\n@\r\n");
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].lengthMs, 0u);
  EXPECT_EQ(files[0].module, "");
  EXPECT_EQ(files[0].wrdState, 0);
  EXPECT_FALSE(files[0].smfKnife);
  EXPECT_EQ(files[1].fileName, "/b.mid");
  EXPECT_EQ(files[1].lengthMs, 12000u);
}

TEST(ListFormatA, TheEndOfTheFileEndsTheEntryOrTheList) {
  // A name without its title is dropped; an entry cut after its title is kept.
  EXPECT_EQ(readA("volta\n/a.mid\nA\n30\n@\n/b.mid\n").size(), 1u);
  const auto cut = readA("volta\n/a.mid\nA\n30");
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0].lengthMs, 30u);
  // An empty name line ends the list.
  EXPECT_EQ(readA("volta\n/a.mid\nA\n@\n\n/b.mid\nB\n@\n").size(), 1u);
}

TEST(ListFormatA, ALastLineWithoutLineFeedKeepsItsLastCharacter) {
  const auto files = readA("volta\r\n/a.mid\r\nTitle");
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].title, "Title");
  EXPECT_EQ(readA("volta\n/a.mid\nA\n1\n2\n\n0\n\n0\n1").at(0).smfKnife, true);
}

TEST(ListFormatA, LinesAfterTheNinthAreSkippedUpToTheAt) {
  const auto files = readA("volta\n/a.mid\nA\n1\n2\nm\n1\nGS\n2\n0\nextra\n/not-a-name\n@\n/b.mid\nB\n@\n");
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].portAssignType, 2);
  EXPECT_EQ(files[1].fileName, "/b.mid");
}

TEST(ListFormatA, NumbersAreReadAsTheCLibraryReadsThem) {
  const auto files = readA("volta\n/a\nA\n  4500ms\n-1\n\nx\n\n+2\n7\n@\n");
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].lengthMs, 4500u);
  EXPECT_EQ(files[0].measures, 0xFFFF);
  EXPECT_EQ(files[0].wrdState, 0);
  EXPECT_EQ(files[0].portAssignType, 2);
  EXPECT_TRUE(files[0].smfKnife);
  EXPECT_EQ(readA("volta\n/a\nA\n99999999999999999999\n@\n").at(0).lengthMs, 2147483647u);
}

TEST(ListFormatA, LongLinesAreReadWhole) {
  const std::string title(5000, 'T');
  const auto files = readA("volta\n/a.mid\n" + title + "\n100\n@\n/b.mid\nB\n@\n");
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].title, title);
  EXPECT_EQ(files[0].lengthMs, 100u);
}

TEST(ListFormatA, LineBreaksInsideTextsDoNotSplitTheEntry) {
  MIDIFile entry = fullEntry();
  entry.title = "two\r\nlines";
  const auto files = readA(writeFormatA({entry, fullEntry()}, false));
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].title, "two  lines");
  EXPECT_EQ(files[0].module, "SC-88");
  expectSameEntry(files[1], fullEntry());
}

TEST(ListFormatB, NamesQuotedOrToTheFirstBlankWithTheirModule) {
  const auto files = readFormatB(
      "\"C:\\My Songs\\a.mid\" /m:SC-55/x\r\n"
      "/songs/b.mid /q /M:MU80 tail\n"
      "/songs/c.mid\n"
      "\"/songs/unclosed.mid\n"
      "\n"
      "/songs/after-the-empty-line.mid\n");
  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(files[0].fileName, "C:\\My Songs\\a.mid");
  EXPECT_EQ(files[0].module, "SC-55");
  EXPECT_EQ(files[1].fileName, "/songs/b.mid");
  EXPECT_EQ(files[1].module, "MU80");
  EXPECT_EQ(files[2].module, "");
  EXPECT_EQ(files[3].fileName, "/songs/unclosed.mid");
  EXPECT_TRUE(readFormatB("").empty());
  EXPECT_TRUE(readFormatB("\"\" /M:GS\n").empty());
}

TEST(ListKinds, ByTheLastThreeCharacters) {
  EXPECT_EQ(listKindOf("a.tor"), ListKind::kTor);
  EXPECT_EQ(listKindOf("/x/LIST.TO2"), ListKind::kTo2);
  EXPECT_EQ(listKindOf("b.Myp"), ListKind::kMyp);
  EXPECT_EQ(listKindOf("a.mid"), ListKind::kNone);
  EXPECT_EQ(listKindOf("to"), ListKind::kNone);
}

TEST(ListSaving, ReplacesTheListWhole) {
  test::TempDir dir;
  const fs::path file = dir / "list.TO2";
  ASSERT_TRUE(saveListFile(file, "first"));
  ::chmod(file.c_str(), 0640);
  ASSERT_TRUE(saveListFile(file, "second"));
  const auto bytes = test::readFile(file);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "second");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms(0640));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(ListSaving, AFailedWriteKeepsTheOldFileAndSaysSo) {
  test::TempDir dir;
  EXPECT_FALSE(saveListFile(dir / "missing" / "list.TO2", "text"));
  // A folder in the way cannot be replaced; nothing is left behind.
  fs::create_directories(dir / "taken.TO2" / "inside");
  EXPECT_FALSE(saveListFile(dir / "taken.TO2", "text"));
  EXPECT_TRUE(fs::is_directory(dir / "taken.TO2" / "inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(ListColumns, TitleWithSpaceCutAndUntitled) {
  MIDIFile entry;
  entry.title = "  A \x81\x40\x81\x40 B\x81\x40 ";
  EXPECT_EQ(titleColumn(entry, false), entry.title);
  EXPECT_EQ(titleColumn(entry, true), " A B");
  // 0x81 0x40 inside a double-byte character is no blank.
  entry.title = "\x88\x81\x40";
  EXPECT_EQ(titleColumn(entry, true), entry.title);
  for (const char* shown : {"", " ", "\x81\x40"}) {
    entry.title = shown;
    EXPECT_EQ(titleColumn(entry, false), "Untitled !!");
  }
  entry.title = " \x81\x40  ";
  EXPECT_EQ(titleColumn(entry, true), "Untitled !!");
  EXPECT_EQ(titleColumn(entry, false), entry.title);
}

TEST(ListColumns, FileLengthArchiveAndModule) {
  MIDIFile entry = fullEntry();
  EXPECT_EQ(fileColumn(entry), "IN.RCP");
  EXPECT_EQ(lzhColumn(entry), "LZH");
  EXPECT_EQ(moduleColumn(entry), "SC-88");
  EXPECT_EQ(lengthColumn(entry), "03:03");
  entry.archiveMember.clear();
  entry.module.clear();
  entry.lengthMs = 0;
  EXPECT_EQ(fileColumn(entry), "song.mid");
  EXPECT_EQ(lzhColumn(entry), "");
  EXPECT_EQ(moduleColumn(entry), "Auto");
  EXPECT_EQ(lengthColumn(entry), "");
  // The backslash that is the second byte of a double-byte character separates nothing.
  entry.fileName = "C:\\songs\\\x83\x5C\x83\x93.mid";
  EXPECT_EQ(fileColumn(entry), "\x83\x5C\x83\x93.mid");
  entry.fileName = "plain.mid";
  EXPECT_EQ(fileColumn(entry), "plain.mid");
  // UTF-8 names of this system: a slash after a multi-byte character still separates.
  entry.fileName = "/ã/ã.mid";
  EXPECT_EQ(fileColumn(entry), "ã.mid");
}

}  // namespace
}  // namespace volta::core
