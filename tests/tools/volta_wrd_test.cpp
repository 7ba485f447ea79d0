// volta-wrd end to end: a song and its script (WRD or Sherry) written here, rendered at times and
// measures by the tool in a separate process; the PNG files are decoded and their pixels checked.

#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/settings/settings_store.h"
#include "tests/player/wrd/sherry/sherry_writer.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"

namespace volta {
namespace {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::array<std::uint8_t, 3>> palette;
  std::vector<std::uint8_t> indices;

  std::array<std::uint8_t, 3> rgb(int x, int y) const {
    return palette.at(indices.at(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x));
  }
};

std::uint32_t bigEndian(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint32_t>(b.at(at)) << 24 | b.at(at + 1) << 16 | b.at(at + 2) << 8 | b.at(at + 3);
}

// The tool writes 8-bit indexed pictures, compressed.
Picture decodePng(const std::vector<std::uint8_t>& file) {
  Picture picture;
  std::vector<std::uint8_t> zlib;
  for (std::size_t at = 8; at + 8 <= file.size();) {
    const std::uint32_t length = bigEndian(file, at);
    const std::string type(file.begin() + static_cast<std::ptrdiff_t>(at + 4),
                           file.begin() + static_cast<std::ptrdiff_t>(at + 8));
    const auto data = file.begin() + static_cast<std::ptrdiff_t>(at + 8);
    if (type == "IHDR") {
      picture.width = static_cast<int>(bigEndian(file, at + 8));
      picture.height = static_cast<int>(bigEndian(file, at + 12));
      EXPECT_EQ(file.at(at + 16), 8);
      EXPECT_EQ(file.at(at + 17), 3);
    } else if (type == "PLTE") {
      for (std::uint32_t i = 0; i + 2 < length; i += 3)
        picture.palette.push_back({data[i], data[i + 1], data[i + 2]});
    } else if (type == "IDAT") {
      zlib.insert(zlib.end(), data, data + length);
    }
    at += 12 + length;
  }
  const std::size_t stride = static_cast<std::size_t>(picture.width) + 1;
  std::vector<std::uint8_t> raw(stride * static_cast<std::size_t>(picture.height));
  uLongf size = static_cast<uLongf>(raw.size());
  EXPECT_EQ(::uncompress(raw.data(), &size, zlib.data(), static_cast<uLong>(zlib.size())), Z_OK);
  raw.resize(size);
  EXPECT_EQ(raw.size(), stride * static_cast<std::size_t>(picture.height));
  for (std::size_t row = 0; row * stride < raw.size(); ++row) {
    EXPECT_EQ(raw[row * stride], 0);
    picture.indices.insert(picture.indices.end(), raw.begin() + static_cast<std::ptrdiff_t>(row * stride + 1),
                           raw.begin() + static_cast<std::ptrdiff_t>((row + 1) * stride));
  }
  return picture;
}

int run(const std::string& command) {
  return WEXITSTATUS(std::system(command.c_str()));
}

constexpr std::array<std::uint8_t, 3> kBlack{0, 0, 0};
constexpr std::array<std::uint8_t, 3> kWhite{255, 255, 255};
constexpr std::array<std::uint8_t, 3> kGreen{0, 255, 0};
constexpr std::array<std::uint8_t, 3> kRed{255, 0, 0};

class VoltaWrd : public ::testing::Test {
 protected:
  VoltaWrd() {
    // The tool reads the player's settings: a private file, which the tests fill in.
    setenv("VOLTA_CONFIG_HOME", (dir / "config").c_str(), 1);
    // Eight 4/4 measures at 120 beats a minute: two seconds a measure.
    test::SmfTrack track;
    track.tempo(0, 500000).timeSignature(0, 4, 2).noteOn(0, 0, 60, 100).noteOff(8 * 4 * 48, 0, 60).endOfTrack();
    test::writeFile(dir / "song.mid", test::SmfWriter(0, 48).track(track).build());
    // The header draws a green box; reversed blanks at the start, a red box in measure 2 and
    // four blanks at column 10, row 5 in measure 3.
    const std::string script =
        "@STARTUP(400);\r\n@COLOR(37;7);\r\n@GLINE(100,100,199,149,4,2,4)\r\n  \r\n"
        "@GLINE(300,200,399,299,2,2,2)\r\n@LOCATE(10,5);\r\n    \r\n";
    test::writeFile(dir / "SONG.WRD", std::vector<std::uint8_t>(script.begin(), script.end()));
  }

