// libunlha32.so as the player uses it: archives built here (every header level, the
// stored methods and Huffman streams), Shift-JIS names, folders, hostile members, a
// full disk; archives made by the installed `lha` and the real ones of the corpus when
// they are there.

#include "outside/unlha32/unlha32.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <fstream>

#include "player/core/lzh_archives.h"
#include "player/core/unlha_library.h"
#include "tests/support/lzh_writer.h"
#include "tests/support/test_support.h"

namespace volta {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::LzhMember;

Bytes bytesOf(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

// Bytes that no run-length trick shortens, as a song's are not.
Bytes noise(std::size_t size, unsigned seed) {
  Bytes out(size);
  for (std::size_t i = 0; i < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    out[i] = static_cast<std::uint8_t>(seed >> 16);
  }
  return out;
}

std::vector<std::string> namesOf(const std::vector<core::UnlhaMember>& members) {
  std::vector<std::string> names;
  for (const auto& member : members)
    names.push_back(member.name);
  return names;
}

// Every file below a folder, as names relative to it.
std::vector<std::string> filesBelow(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& item : fs::recursive_directory_iterator(folder))
    if (!item.is_directory()) names.push_back(fs::relative(item.path(), folder).string());
  std::sort(names.begin(), names.end());
  return names;
}

class UnlhaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library_.available()) << "libunlha32.so is not in " << test::binDir();
    fs::create_directory(folder_, error_);
    fs::permissions(folder_, fs::perms::owner_all);
  }
  fs::path archive(const std::vector<LzhMember>& members, const std::string& name = "pack.lzh") {
    const fs::path path = dir_ / name;
    test::writeFile(path, test::buildLzh(members));
    return path;
  }
  // Runs the player's command line on the archive for the patterns; the library's result.
  int extract(const fs::path& file, const std::vector<std::string>& patterns) {
    std::string command = "e -a0 -c -m1 -n -f1 -y1 \"" + file.string() + "\" \"" + folder_.string() + "/\"";
    for (const std::string& pattern : patterns)
      command += " \"" + pattern + "\"";
    return library_.run(command, output_);
  }
  Bytes extracted(const std::string& name) const { return test::readFile(folder_ / name); }

  test::TempDir dir_;
  fs::path folder_ = dir_ / "VOLTALZH";
  core::UnlhaLibrary library_{test::binDir()};
  std::string output_;
  std::error_code error_;
};

TEST_F(UnlhaTest, EveryHeaderLevelAndEveryMethodWeWriteListsAndExtracts) {
  const Bytes song = noise(70000, 1);  // more than one Huffman block
  for (int level = 0; level <= 3; ++level) {
    for (const std::string method : {"-lh0-", "-lz4-", "-pm0-", "-lh5-", "-lh6-", "-lh7-"}) {
      SCOPED_TRACE("level " + std::to_string(level) + " " + method);
      const fs::path file = archive({{"SONG.MID", song, method, level}, {"EMPTY.TXT", {}, method, level}});
      const auto members = library_.list(file);
      ASSERT_EQ(namesOf(members), (std::vector<std::string>{"SONG.MID", "EMPTY.TXT"}));
      EXPECT_EQ(members[0].size, song.size());
      ASSERT_EQ(extract(file, {"*.*"}), 0) << output_;
      EXPECT_EQ(extracted("SONG.MID"), song);
      EXPECT_TRUE(extracted("EMPTY.TXT").empty());
    }
  }
}

// "ソング" has 0x5C as a second byte and "グ" 0x4F ("O"): neither may become a folder or
// a lower-case letter.
TEST_F(UnlhaTest, ShiftJisNamesAreDecodedThroughCp932AtEveryLevel) {
  const std::string song = "\x83\x5C\x83\x93\x83\x4F.MID";
  const std::string folder = "\x8B\xC8/";  // "曲"
  for (int level = 0; level <= 3; ++level) {
    SCOPED_TRACE("level " + std::to_string(level));
    const fs::path file =
        archive({{folder + song, bytesOf("MThd"), "-lh0-", level}, {"README.TXT", {}, "-lh0-", level}});
    EXPECT_EQ(namesOf(library_.list(file)), (std::vector<std::string>{"曲/ソング.MID", "README.TXT"}));
    ASSERT_EQ(extract(file, {"曲/ソング.MID"}), 0) << output_;
    EXPECT_EQ(extracted("曲/ソング.MID"), bytesOf("MThd"));
  }
}

