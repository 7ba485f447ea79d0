// The command-line front end: several songs, explicit outputs, failures reported.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tests/converter/converter_fixture.h"
#include "tests/support/test_support.h"

namespace volta::converter::testing {
namespace {

int runTool(const std::string& arguments, const test::TempDir& dir) {
  const auto tool = test::binDir() / "volta-convert";
  const std::string command = "'" + tool.string() + "' " + arguments + " > '" + (dir / "log").string() + "' 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(VoltaConvert, ConvertsSeveralSongsAndNamesFailures) {
  if (!std::filesystem::exists(test::binDir() / "volta-convert")) GTEST_SKIP() << "tool not built";
  test::TempDir dir;
  test::RcpWriter rcp(false);
  rcp.addTrack().add(0x3C, 10, 5, 100).end();
  test::RcpWriter g36(true);
  g36.addTrack().add(0x3C, 10, 5, 100).end();
  test::writeFile(dir / "a.rcp", rcp.build());
  test::writeFile(dir / "b.G36", g36.build());
  const std::string a = (dir / "a.rcp").string();
  const std::string out = (dir / "first.mid").string();
  const std::string b = (dir / "b.G36").string();
  EXPECT_EQ(runTool("'" + a + "' '" + out + "' '" + b + "'", dir), 0) << test::readText(dir / "log");
  for (const char* name : {"first.mid", "b.mid"}) {
    const auto bytes = test::readFile(dir / name);
    EXPECT_TRUE(readSmf(bytes.data(), bytes.size()).error.empty()) << name;
  }
  EXPECT_NE(test::readText(dir / "log").find("first.mid"), std::string::npos);

  EXPECT_EQ(runTool("'" + (dir / "missing.rcp").string() + "' '" + a + "'", dir), 1);
  EXPECT_NE(test::readText(dir / "log").find("missing.rcp: no such file"), std::string::npos);
  EXPECT_EQ(runTool("", dir), 2);
}

}  // namespace
// Collections hold G36 songs named .rcp: converted by their header, they keep their
// 36 tracks (and the conductor) and their notes.
TEST(VoltaConvert, AG36SongNamedRcpConvertsAsG36) {
  if (!std::filesystem::exists(test::binDir() / "volta-convert")) GTEST_SKIP() << "tool not built";
  test::TempDir dir;
  test::RcpWriter g36(true);
  for (int track = 0; track < 36; ++track) {
    auto& part = g36.addTrack(static_cast<std::uint8_t>(track % 16));
    if (track < 8) part.add(static_cast<std::uint8_t>(0x3C + track), 48, 40, 100);
    part.end();
  }
  test::writeFile(dir / "song.rcp", g36.build());
  EXPECT_EQ(runTool("'" + (dir / "song.rcp").string() + "'", dir), 0) << test::readText(dir / "log");
  const auto bytes = test::readFile(dir / "song.mid");
  const SmfFile smf = readSmf(bytes.data(), bytes.size());
  ASSERT_TRUE(smf.error.empty()) << smf.error;
  EXPECT_EQ(smf.tracks.size(), 37u);
  EXPECT_EQ(smf.division, 48);
  int notes = 0;
  for (const auto& track : smf.tracks)
    notes += static_cast<int>(std::count_if(track.begin(), track.end(), [](const SmfEvent& e) {
      return (e.status & 0xF0) == 0x90 && e.data.size() == 2 && e.data[1] > 0;
    }));
  EXPECT_EQ(notes, 8);
}

}  // namespace volta::converter::testing
