#include "platform/settings/ini_codec.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace volta::platform::settings {
namespace {

IniEntries entriesOf(std::initializer_list<IniEntry> list) {
  IniEntries entries;
  for (const IniEntry& entry : list)
    entries.emplace(text::upperAscii(entry.path), entry);
  return entries;
}

std::string textOf(std::string_view ini, const std::string& path) {
  const IniDocument doc = parseIni(ini);
  const auto found = doc.entries.find(text::upperAscii(path));
  return found == doc.entries.end() ? "<missing>" : found->second.value.data;
}

TEST(IniCodec, WritesTheLayoutOfQSettings) {
  using K = IniValue::Kind;
  const std::string text = formatIni(entriesOf({
      {"Module", {K::kText, "SC-88"}},
      {"AutoScan", {K::kText, "1"}},
      {"Frame0", {K::kBinary, std::string("\n\0\0\x31", 4)}},
      {"Album/Counts", {K::kText, "2"}},
      {"Album/0", {K::kText, "a b;c"}},
      {"General/X", {K::kText, " pad "}},
      {"Key Table/%d-1", {K::kText, "@at"}},
  }));
  EXPECT_EQ(text,
            "[General]\nAutoScan=1\nFrame0=@ByteArray(\\n\\0\\0\\x31)\nModule=SC-88\n\n"
            "[Album]\n0=\"a b;c\"\nCounts=2\n\n"
            "[%General]\nX=\" pad \"\n\n"
            "[Key%20Table]\n%25d-1=@@at\n");
}

TEST(IniCodec, ReadsWhatQSettingsWrites) {
  const std::string ini =
      "; a comment\n"
      "[General]\r\n"
      "key%20with%20space=1\n"
      "nested\\sub=2\n"
      "Quoted=\"a, b\"\n"
      "List=a, b\n"
      "Hex=\\x41\\x42\n"
      "Octal=\\101\n"
      "Wide=\\x65e5\n"
      "Trailing=value ; comment\n"
      "Spaces=   padded   \n"
      "Bytes=@ByteArray(\\0\\xff)\n"
      "Variant=@Variant(\\0\\0\\0\\x7f)\n"
      "[%General]\n"
      "Y=3\n";
  EXPECT_EQ(textOf(ini, "key with space"), "1");
  EXPECT_EQ(textOf(ini, "nested/sub"), "2");
  EXPECT_EQ(textOf(ini, "Quoted"), "a, b");
  EXPECT_EQ(textOf(ini, "List"), "a, b");
  EXPECT_EQ(textOf(ini, "Hex"), "AB");
  EXPECT_EQ(textOf(ini, "Octal"), "A");
  EXPECT_EQ(textOf(ini, "Wide"), "日");
  EXPECT_EQ(textOf(ini, "Trailing"), "value");
  EXPECT_EQ(textOf(ini, "Spaces"), "padded");
  EXPECT_EQ(textOf(ini, "Bytes"), std::string("\0\xff", 2));
  EXPECT_EQ(textOf(ini, "General/Y"), "3");

  const IniDocument doc = parseIni(ini);
  EXPECT_EQ(doc.malformedLines, 0u);
  EXPECT_EQ(doc.entries.at("VARIANT").value.kind, IniValue::Kind::kOpaque);
  // A type this store does not read is written back unchanged.
  EXPECT_NE(formatIni(doc.entries).find("Variant=@Variant(\\0\\0\\0\\x7f)\n"), std::string::npos);
}

TEST(IniCodec, BadLinesAreCountedAndSkipped) {
  const IniDocument doc = parseIni("no equals\n[General]\n=x\n[]\n[Open\nA=1\n[Ok]\nB=2\n");
  EXPECT_EQ(doc.malformedLines, 5u);  // "no equals", "=x", "[]", "[Open", and A under the broken header
  ASSERT_EQ(doc.entries.size(), 1u);
  EXPECT_EQ(doc.entries.at("OK/B").value.data, "2");
}

TEST(IniCodec, KeysWithAnEmptyPartNameNoValue) {
  // Written back, "X/" would become an empty name under [X], which reads as malformed.
  const IniDocument doc = parseIni("[General]\nX/=1\n/Y=2\nA//B=3\nA/B=4\n");
  EXPECT_EQ(doc.malformedLines, 3u);
  ASSERT_EQ(doc.entries.size(), 1u);
  EXPECT_EQ(parseIni(formatIni(doc.entries)).entries.at("A/B").value.data, "4");
}

TEST(IniCodec, LaterDuplicatesWinWithoutRegardToCase) {
  EXPECT_EQ(textOf("[General]\nModule=A\nMODULE=B\n", "module"), "B");
}

}  // namespace
}  // namespace volta::platform::settings