TEST_F(UnlhaTest, UnixArchivesKeepTheirUtf8Names) {
  const fs::path file = archive({{"曲/ソング.mid", {1}, "-lh0-", 2, 'U'}});
  EXPECT_EQ(namesOf(library_.list(file)), std::vector<std::string>{"曲/ソング.mid"});
}

TEST_F(UnlhaTest, FoldersAreKeptAndNestedArchivesAreMembersLikeAnyOther) {
  const Bytes inner = test::buildLzh({{"IN.MID", {1, 2}}});
  const fs::path file = archive({{"A/B/SONG.MID", {3}, "-lh5-", 1}, {"INNER.LZH", inner}, {"A/", {}, "-lhd-", 2}});
  EXPECT_EQ(namesOf(library_.list(file)), (std::vector<std::string>{"A/B/SONG.MID", "INNER.LZH", "A"}));
  EXPECT_TRUE(library_.list(file)[2].folder);
  ASSERT_EQ(extract(file, {"*.LZH", "a/b/song.mid"}), 0) << output_;
  EXPECT_EQ(filesBelow(folder_), (std::vector<std::string>{"A/B/SONG.MID", "INNER.LZH"}));
  EXPECT_EQ(namesOf(library_.list(folder_ / "INNER.LZH")), std::vector<std::string>{"IN.MID"});
}

// Each hostile member is refused with a line that names it, the rest is extracted, and
// nothing lands outside the extraction folder.
TEST_F(UnlhaTest, MembersThatWouldLeaveTheFolderAreRefused) {
  const std::vector<LzhMember> hostile = {
      {"../x", {1}, "-lh0-", 2},
      {"/etc/x", {1}, "-lh0-", 0},
      {"a/../../x", {1}, "-lh0-", 2},
      {"..\\..\\x", {1}, "-lh0-", 0},
      {"C:x", {1}, "-lh0-", 1},
      {"d/lnk", {}, "-lhd-", 2, 'U', "/etc/passwd"},
      {"big", {1}, "-lh0-", 2, 'M', "", 0xFFFFFFF0u},
  };
  std::vector<LzhMember> members = hostile;
  members.push_back({"GOOD.MID", {7}});
  const fs::path file = archive(members);
  ASSERT_EQ(extract(file, {"*.*"}), UNLHA_ERROR_REFUSED);
  EXPECT_EQ(filesBelow(dir_.path()), (std::vector<std::string>{"VOLTALZH/GOOD.MID", "pack.lzh"}));
  for (const std::string name : {"../x", "/etc/x", "a/../../x", "C:x", "big"})
    EXPECT_NE(output_.find(name + ": refused"), std::string::npos) << name << " in\n" << output_;
  EXPECT_NE(output_.find("absolute"), std::string::npos);
  EXPECT_NE(output_.find("claims"), std::string::npos);
  EXPECT_NE(output_.find("symbolic link"), std::string::npos);
}

TEST_F(UnlhaTest, ABackslashInsideAnExtendedHeaderNameIsRefused) {
  const fs::path file = archive({{"a\\..\\..\\x.mid", {1}, "-lh0-", 2}});
  ASSERT_EQ(extract(file, {"*.*"}), UNLHA_ERROR_REFUSED);
  EXPECT_NE(output_.find("backslash"), std::string::npos) << output_;
  EXPECT_TRUE(filesBelow(folder_).empty());
}

TEST_F(UnlhaTest, AFolderPlantedAsALinkIsNotFollowed) {
  fs::create_directory(dir_ / "elsewhere");
  fs::create_directory_symlink(dir_ / "elsewhere", folder_ / "SUB");
  const fs::path file = archive({{"SUB/SONG.MID", {1}}});
  EXPECT_EQ(extract(file, {"*.*"}), UNLHA_ERROR_REFUSED);
  EXPECT_TRUE(fs::is_empty(dir_ / "elsewhere"));
  EXPECT_NE(output_.find("not a real folder"), std::string::npos) << output_;
}