  ~VoltaWrd() override { unsetenv("VOLTA_CONFIG_HOME"); }

  std::string tool() const { return (test::binDir() / "volta-wrd").string(); }
  void setting(std::string_view name, std::int32_t value) const {
    platform::settings::SettingsStore(dir / "config" / "QZ" / "VOLTA.conf")
        .writeInt(platform::settings::kMainKey, name, value);
  }
  Picture picture(const std::string& name) const { return decodePng(test::readFile(dir / "out" / name)); }

  test::TempDir dir;
};

TEST_F(VoltaWrd, RendersTheScriptAtTimesAndMeasuresInTheOrderGiven) {
  ASSERT_EQ(run(tool() + " " + (dir / "song.mid").string() + " --at m1 --at m3 --at 1s --at 5.0s --out " +
                (dir / "out").string() + " --log " + (dir / "wrd.log").string()),
            0);
  const Picture startOfSong = picture("001.png");
  ASSERT_EQ(startOfSong.width, 640);
  ASSERT_EQ(startOfSong.height, 400);
  EXPECT_EQ(startOfSong.rgb(150, 120), kGreen);
  EXPECT_EQ(startOfSong.rgb(99, 120), kBlack);
  EXPECT_EQ(startOfSong.rgb(4, 8), kWhite);
  EXPECT_EQ(startOfSong.rgb(15, 15), kWhite);
  EXPECT_EQ(startOfSong.rgb(16, 8), kBlack);
  EXPECT_EQ(startOfSong.rgb(350, 250), kBlack);
  EXPECT_EQ(startOfSong.rgb(76, 72), kBlack);

  const Picture third = picture("002.png");
  EXPECT_EQ(third.rgb(150, 120), kGreen);
  EXPECT_EQ(third.rgb(350, 250), kRed);
  EXPECT_EQ(third.rgb(72, 64), kWhite);
  EXPECT_EQ(third.rgb(103, 79), kWhite);
  EXPECT_EQ(third.rgb(104, 72), kBlack);

  // One second is still in measure 1: going back shows the first screen again.
  EXPECT_EQ(picture("003.png").indices, startOfSong.indices);
  // Five seconds is in measure 3.
  EXPECT_EQ(picture("004.png").indices, third.indices);
  EXPECT_NE(test::readText(dir / "wrd.log").find("\t@GLINE\n"), std::string::npos);
}

TEST_F(VoltaWrd, SongWithoutScriptShowsTheBuiltInScreen) {
  std::filesystem::remove(dir / "SONG.WRD");
  ASSERT_EQ(
      run(tool() + " " + (dir / "song.mid").string() + " --at m2 --out " + (dir / "out").string() + " 2>/dev/null"), 0);
  const Picture builtIn = picture("001.png");
  // The built-in picture fills the screen; its frame line lies along row 8.
  EXPECT_NE(builtIn.rgb(320, 200), kBlack);
  EXPECT_EQ(builtIn.rgb(320, 8), builtIn.rgb(100, 8));
  // Compressed: the raw screen is 256 KB.
  EXPECT_LT(std::filesystem::file_size(dir / "out" / "001.png"), 32u * 1024);
}

TEST_F(VoltaWrd, RefusesBadArgumentsAndSongs) {
  const std::string song = (dir / "song.mid").string();
  EXPECT_EQ(run(tool() + " " + song + " --out " + (dir / "out").string() + " 2>/dev/null"), 2);
  EXPECT_EQ(run(tool() + " " + song + " --at 12x --out " + (dir / "out").string() + " 2>/dev/null"), 2);
  EXPECT_EQ(run(tool() + " " + song + " --at m99 --out " + (dir / "out").string() + " 2>/dev/null"), 1);
  test::writeFile(dir / "notes.txt", {1, 2, 3});
  EXPECT_EQ(
      run(tool() + " " + (dir / "notes.txt").string() + " --at m1 --out " + (dir / "out").string() + " 2>/dev/null"),
      1);
}

namespace sry = wrd::sherry::test;

// A Sherry script of file timebase 480 on the eight-measure song (timebase 48, so a measure is
// 480 script units): a green box shown before timing starts, and a red one reaching the bottom
// row that is due at the start of measure 2 and so shows once the song is past it.
sry::SherryWriter sherryBoxes() {
  sry::SherryWriter writer(480);
  writer.event(0x21, sry::ids({1}))
      .event(0x41, sry::setColour(1, 1, 0, 255, 0))
      .event(0x41, sry::setColour(1, 2, 255, 0, 0))
      .event(0x25, sry::newScreen(1, 640, 480, 0))
      .event(0x52, sry::box(1, 0, 100, 100, 199, 149, 1))
      .event(0x31, sry::ids({1}))
      .event(0x35, sry::Params().u16(1).u16(0).u16(0))
      .startTiming()
      .wait(480)
      .event(0x52, sry::box(1, 0, 300, 400, 399, 479, 2))
      .event(0x35, sry::Params().u16(1).u16(0).u16(0));
  return writer;
}

bool insideBox(const Picture& picture, int x1, int y1, int x2, int y2, std::array<std::uint8_t, 3> colour) {
  return picture.rgb(x1, y1) == colour && picture.rgb(x2, y2) == colour && picture.rgb(x1 - 1, y1) == kBlack &&
         picture.rgb(x2 + 1, y2) == kBlack && picture.rgb(x1, y1 - 1) == kBlack &&
         (y2 + 1 == picture.height || picture.rgb(x2, y2 + 1) == kBlack);
}

TEST_F(VoltaWrd, SherryScriptBesideTheSongIsUsedOnlyWhenEnabled) {
  test::writeFile(dir / "SONG.SRY", sherryBoxes().wait(1).end().bytes());
  ASSERT_EQ(run(tool() + " " + (dir / "song.mid").string() + " --at m1 --out " + (dir / "out").string()), 0);
  EXPECT_EQ(picture("001.png").height, 400);  // the WRD script, as "SRYEnable" is off
}

TEST_F(VoltaWrd, RendersSherryScriptsOnTheirFullDisplay) {
  setting("SRYEnable", 1);
  test::writeFile(dir / "SONG.SRY", sherryBoxes().wait(1).end().bytes());
  ASSERT_EQ(
      run(tool() + " " + (dir / "song.mid").string() + " --at m1 --at m3 --at 1s --out " + (dir / "out").string()), 0);
  const Picture first = picture("001.png");
  ASSERT_EQ(first.width, 640);
  ASSERT_EQ(first.height, 480);
  EXPECT_TRUE(insideBox(first, 100, 100, 199, 149, kGreen));
  EXPECT_EQ(first.rgb(350, 479), kBlack);

  const Picture third = picture("002.png");
  EXPECT_TRUE(insideBox(third, 100, 100, 199, 149, kGreen));
  EXPECT_TRUE(insideBox(third, 300, 400, 399, 479, kRed));
  // Going back to one second shows the first picture again.
  EXPECT_EQ(picture("003.png").indices, first.indices);
}

TEST_F(VoltaWrd, SherryErrorStopsOnlyTheScript) {
  // Screen 7 does not exist: the script stops there, with what it showed before kept.
  const auto script = sherryBoxes().wait(1).event(0x52, sry::box(7, 0, 0, 0, 1, 1, 1)).wait(1).end();
  test::writeFile(dir / "boxes.sry", script.bytes());
  ASSERT_EQ(run(tool() + " " + (dir / "song.mid").string() + " --script " + (dir / "boxes.sry").string() +
                " --at m4 --out " + (dir / "out").string() + " 2>" + (dir / "errors.txt").string()),
            0);
  EXPECT_TRUE(insideBox(picture("001.png"), 300, 400, 399, 479, kRed));
  EXPECT_NE(test::readText(dir / "errors.txt").find("Screen is not alocated #7."), std::string::npos);
}

TEST_F(VoltaWrd, UnreadableSherryScriptGivesWayToTheDefaultScript) {
  setting("SRYEnable", 1);
  test::writeFile(dir / "SONG.SRY", {'n', 'o', 't', ' ', 'S', 'h', 'e', 'r', 'r', 'y'});
  ASSERT_EQ(
      run(tool() + " " + (dir / "song.mid").string() + " --at m1 --out " + (dir / "out").string() + " 2>/dev/null"), 0);
  EXPECT_EQ(picture("001.png").height, 400);
}

}  // namespace
}  // namespace volta
