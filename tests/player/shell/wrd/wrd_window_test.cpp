// How the WRD window places, marks and paints its image.
#include <QMenu>
#include <QSignalSpy>
#include <memory>

#include "tests/player/shell/wrd/wrd_window_fixture.h"
#include "tests/support/test_support.h"

namespace volta::shell::test {
namespace {

TEST_F(WrdWindowTest, FourHundredRowsPutTheImageAtTheTop) {
  bluePage();
  EXPECT_EQ(window.verticalOffset(), -40);
  EXPECT_EQ(window.imageOrigin(), QPoint(0, 0));
  EXPECT_EQ(pixel(5, 0), kBlue);
  EXPECT_EQ(pixel(639, 399), kBlue);
}

TEST_F(WrdWindowTest, FourHundredEightyRowsCentreTheImageWithFortyEmptyRowsEachSide) {
  bluePage();
  window.resize(640, 480);
  EXPECT_EQ(window.verticalOffset(), 0);
  EXPECT_EQ(window.imageOrigin(), QPoint(0, 40));
  const QImage image = painted();
  EXPECT_EQ(image.pixel(5, 0), kBlack);
  EXPECT_EQ(image.pixel(5, 39), kBlack);
  EXPECT_EQ(image.pixel(5, 40), kBlue);
  EXPECT_EQ(image.pixel(5, 439), kBlue);
  EXPECT_EQ(image.pixel(5, 440), kBlack);
  EXPECT_EQ(image.pixel(5, 479), kBlack);
}

TEST_F(WrdWindowTest, OffsetIsHalfTheDifferenceTruncatedTowardsZero) {
  window.resize(640, 401);
  EXPECT_EQ(window.verticalOffset(), -39);
  window.resize(640, 563);
  EXPECT_EQ(window.verticalOffset(), 41);
  EXPECT_EQ(window.imageOrigin(), QPoint(0, 81));
}

TEST_F(WrdWindowTest, ScreenChangesMarkTheRectangleBelowTheOffset) {
  painted();  // nothing pending
  window.interpreter().screen().invalidate({10, 20, 30, 40});
  EXPECT_EQ(window.pendingRegion(), QRegion(QRect(QPoint(10, 20), QPoint(30, 40))));
  painted();
  EXPECT_TRUE(window.pendingRegion().isEmpty());
  window.resize(640, 480);
  window.interpreter().screen().invalidate({10, 20, 30, 40});
  EXPECT_EQ(window.pendingRegion(), QRegion(QRect(QPoint(10, 60), QPoint(30, 80))));
}

TEST_F(WrdWindowTest, PaintingWritesRefreshLinesToTheDebugLog) {
  volta::test::TempDir dir;
  window.interpreter().startDebugLog(dir / "wrd.log");
  painted();
  const std::string log = volta::test::readText(dir / "wrd.log");
  EXPECT_NE(log.find("Refresh (0,0)-(640,400)\nRefresh Done time=0 [ms]\n\n"), std::string::npos) << log;
}

TEST_F(WrdWindowTest, LabelCoversTheImageAndTheBandAboveIt) {
  bluePage();
  const QRgb background = window.palette().color(QPalette::Window).rgba();
  window.setStatusLabel(QStringLiteral(" Page 1 "));
  EXPECT_EQ(pixel(11, 11), background);
  EXPECT_EQ(pixel(300, 300), kBlue);
  window.expireStatusLabel();
  EXPECT_EQ(pixel(11, 11), kBlue);

  // 560 rows: offset 40, so rows 0..39 form the band while a label is up.
  window.resize(640, 560);
  EXPECT_EQ(pixel(600, 20), kBlack);
  window.setStatusLabel(QStringLiteral(" Page 1 "));
  EXPECT_EQ(pixel(600, 20), background);
  EXPECT_EQ(pixel(600, 60), kBlack);  // between the band and the image
  EXPECT_EQ(pixel(600, 80), kBlue);
}

TEST_F(WrdWindowTest, LabelLastsOneSecondAndRepaintsOnlyWhenItChanges) {
  painted();
  window.setStatusLabel(QStringLiteral(" Text ON "));
  EXPECT_TRUE(window.statusTimer().isActive());
  EXPECT_EQ(window.statusTimer().interval(), 1000);
  window.expireStatusLabel();
  EXPECT_TRUE(window.statusLabel().isEmpty());
  EXPECT_FALSE(window.statusTimer().isActive());
  // An empty label starts no timer.
  window.setStatusLabel(QString());
  EXPECT_FALSE(window.statusTimer().isActive());
}

TEST_F(WrdWindowTest, LogicalPaletteMapsTheColourTableThroughItsEntries) {
  bluePage();
  std::vector<QRgb> entries(300, kBlack);
  constexpr int kBase = 10;
  entries[kBase + 1] = 0xFF00FF00u;  // what graphics colour 1 becomes
  window.setLogicalPalette(entries, kBase);
  window.interpreter().screen().setPaletteBase(kBase);
  EXPECT_EQ(pixel(5, 5), 0xFF00FF00u);
  // Palette pushes animate the 16 entries from the base.
  window.interpreter().screen().pushPalette();
  EXPECT_EQ(pixel(5, 5), kBlue);
  window.setLogicalPalette(std::nullopt, 0);
  window.interpreter().screen().setPaletteBase(std::nullopt);
  EXPECT_EQ(pixel(5, 5), kBlue);
}

TEST_F(WrdWindowTest, ContextMenuOffersPropertyAsCommand8002) {
  std::unique_ptr<QMenu> menu(window.createContextMenu(&window));
  ASSERT_EQ(menu->actions().size(), 1);
  EXPECT_EQ(menu->actions().front()->text(), QStringLiteral("P&roperty"));
  QSignalSpy commands(&window, &T256WRDWindow::command);
  menu->actions().front()->trigger();
  ASSERT_EQ(commands.size(), 1);
  EXPECT_EQ(commands.front().front().toInt(), 8002);
}

}  // namespace
}  // namespace volta::shell::test
