// The WRD window as the song player's display: scripts following the song, the fallbacks,
// Sherry scripts and the full-screen window.
#include "player/shell/wrd/wrd_display.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "player/shell/wrd/wrd_full_screen.h"
#include "tests/player/shell/wrd/wrd_window_fixture.h"
#include "tests/player/wrd/sherry/sherry_writer.h"
#include "tests/support/test_support.h"

namespace volta::shell::test {
namespace {

using core::WrdFollower;
namespace sherry = wrd::sherry::test;

constexpr int kTimebase = 48;
constexpr std::uint32_t kTicksPerMeasure = 4 * kTimebase;

void writeText(const std::filesystem::path& path, const std::string& text) {
  volta::test::writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

class WrdDisplayTest : public WrdWindowTest {
 protected:
  WrdDisplayTest() : status(std::make_unique<protocol::SequencerStatus>()), display(window) {
    display.setProgramDirectory(dir.path());
  }

  WrdDisplay::StatusSource source() {
    return [this] { return status.get(); };
  }

  // The song has reached the start of 0-based `measure`; the engine has booked it.
  WrdFollower::Position reach(int measure, bool seeking = false) {
    status->measureTable[measure] = static_cast<std::uint32_t>(measure) * kTicksPerMeasure;
    return {seeking, static_cast<std::uint16_t>(measure), 0, 0, static_cast<std::uint32_t>(measure) * kTicksPerMeasure};
  }

  // As the song player's display tick: follow until caught up.
  void tick(const WrdFollower::Position& position) {
    for (int i = 0; i < 1000 && !display.follow(position); ++i) {
    }
  }

  // White where the text cell at `column`, `row` holds the solid 'A'.
  bool cellLit(int column, int row) { return pixel(column * 8 + 3, row * 16 + 3) == kWhite; }

  volta::test::TempDir dir;
  std::unique_ptr<protocol::SequencerStatus> status;
  WrdDisplay display;
};

TEST_F(WrdDisplayTest, ScriptTextAppearsAtItsSongPosition) {
  writeText(dir / "song.wrd", "A\nAA\n@LOCATE(1,5)\nAAA\n");
  ASSERT_TRUE(display.open(dir / "song.wrd", "Title", "", source()));
  EXPECT_TRUE(display.ownScript());
  display.restart(kTimebase);
  tick(reach(0));
  EXPECT_TRUE(cellLit(0, 0));
  EXPECT_FALSE(cellLit(1, 1));
  tick(reach(1));
  EXPECT_TRUE(cellLit(1, 1));
  EXPECT_FALSE(cellLit(0, 4));
  // The command line waits for its own measure; the text follows one measure later.
  tick(reach(2));
  EXPECT_FALSE(cellLit(2, 4));
  tick(reach(3));
  EXPECT_TRUE(cellLit(2, 4));
}

TEST_F(WrdDisplayTest, CatchingUpAfterAJumpIsSilentUntilTheSongPlaysOn) {
  writeText(dir / "song.wrd", "A\nAA\n");
  display.open(dir / "song.wrd", "Title", "", source());
  display.restart(kTimebase);
  status->measureTable[0] = 0;
  painted();
  tick(reach(1, true));
  EXPECT_TRUE(window.pendingRegion().isEmpty());
  EXPECT_FALSE(cellLit(1, 1));
  tick(reach(1));
  EXPECT_TRUE(cellLit(0, 0));
  EXPECT_TRUE(cellLit(1, 1));
}

TEST_F(WrdDisplayTest, PaintingDuringACatchUpDoesNotLoseTheFinalPush) {
  writeText(dir / "song.wrd", "@GLINE(0,0,639,399,1,2,1)\n@GCLS(15)\n");
  display.open(dir / "song.wrd", "Title", "", source());
  display.restart(kTimebase);
  tick(reach(0));
  EXPECT_EQ(pixel(300, 300), kBlue);
  tick(reach(1, true));  // the planes are cleared silently
  painted();             // the event loop paints before the song plays on
  tick(reach(1));
  EXPECT_EQ(pixel(300, 300), kBlack);
}

TEST_F(WrdDisplayTest, ScriptPaneSeesCursorAndCommandStart) {
  writeText(dir / "song.wrd", "A\nAA\n");
  display.open(dir / "song.wrd", "Title", "", source());
  display.restart(kTimebase);
  EXPECT_EQ(display.cursor(), display.script().start);
  tick(reach(0));
  EXPECT_EQ(display.cursor(), 2u);
  tick(reach(1));
  EXPECT_EQ(display.commandStart(), 2u);
  EXPECT_EQ(display.cursor(), 5u);
}

TEST_F(WrdDisplayTest, MissingScriptFallsBackToDefaultThenBuiltIn) {
  writeText(dir / "DEFAULT.WRD", "AAAA\n");
  EXPECT_FALSE(display.open(dir / "song.DV", "Title", "", source()));
  EXPECT_FALSE(display.ownScript());
  EXPECT_EQ(std::string(display.script().bytes.data() + display.script().start, 4), "AAAA");

  std::filesystem::remove(dir / "DEFAULT.WRD");
  EXPECT_FALSE(display.open(dir / "song.DV", "Title", "", source()));
  EXPECT_EQ(std::string(display.script().bytes.data() + display.script().start, 8), "@STARTUP");
}

TEST_F(WrdDisplayTest, DefaultScreenRunsToItsFirstWait) {
  writeText(dir / "DEFAULT.WRD", "A\nAA\n");
  display.showDefault();
  EXPECT_TRUE(cellLit(0, 0));
  EXPECT_FALSE(cellLit(1, 1));
}

// ---- Sherry scripts ----

// Palette 1 with red at index 1, a 16x16 red screen shown at (100, 100) at once and at
// (200, 200) once the script time has passed 10 units (a song tick is 2.5 units with
// timebases 480 and 48).
std::vector<std::uint8_t> redSquares() {
  sherry::SherryWriter writer(480);
  writer.event(0x21, sherry::ids({1}))
      .event(0x41, sherry::setColour(1, 1, 255, 0, 0))
      .event(0x25, sherry::newScreen(1, 16, 16, 1))
      .event(0x31, sherry::Params().u16(1))
      .event(0x36, sherry::showRect(1, 0, 0, 100, 100, 16, 16))
      .startTiming()
      .wait(10)
      .event(0x36, sherry::showRect(1, 0, 0, 200, 200, 16, 16))
      .wait(1)
      .end();
  return writer.bytes();
}

constexpr QRgb kRed = 0xFFFF0000u;

TEST_F(WrdDisplayTest, SherryScriptShowsOnTheWhole480Rows) {
  volta::test::writeFile(dir / "song.sry", redSquares());
  ASSERT_TRUE(display.open(dir / "song.sry", "Title", "", source()));
  EXPECT_TRUE(window.showingSherry());
  window.resize(640, 480);
  EXPECT_EQ(window.imageOrigin(), QPoint(0, 0));
  display.restart(kTimebase);
  tick(reach(0));
  EXPECT_EQ(pixel(105, 105), kRed);
  EXPECT_EQ(pixel(205, 205), kBlack);
  EXPECT_TRUE(display.follow({false, 0, 0, 4, 4}));
  EXPECT_EQ(pixel(205, 205), kBlack);
  EXPECT_TRUE(display.follow({false, 0, 0, 5, 5}));
  EXPECT_EQ(pixel(205, 205), kRed);

  // A 400-row window shows the surface from row 40.
  window.resize(640, 400);
  EXPECT_EQ(pixel(105, 65), kRed);
}

TEST_F(WrdDisplayTest, UnreadableSherryScriptGivesWayToTheWrdDisplay) {
  writeText(dir / "song.sry", "not a Sherry script");
  EXPECT_FALSE(display.open(dir / "song.sry", "Title", "", source()));
  EXPECT_FALSE(window.showingSherry());
}

TEST_F(WrdDisplayTest, ShowRectMarksTheSurfaceRectangleWithoutTheWrdOffset) {
  volta::test::writeFile(dir / "song.sry", redSquares());
  display.open(dir / "song.sry", "Title", "", source());
  painted();
  display.restart(kTimebase);
  EXPECT_TRUE(window.pendingRegion().contains(QRect(100, 60, 16, 16)));
}

// ---- full screen ----

TEST(WrdFullScreenGeometry, ImageIsScaledWithItsAspectKept) {
  EXPECT_EQ(TWRDFullScreenWindow::imageRect({1280, 720}), QRect(160, 0, 960, 720));
  EXPECT_EQ(TWRDFullScreenWindow::imageRect({640, 480}), QRect(0, 0, 640, 480));
  EXPECT_EQ(TWRDFullScreenWindow::imageRect({800, 800}), QRect(0, 100, 800, 600));
}

TEST_F(WrdWindowTest, FullScreenWindowShowsTheImageScaledOnBlack) {
  bluePage();
  TWRDFullScreenWindow full(window);
  EXPECT_TRUE(full.isWindow());
  full.resize(1280, 720);
  const QImage image = full.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  EXPECT_EQ(image.pixel(100, 360), kBlack);   // left of the image
  EXPECT_EQ(image.pixel(1200, 360), kBlack);  // right of it
  EXPECT_EQ(image.pixel(170, 50), kBlack);    // the 40 rows above the WRD area, 60 here
  EXPECT_EQ(image.pixel(170, 70), kBlue);
  EXPECT_EQ(image.pixel(1110, 655), kBlue);   // image row 436
  EXPECT_EQ(image.pixel(1110, 665), kBlack);  // image row 443: below the WRD area

  QSignalSpy leave(&full, &TWRDFullScreenWindow::leaveRequested);
  QTest::keyClick(&full, Qt::Key_Escape);
  EXPECT_EQ(leave.size(), 1);
}

TEST(WrdFullScreenSource, WindowOutlivingItsSourceShowsBlack) {
  auto source = std::make_unique<TWRDWindow>(nullptr, solidFace());
  TWRDFullScreenWindow full(*source);
  full.resize(320, 240);
  source.reset();
  const QImage image = full.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  EXPECT_EQ(image.pixel(160, 120), kBlack);
}

}  // namespace
}  // namespace volta::shell::test