TEST_F(UnlhaTest, AnExtractionFolderThatIsALinkIsRefused) {
  const fs::path link = dir_ / "link";
  fs::create_directory_symlink(folder_, link);
  const fs::path file = archive({{"SONG.MID", {1}}});
  const std::string command = "e \"" + file.string() + "\" \"" + link.string() + "/\" \"*.*\"";
  EXPECT_EQ(library_.run(command, output_), UNLHA_ERROR_FOLDER);
  EXPECT_TRUE(fs::is_empty(folder_));
}

TEST_F(UnlhaTest, DamagedDataLeaveNoFile) {
  Bytes bytes = test::buildLzh({{"SONG.MID", noise(100, 2)}});
  bytes[bytes.size() - 10] ^= 0xFF;
  test::writeFile(dir_ / "bad.lzh", bytes);
  EXPECT_EQ(extract(dir_ / "bad.lzh", {"*.*"}), UNLHA_ERROR_REFUSED);
  EXPECT_NE(output_.find("CRC"), std::string::npos) << output_;
  EXPECT_TRUE(fs::is_empty(folder_));
}

// A file-size limit stands in for a full disk: the write fails part-way.
TEST_F(UnlhaTest, AFullDiskLeavesNoHalfFile) {
  const fs::path file = archive({{"SONG.MID", noise(200000, 3), "-lh5-"}});
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 100000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int result = extract(file, {"SONG.MID"});
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(result, UNLHA_ERROR_REFUSED);
  EXPECT_NE(output_.find("cannot be written"), std::string::npos) << output_;
  EXPECT_TRUE(fs::is_empty(folder_));
}

TEST_F(UnlhaTest, NoMatchAndBadCommandsAndNonArchivesAreAnsweredNotFollowed) {
  const fs::path file = archive({{"SONG.MID", {1}}});
  EXPECT_EQ(extract(file, {"OTHER.MID"}), UNLHA_ERROR_NO_MEMBER);
  EXPECT_EQ(library_.run("l \"" + file.string() + "\"", output_), UNLHA_ERROR_COMMAND);
  EXPECT_EQ(library_.run("e \"open quote", output_), UNLHA_ERROR_COMMAND);
  test::writeFile(dir_ / "text.lzh", bytesOf("just some text, not an archive"));
  EXPECT_TRUE(library_.list(dir_ / "text.lzh").empty());
  EXPECT_EQ(UnlhaOpenArchive(nullptr, (dir_ / "text.lzh").c_str(), 0), nullptr);
  EXPECT_EQ(UnlhaOpenArchive(nullptr, (dir_ / "missing.lzh").c_str(), 0), nullptr);
  UnlhaMemberInfo info{};
  int junk = 0;
  EXPECT_EQ(UnlhaFindFirst(&junk, "*.*", &info), UNLHA_BAD_HANDLE);
  EXPECT_EQ(UnlhaFindNext(&junk, &info), UNLHA_BAD_HANDLE);
  EXPECT_EQ(UnlhaCloseArchive(&junk), UNLHA_BAD_HANDLE);
}

TEST_F(UnlhaTest, FindWalksTheMembersMatchingItsWildcardWithTheirRecords) {
  const fs::path file = archive({{"A.MID", noise(1000, 4), "-lh5-", 1}, {"B.TXT", {1}}, {"C.MID", {}}});
  UNLHA_ARCHIVE handle = UnlhaOpenArchive(nullptr, file.c_str(), 0x800202);
  ASSERT_NE(handle, nullptr);
  UnlhaMemberInfo info{};
  ASSERT_EQ(UnlhaFindFirst(handle, "*.mid", &info), UNLHA_FOUND);
  EXPECT_STREQ(info.fileName, "A.MID");
  EXPECT_STREQ(info.mode, "-lh5-");
  EXPECT_EQ(info.originalSize, 1000u);
  EXPECT_GT(info.ratio, 1000u);  // literals take more than they hold
  EXPECT_EQ(info.date, ((1996 - 1980) << 9) | (4 << 5) | 1);
  ASSERT_EQ(UnlhaFindNext(handle, &info), UNLHA_FOUND);
  EXPECT_STREQ(info.fileName, "C.MID");
  EXPECT_EQ(UnlhaFindNext(handle, &info), UNLHA_NO_MORE);
  EXPECT_EQ(UnlhaCloseArchive(handle), 0);
  EXPECT_EQ(UnlhaGetVersion(), 100);
}

