#include "player/shell/panel/liquid_text_window.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QTest>
#include <memory>

#include "player/monitor/status_panel.h"

namespace volta::shell {
namespace {

using monitor::kStatusItemCount;
namespace item = monitor::item;

QColor toQColor(const monitor::Rgb& rgb) {
  return QColor(rgb.red, rgb.green, rgb.blue);
}

// Records the regions the panel paints.
class PaintRecorder : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) regions.push_back(static_cast<QPaintEvent*>(event)->region());
    return QObject::eventFilter(watched, event);
  }
  std::vector<QRegion> regions;
};

class StatusPanelWidget : public testing::Test {
 protected:
  void SetUp() override {
    panel.reset(TLiquidTextWindow::createStatusPanel());
    panel->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    QCoreApplication::processEvents();
    panel->installEventFilter(&recorder);
  }
  void flush() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  }
  QRect rectOf(std::size_t index) const {
    const auto& r = panel->model().item(index).rect;
    return QRect(r.left, r.top, r.width(), r.height());
  }
  QColor pixel(QPoint at) const { return panel->grab().toImage().pixelColor(at); }

  std::unique_ptr<TLiquidTextWindow> panel;
  PaintRecorder recorder;
};

TEST_F(StatusPanelWidget, ChangedItemRepaintsOnlyItsRectangle) {
  panel->setText(item::kTime, "12:34/56:07");
  flush();
  ASSERT_EQ(recorder.regions.size(), 1u);
  EXPECT_EQ(recorder.regions[0].boundingRect(), rectOf(item::kTime));

  recorder.regions.clear();
  panel->setText(item::kTime, "12:34/56:07");
  panel->setForeground(item::kTime, panel->model().item(item::kTime).foreground);
  panel->setLamp(item::kTitleLabel, true);  // not a lamp
  flush();
  EXPECT_TRUE(recorder.regions.empty());

  panel->setLamp(item::kPortB, true);
  flush();
  ASSERT_EQ(recorder.regions.size(), 1u);
  EXPECT_EQ(recorder.regions[0].boundingRect(), rectOf(item::kPortB));
}

TEST_F(StatusPanelWidget, LitLampShowsInkUnlitLampTheDarkerLight) {
  const auto palette = monitor::backLightPalette(monitor::kOrange, 20);
  panel->setLiquidPalette(palette);
  const QPoint corner = rectOf(item::kWrd).topLeft() + QPoint(1, 1);
  EXPECT_EQ(pixel(corner), toQColor(palette[3]));
  panel->setLamp(item::kWrd, true);
  EXPECT_EQ(pixel(corner), toQColor(palette[2]));
  EXPECT_NE(palette[2], palette[3]);
  // Labels sit on the back light itself.
  EXPECT_EQ(pixel(rectOf(item::kTitleLabel).topLeft() + QPoint(1, 1)), toQColor(palette[1]));
  panel->resetStatus();
  EXPECT_EQ(pixel(corner), toQColor(palette[3]));
}

TEST_F(StatusPanelWidget, DigitsLightTheirSegments) {
  const auto palette = monitor::backLightPalette(monitor::kLightGreen, 20);
  panel->setLiquidPalette(palette);
  // The middle bar of the first glyph of the tempo: dark for 8, unlit for 0 and blank.
  const QRect rect = rectOf(item::kTempo);
  const int glyphLeft = rect.left() + (rect.width() - 3 * monitor::kDigitWidth) / 2;
  const int glyphTop = rect.top() + (rect.height() - monitor::kDigitHeight) / 2;
  const QPoint middleBar(glyphLeft + monitor::kDigitWidth / 2, glyphTop + monitor::kDigitHeight / 2);
  panel->setText(item::kTempo, "888");
  EXPECT_EQ(pixel(middleBar), toQColor(palette[2]));
  panel->setText(item::kTempo, "000");
  EXPECT_EQ(pixel(middleBar), toQColor(palette[3]));
  panel->setText(item::kTempo, "  1");
  EXPECT_EQ(pixel(middleBar), toQColor(palette[3]));
}

TEST_F(StatusPanelWidget, NewPaletteRecoloursTheWholePanel) {
  const QPoint corner(0, 0);
  const auto green = monitor::backLightPalette(monitor::kLightGreen, 18);
  EXPECT_EQ(pixel(corner), toQColor(green[1]));
  const auto dim = monitor::backLightPalette(monitor::kEmeraldGreen, 5);
  panel->setLiquidPalette(dim);
  EXPECT_EQ(pixel(corner), toQColor(dim[1]));
  EXPECT_EQ(pixel(rectOf(item::kGs).topLeft() + QPoint(1, 1)), toQColor(dim[3]));
}

TEST(LiquidTextWindow, PanelOfFreeItems) {
  TLiquidTextWindow window(2);
  window.resize(100, 40);
  window.defineItem(1, monitor::LiquidText{monitor::kLabelFont, {10, 10, 60, 30}, 2, 0, "", true});
  window.setLiquidPalette(monitor::backLightPalette(0xFFFFFF, 20));
  const QImage image = window.grab().toImage();
  EXPECT_EQ(image.pixelColor(12, 12), QColor(0, 0, 0));  // background index 0, empty text drawn as a blank
  EXPECT_EQ(image.pixelColor(5, 5), QColor(255, 255, 255));
  EXPECT_EQ(window.sizeHint(), QSize(monitor::kPanelWidth, monitor::kPanelHeight));
}

}  // namespace
}  // namespace volta::shell
