#include "player/core/documents.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/test_support.h"

namespace volta::core {
namespace {

void writeText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string heading(const std::string& extension) {
  return "\r\n\x01\x05    " + extension + " File\r\n\r\n";
}
const std::string kReport = "\x01\x07    VOLTA Player report\r\n\x01r";

TEST(ReadTextFile, DropsEndMarkerAndMacBinaryHeaderAndMendsLoneCr) {
  test::TempDir dir;
  writeText(dir / "a.txt", "one\rtwo\r\nthree\x1A\x1A");
  EXPECT_EQ(readTextFile(dir / "a.txt"), "one\r\ntwo\r\nthree\x1A");  // only the final 0x1A goes

  std::string macBinary(128, '\0');
  macBinary.replace(65, 4, "TeXt");
  macBinary += "body\r";
  macBinary += std::string(50, '\0');  // padding of the data fork
  writeText(dir / "mac.doc", macBinary);
  EXPECT_EQ(readTextFile(dir / "mac.doc"), "body\r\n");

  std::string shortHeader(70, 'x');
  shortHeader.replace(65, 4, "TEXT");
  writeText(dir / "short.doc", shortHeader);
  EXPECT_EQ(readTextFile(dir / "short.doc"), "");

  EXPECT_FALSE(readTextFile(dir / "missing.txt"));
  EXPECT_FALSE(readTextFile(dir.path()));  // a folder is no text
}

class SongDocuments : public ::testing::Test {
 protected:
  std::filesystem::path song() const { return dir_ / "SONG.MID"; }
  test::TempDir dir_;
};

TEST_F(SongDocuments, CompanionsComeInTheirOrderWithHeadings) {
  writeText(song(), "MThd");
  writeText(dir_ / "SONG.TXT", "text");
  writeText(dir_ / "song.hed", "header");  // names differ in case on the disk
  writeText(dir_ / "SONG.DOC", "doc");
  writeText(dir_ / "SONG.\xEF\xBE\x8E\xEF\xBD\xBF\xEF\xBD\xB8", "supplement");  // UTF-8 katakana name
  const auto document = gatherDocuments(song(), true);
  ASSERT_TRUE(document);
  EXPECT_EQ(*document, heading("\xCE\xBF\xB8") + "supplement" + heading("HED") + "header" + heading("TXT") + "text" +
                           heading("DOC") + "doc");
  EXPECT_FALSE(gatherDocuments(song(), false));
}

TEST_F(SongDocuments, HedComesBeforeTxt) {
  writeText(dir_ / "SONG.TXT", "T");
  writeText(dir_ / "SONG.HED", "H");
  const auto found = findSongDocument(song(), true, true);
  EXPECT_EQ(found.text, heading("HED") + "H" + heading("TXT") + "T");
  EXPECT_EQ(found.source, SongDocument::Source::kCompanions);
  EXPECT_TRUE(found.found());
}

TEST_F(SongDocuments, ShiftJisKatakanaFileNameIsFoundToo) {
  writeText(dir_ / "SONG.\xCE\xBF\xB8", "sjis");
  EXPECT_EQ(gatherDocuments(song(), true), heading("\xCE\xBF\xB8") + "sjis");
}

TEST_F(SongDocuments, FolderReportTakesAtMostFourFilesInPatternOrder) {
  writeText(dir_ / "b.txt", "B");
  writeText(dir_ / "a.TXT", "A");
  writeText(dir_ / "z.doc", "Z");
  writeText(dir_ / "readme.hed", "R");
  writeText(dir_ / "c.txt", "C");
  writeText(dir_ / "notes.md", "no");
  const auto found = findSongDocument(song(), true, true);
  EXPECT_EQ(found.source, SongDocument::Source::kFolderReport);
  EXPECT_TRUE(found.found());
  const std::string entry = "\r\n\x01\x05    ";
  EXPECT_EQ(found.text, kReport + "Cannot find any document files, and display better some document file.\r\n" + entry +
                            "readme.hed\r\nR" + entry + "a.TXT\r\nA" + entry + "b.txt\r\nB" + entry + "c.txt\r\nC");
}

TEST_F(SongDocuments, NothingFoundGivesTheNoDocumentReport) {
  writeText(dir_ / "other.txt", "x");
  const std::string none = kReport + "No document files.\r\n";
  const auto settingOff = findSongDocument(song(), true, false);
  EXPECT_EQ(settingOff.text, none);
  EXPECT_FALSE(settingOff.found());
  const auto flagOff = findSongDocument(song(), false, true);
  EXPECT_EQ(flagOff.text, none);
  std::filesystem::remove(dir_ / "other.txt");
  EXPECT_EQ(findSongDocument(song(), true, true).text, none);
}

}  // namespace
}  // namespace volta::core