TEST_F(UnlhaTest, ArchivesOfTheInstalledLhaToolExtract) {
  if (!test::commandsPresent({"lha"})) GTEST_SKIP() << "no lha tool installed";
  Bytes text;
  for (int i = 0; i < 400; ++i) {
    const std::string line = "line " + std::to_string(i % 37) + " of a text that repeats\n";
    text.insert(text.end(), line.begin(), line.end());
  }
  fs::create_directory(dir_ / "src");
  test::writeFile(dir_ / "src" / "DOC.TXT", text);
  test::writeFile(dir_ / "src" / "SONG.MID", noise(5000, 5));
  for (const std::string option : {"", "o6", "o7"}) {
    SCOPED_TRACE(option);
    const fs::path file = dir_ / ("made" + option + ".lzh");
    const std::string command = "cd '" + (dir_ / "src").string() + "' && lha a" + option + " '" + file.string() +
                                "' DOC.TXT SONG.MID >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(namesOf(library_.list(file)), (std::vector<std::string>{"DOC.TXT", "SONG.MID"}));
    ASSERT_EQ(extract(file, {"*.*"}), 0) << output_;
    EXPECT_EQ(extracted("DOC.TXT"), text);
    EXPECT_EQ(extracted("SONG.MID"), noise(5000, 5));
  }
}

// The real archives of other archivers (header levels 0 to 2, methods lh1, lh5 to lh7, a
// folder): every member extracts with its CRC right. liblhasa 0.3 has no -lh3- decoder:
// that member is refused with the method named.
TEST_F(UnlhaTest, TheCorpusArchivesListAndExtractWhole) {
  const fs::path corpus = test::corpusDir("lzh");
  if (corpus.empty()) GTEST_SKIP() << "no corpus";
  int archives = 0;
  for (const auto& item : fs::directory_iterator(corpus)) {
    if (item.path().extension() != ".lzh") continue;
    SCOPED_TRACE(item.path().filename().string());
    ++archives;
    const auto members = library_.list(item.path());
    EXPECT_FALSE(members.empty());
    fs::remove_all(folder_);
    fs::create_directory(folder_);
    const int result = extract(item.path(), {"*.*"});
    if (output_.find("(method -lh3-)") != std::string::npos) {
      EXPECT_EQ(result, UNLHA_ERROR_REFUSED);
      EXPECT_TRUE(fs::is_empty(folder_));
      continue;
    }
    ASSERT_EQ(result, 0) << output_;
    for (const auto& member : members) {
      if (member.folder) continue;
      EXPECT_EQ(fs::file_size(folder_ / member.name), member.size) << member.name;
    }
  }
  EXPECT_GT(archives, 0);
}

// ---- the player's side: the extraction folder and its cache ----

class LzhArchivesTest : public UnlhaTest {
 protected:
  core::LzhArchives archives_{test::binDir(), folder_};
};

TEST_F(LzhArchivesTest, AMemberComesWithItsCompanionsAndTheSameOneIsExtractedOnce) {
  const fs::path file = archive({{"SUB/SONG.MID", {1}},
                                 {"SUB/SONG.WRD", bytesOf("@WAIT")},
                                 {"SUB/SONG.TXT", bytesOf("doc")},
                                 {"SUB/SONG.TDF", bytesOf("[MIDI]")},
                                 {"SUB/OTHER.MID", {2}},
                                 {"SONG.TXT", bytesOf("not this folder")}});
  const auto song = archives_.extract(file, "SUB/SONG.MID");
  ASSERT_TRUE(song) << archives_.lastMessage();
  EXPECT_EQ(*song, folder_ / "SUB/SONG.MID");
  EXPECT_EQ(filesBelow(folder_),
            (std::vector<std::string>{"SUB/SONG.MID", "SUB/SONG.TDF", "SUB/SONG.TXT", "SUB/SONG.WRD"}));
  // A mark in the extracted file survives asking for the same member again.
  test::writeFile(*song, {9});
  EXPECT_EQ(archives_.extract(file, "SUB/SONG.MID"), song);
  EXPECT_EQ(test::readFile(*song), Bytes{9});
}

