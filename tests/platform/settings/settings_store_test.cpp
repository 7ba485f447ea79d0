#include "platform/settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "tests/support/test_support.h"

namespace volta::platform::settings {
namespace {

using Bytes = std::vector<std::uint8_t>;

class SettingsStoreTest : public ::testing::Test {
 protected:
  std::filesystem::path file() const { return dir_ / "QZ" / "VOLTA.conf"; }
  void writeRaw(const std::string& text) {
    std::filesystem::create_directories(file().parent_path());
    std::ofstream(file(), std::ios::binary) << text;
  }
  test::TempDir dir_;
  SettingsStore store_{file()};
};

TEST(SettingsPath, ConfigHomeVariableStandsForDotConfig) {
  const char* saved = std::getenv("VOLTA_CONFIG_HOME");
  const std::string previous = saved ? saved : "";
  ::setenv("VOLTA_CONFIG_HOME", "/some/where", 1);
  EXPECT_EQ(SettingsStore::defaultPath(), std::filesystem::path("/some/where/QZ/VOLTA.conf"));
  ::unsetenv("VOLTA_CONFIG_HOME");
  ::setenv("XDG_CONFIG_HOME", "/xdg", 1);
  EXPECT_EQ(SettingsStore::defaultPath(), std::filesystem::path("/xdg/QZ/VOLTA.conf"));
  ::unsetenv("XDG_CONFIG_HOME");
  if (saved) ::setenv("VOLTA_CONFIG_HOME", previous.c_str(), 1);
}

TEST_F(SettingsStoreTest, MissingFileAndMissingValuesGiveDefaults) {
  EXPECT_EQ(store_.readInt(kMainKey, "AutoScan", 1), 1);
  EXPECT_EQ(store_.readString(kMainKey, "DefaultModule", "THRU"), "THRU");
  EXPECT_EQ(store_.readBinary(kMainKey, "FrameMode", Bytes(5, 0)), Bytes(5, 0));
  ASSERT_TRUE(store_.writeInt(kMainKey, "AutoDoc", 0));
  EXPECT_EQ(store_.readInt(kMainKey, "AutoScan", 1), 1);
  EXPECT_EQ(store_.readInt(kMainKey, "AutoDoc", 1), 0);
}

TEST_F(SettingsStoreTest, ValuesRoundTripWithTheirTypes) {
  Bytes allBytes;
  for (int i = 0; i < 256; ++i)
    allBytes.push_back(static_cast<std::uint8_t>(i));
  const std::string tricky =
      " a;b,c=d \"q\" \\ @x \t\n\x01"
      "1 end ";
  const std::string shiftJis = "\x83\x65\x83\x58\x83\x67";  // not UTF-8: kept as bytes
  ASSERT_TRUE(store_.apply(SettingsBatch()
                               .setInt(kMainKey, "MIDITemplateMode", -1)
                               .setInt(kMainKey, "BackLight", static_cast<std::int32_t>(0xFFFFFFFF))
                               .setString(kMainKey, "Tricky", tricky)
                               .setString(kMainKey, "AtSign", "@Variant(x)")
                               .setString(kMainKey, "Japanese", "曲名")
                               .setString(kMainKey, "Sjis", shiftJis)
                               .setString(kMainKey, "Empty", "")
                               .setBinary(kMainKey, "AllBytes", allBytes)
                               .setBinary(kMainKey, "NoBytes", {})));
  SettingsStore other(file());  // a second program reading the same file
  EXPECT_EQ(other.readInt(kMainKey, "MIDITemplateMode", 0), -1);
  EXPECT_EQ(other.readInt(kMainKey, "BackLight", 0), -1);
  EXPECT_EQ(other.readString(kMainKey, "Tricky", ""), tricky);
  EXPECT_EQ(other.readString(kMainKey, "AtSign", ""), "@Variant(x)");
  EXPECT_EQ(other.readString(kMainKey, "Japanese", ""), "曲名");
  EXPECT_EQ(other.readString(kMainKey, "Sjis", ""), shiftJis);
  EXPECT_EQ(other.readString(kMainKey, "Empty", "x"), "");
  EXPECT_EQ(other.readBinary(kMainKey, "AllBytes", {}), allBytes);
  EXPECT_EQ(other.readBinary(kMainKey, "NoBytes", {1}), Bytes{});
}

TEST_F(SettingsStoreTest, AValueOfAnotherTypeKeepsTheDefault) {
  ASSERT_TRUE(store_.apply(
      SettingsBatch().setString(kMainKey, "Text", "abc").setBinary(kMainKey, "Blob", {1, 2}).setInt(kMainKey, "N", 7)));
  EXPECT_EQ(store_.readInt(kMainKey, "Text", 5), 5);
  EXPECT_EQ(store_.readBinary(kMainKey, "Text", {9}), Bytes{9});
  EXPECT_EQ(store_.readString(kMainKey, "Blob", "d"), "d");
  EXPECT_EQ(store_.readInt(kMainKey, "Blob", 3), 3);
  EXPECT_EQ(store_.readString(kMainKey, "N", ""), "7");  // a number reads as its text
}

TEST_F(SettingsStoreTest, SubKeysAreSeparateAndNamesIgnoreCase) {
  ASSERT_TRUE(store_.apply(SettingsBatch()
                               .setString(kMainKey, "Module", "SC-88")
                               .setString(midiTemplateKey(3), "Module", "MU80")
                               .setString(midiTemplateKey(3), "PORT_A", "Trace")
                               .setInt(subKey("Album"), "Counts", 2)
                               .setString(subKey("Album"), "0", "a.mid")
                               .setInt(subKey("NewKeyConfigTable"), "2000-1", 1089)));
  EXPECT_EQ(store_.readString(kMainKey, "Module", ""), "SC-88");
  EXPECT_EQ(store_.readString("software\\qz\\volta\\miditemplate3", "module", ""), "MU80");
  EXPECT_EQ(store_.readInt(subKey("ALBUM"), "counts", 0), 2);
  EXPECT_EQ(store_.readInt(subKey("NewKeyConfigTable"), "2000-1", 0), 1089);
  EXPECT_EQ(store_.valueNames(subKey("Album")), (std::vector<std::string>{"0", "Counts"}));
  EXPECT_EQ(store_.valueNames(kMainKey), std::vector<std::string>{"Module"});

  ASSERT_TRUE(store_.writeString(kMainKey, "MODULE", "MU50"));  // replaces, keeps the first spelling
  EXPECT_EQ(store_.valueNames(kMainKey), std::vector<std::string>{"Module"});
  EXPECT_EQ(store_.readString(kMainKey, "module", ""), "MU50");

  ASSERT_TRUE(store_.removeKey(subKey("Album")));
  EXPECT_FALSE(store_.contains(subKey("Album"), "Counts"));
  EXPECT_TRUE(store_.contains(midiTemplateKey(3), "PORT_A"));
  ASSERT_TRUE(store_.removeValue(midiTemplateKey(3), "PORT_A"));
  EXPECT_EQ(store_.readString(midiTemplateKey(3), "PORT_A", "MIDI Mapper"), "MIDI Mapper");
}

TEST_F(SettingsStoreTest, KeysOutsideTheMainKeyAreNeitherReadNorWritten) {
  ASSERT_TRUE(store_.apply(SettingsBatch()
                               .setInt("Software\\Other", "X", 1)
                               .setInt("Software\\QZ\\VOLTAX", "X", 1)
                               .setInt(subKey(""), "X", 1)
                               .setInt(kMainKey, "a/b", 1)
                               .setInt(kMainKey, "Kept", 1)));
  EXPECT_EQ(store_.readInt("Software\\Other", "X", 0), 0);
  EXPECT_EQ(store_.readInt(kMainKey, "a/b", 0), 0);
  EXPECT_EQ(store_.valueNames(kMainKey), std::vector<std::string>{"Kept"});
}

TEST_F(SettingsStoreTest, CorruptLinesKeepTheirDefaultsAndSpareTheOthers) {
  writeRaw(std::string("[General]\nAutoScan=0\n\x01\x02\xff garbage\nLastVolume=abc\n[Album\nCounts=5\n") +
           "[MIDITemplate0]\nModule=MU80\n=novalue\n" + std::string(1, '\0') + "\n");
  EXPECT_EQ(store_.readInt(kMainKey, "AutoScan", 1), 0);
  EXPECT_EQ(store_.readInt(kMainKey, "LastVolume", 127), 127);
  EXPECT_EQ(store_.readInt(subKey("Album"), "Counts", 0), 0);  // under a broken header
  EXPECT_EQ(store_.readString(midiTemplateKey(0), "Module", "THRU"), "MU80");

  ASSERT_TRUE(store_.writeInt(kMainKey, "LastVolume", 100));
  EXPECT_EQ(store_.readInt(kMainKey, "AutoScan", 1), 0);
  EXPECT_EQ(store_.readString(midiTemplateKey(0), "Module", "THRU"), "MU80");
  EXPECT_EQ(store_.readInt(kMainKey, "LastVolume", 127), 100);
  EXPECT_TRUE(std::filesystem::exists(file().string() + ".bad.1"));  // the old text is not thrown away
  EXPECT_EQ(store_.takeSetAside(), std::filesystem::path(file().string() + ".bad.1"));
  EXPECT_EQ(store_.takeSetAside(), std::nullopt);  // told once
}

TEST_F(SettingsStoreTest, TheLastThreeCorruptFilesAreKeptNewestFirst) {
  for (int n = 1; n <= 4; ++n) {
    writeRaw("[General]\n\x01 broken " + std::to_string(n) + "\n");
    ASSERT_TRUE(store_.writeInt(kMainKey, "LastVolume", n));
  }
  for (int n = 1; n <= 3; ++n)
    EXPECT_NE(test::readText(file().string() + ".bad." + std::to_string(n)).find("broken " + std::to_string(5 - n)),
              std::string::npos)
        << n;
  EXPECT_FALSE(std::filesystem::exists(file().string() + ".bad.4"));
}

TEST_F(SettingsStoreTest, ABinaryFileReadsAsDefaults) {
  std::string junk;
  for (int i = 0; i < 4096; ++i)
    junk += static_cast<char>((i * 7919) & 0xFF);
  writeRaw(junk);
  EXPECT_EQ(store_.readString(kMainKey, "Module", "THRU"), "THRU");
  ASSERT_TRUE(store_.writeString(kMainKey, "Module", "GM"));
  EXPECT_EQ(store_.readString(kMainKey, "Module", "THRU"), "GM");
}

TEST_F(SettingsStoreTest, AWriteReplacesTheFileInsteadOfRewritingIt) {
  ASSERT_TRUE(store_.writeString(kMainKey, "LastList", "old.to2"));
  std::ifstream oldFile(file(), std::ios::binary);  // a reader that opened the file before the write
  ASSERT_TRUE(store_.writeString(kMainKey, "LastList", std::string(10000, 'n')));
  const std::string oldText{std::istreambuf_iterator<char>(oldFile), std::istreambuf_iterator<char>()};
  EXPECT_EQ(parseIni(oldText).entries.at("LASTLIST").value.data, "old.to2");
  for (const auto& entry : std::filesystem::directory_iterator(file().parent_path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "VOLTA.conf" || name == "VOLTA.conf.lock") << name;  // no temporary left over
  }
}

TEST_F(SettingsStoreTest, ChangesByAnotherProgramAreSeen) {
  ASSERT_TRUE(store_.writeInt(kMainKey, "SortMode", 1));
  EXPECT_EQ(store_.readInt(kMainKey, "SortMode", 0), 1);
  SettingsStore other(file());
  ASSERT_TRUE(other.writeInt(kMainKey, "SortMode", 4));
  EXPECT_EQ(store_.readInt(kMainKey, "SortMode", 0), 4);
}

TEST_F(SettingsStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
  constexpr int kWrites = 30;
  pid_t children[2];
  for (int child = 0; child < 2; ++child) {
    children[child] = ::fork();
    ASSERT_GE(children[child], 0);
    if (children[child] == 0) {
      SettingsStore own(file());
      bool ok = true;
      for (int i = 0; i < kWrites; ++i) {
        ok = own.writeInt(subKey("P" + std::to_string(child)), "V" + std::to_string(i), i) && ok;
        ok = own.writeString(kMainKey, "Shared", std::string(200 + i, static_cast<char>('a' + child))) && ok;
      }
      ::_exit(ok ? 0 : 1);
    }
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const IniDocument doc = parseIni(test::readText(file()));
  EXPECT_EQ(doc.malformedLines, 0u);
  for (int child = 0; child < 2; ++child) {
    for (int i = 0; i < kWrites; ++i) {
      EXPECT_EQ(store_.readInt(subKey("P" + std::to_string(child)), "V" + std::to_string(i), -1), i);
    }
  }
  const std::string shared = store_.readString(kMainKey, "Shared", "");
  EXPECT_EQ(shared.size(), 200u + kWrites - 1);
}

}  // namespace
}  // namespace volta::platform::settings