TEST_F(LzhArchivesTest, AnotherMemberFirstDeletesWhatTheLastExtractionWrote) {
  const fs::path file = archive({{"A/ONE.MID", {1}}, {"A/ONE.DOC", {1}}, {"TWO.MID", {2}}});
  ASSERT_TRUE(archives_.extract(file, "A/ONE.MID"));
  ASSERT_TRUE(archives_.extract(file, "TWO.MID"));
  EXPECT_EQ(filesBelow(folder_), std::vector<std::string>{"TWO.MID"});
  EXPECT_FALSE(fs::exists(folder_ / "A"));
  archives_.cleanUp();
  EXPECT_TRUE(fs::is_empty(folder_));
}

TEST_F(LzhArchivesTest, WhatIsLeftGoesWithTheObject) {
  const fs::path file = archive({{"ONE.MID", {1}}});
  const int uses = core::UnlhaLibrary::uses();
  {
    core::LzhArchives archives(test::binDir(), folder_);
    ASSERT_TRUE(archives.extract(file, "ONE.MID"));
    EXPECT_EQ(core::UnlhaLibrary::uses(), uses + 1);
  }
  EXPECT_TRUE(fs::is_empty(folder_));
  EXPECT_EQ(core::UnlhaLibrary::uses(), uses);
}

TEST_F(LzhArchivesTest, RefusalsComeWithTheLibrarysReason) {
  const fs::path file = archive({{"../UP.MID", {1}}, {"BIG.MID", {1}, "-lh0-", 2, 'M', "", 0x7FFFFFFF}});
  EXPECT_FALSE(archives_.extract(file, "../UP.MID"));
  EXPECT_EQ(archives_.lastMessage(), "refused: its path leaves the extraction folder");
  EXPECT_FALSE(archives_.extract(file, "BIG.MID"));
  EXPECT_EQ(archives_.lastMessage(), "refused: it claims 2147483647 bytes");
  EXPECT_FALSE(archives_.extract(file, "NONE.MID"));
  EXPECT_EQ(archives_.lastMessage(), "not found in the archive");
}

TEST_F(LzhArchivesTest, TheMembersListedAreFilesOnlyAndTheirScriptsAreFoundBesideThem) {
  const fs::path file = archive({{"D/", {}, "-lhd-"}, {"D/S.RCP", {1}}, {"D/s.sry", {1}}, {"T.MID", {1}}});
  const auto members = archives_.memberNames(file);
  EXPECT_EQ(members, (std::vector<std::string>{"D/S.RCP", "D/s.sry", "T.MID"}));
  EXPECT_TRUE(core::hasScriptMember(members, "D/S.RCP"));
  EXPECT_FALSE(core::hasScriptMember(members, "T.MID"));
}

TEST(ExtractionFolder, IsPrivateAndNeverALink) {
  test::TempDir dir;
  const auto folder = core::makeExtractionFolder(dir.path());
  ASSERT_TRUE(folder);
  EXPECT_EQ(*folder, dir / "VOLTALZH");
  struct stat info {};
  ASSERT_EQ(::stat(folder->c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_EQ(core::makeExtractionFolder(dir.path()), folder);  // made once, found again

  fs::permissions(*folder, fs::perms::others_read, fs::perm_options::add);
  EXPECT_FALSE(core::makeExtractionFolder(dir.path()));
  test::TempDir other;
  fs::create_directory(other / "target");
  fs::create_directory_symlink(other / "target", other / "VOLTALZH");
  EXPECT_FALSE(core::makeExtractionFolder(other.path()));
}

}  // namespace
}  // namespace volta
