// The monitor and canvas widgets on their own: a tick repaints only the items that
// changed, rows follow the window height, and the controls report clamped values.

#include "player/shell/monitor/monitor_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <cstring>

#include "player/shell/panel/liquid_window.h"

namespace volta::shell {
namespace {

// Collects the regions painted in a widget.
class PaintSpy : public QObject {
 public:
  explicit PaintSpy(QWidget& widget) { widget.installEventFilter(this); }
  QRegion painted;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

struct Records {
  protocol::ChannelState channels[48]{};
  protocol::SequencerStatus song{};
  protocol::OutputStatus output{};
  Records() {
    for (auto& c : channels) {
      std::memset(c.notes, protocol::kEmptyNoteSlot, sizeof c.notes);
      c.pan = 64;
      c.pitchBend = 8192;
    }
    song.tempo = 500000;
  }
  MonitorRecords view() { return {&song, &output, channels}; }
};

class MonitorWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(640, monitor::kFirstRowTop + 10 * monitor::kRowHeight);
    window_.show();
    window_.tick(records_.view(), 0);
    QApplication::processEvents();
  }
  QRegion paintedBy(const std::function<void()>& change) {
    PaintSpy spy(window_);
    change();
    QApplication::processEvents();
    return spy.painted;
  }
  void click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QMouseEvent press(QEvent::MouseButtonPress, at, window_.mapToGlobal(at), button, button, Qt::NoModifier);
    QApplication::sendEvent(&window_, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, window_.mapToGlobal(at), button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window_, &release);
  }
  Records records_;
  TMonitorWindow window_;
};

TEST_F(MonitorWindowTest, ATickWithoutChangesPaintsNothing) {
  EXPECT_TRUE(paintedBy([&] { window_.tick(records_.view(), 50); }).isEmpty());
}

TEST_F(MonitorWindowTest, ATickPaintsOnlyTheItemsThatChanged) {
  records_.channels[2].volume = 90;
  const QRegion painted = paintedBy([&] { window_.tick(records_.view(), 50); });
  EXPECT_EQ(painted.boundingRect(), window_.itemRectOf(2, monitor::kVolume));
}

TEST_F(MonitorWindowTest, OnlyTheKeysThatChangedAreRepainted) {
  records_.channels[1].notes[0] = 64;  // E: a white key
  records_.channels[1].notes[1] = 61;  // C#: a black key
  const QRegion painted = paintedBy([&] { window_.tick(records_.view(), 50); });
  const QRect keyboard = window_.itemRectOf(1, monitor::kKeyboard);
  EXPECT_EQ(painted - window_.itemRectOf(1, monitor::kChord),
            QRegion(monitor_layout::keyRect(4, keyboard)) + monitor_layout::keyRect(1, keyboard));
  // Another E sounding keeps the folded key pressed: no key is repainted.
  records_.channels[1].notes[2] = 76;
  EXPECT_TRUE(paintedBy([&] { window_.tick(records_.view(), 100); }).intersected(keyboard).isEmpty());
}

TEST_F(MonitorWindowTest, RowsOutOfSightAreNotUpdated) {
  EXPECT_EQ(window_.visible().last, 9);
  records_.channels[30].volume = 90;
  EXPECT_TRUE(paintedBy([&] { window_.tick(records_.view(), 50); }).isEmpty());
  window_.resize(640, monitor::kFirstRowTop + 48 * monitor::kRowHeight);
  window_.tick(records_.view(), 100);
  EXPECT_EQ(window_.row(30).value(monitor::kVolume), 90);
}

TEST_F(MonitorWindowTest, ControlsReportValuesHeldToTheirLimits) {
  std::vector<std::uint32_t> sent;
  MonitorHooks hooks;
  hooks.sendChannel = [&](int, std::uint32_t message) { sent.push_back(message); };
  window_.setHooks(hooks);
  records_.channels[0].program = 127;
  window_.tick(records_.view(), 50);
  click(window_.itemRectOf(0, monitor::kProgram).center());                       // 128 + 1 stays 128
  click(window_.itemRectOf(0, monitor::kVibratoRate).center(), Qt::RightButton);  // -64 - 1 stays -64
  const QRect pan = window_.itemRectOf(0, monitor::kPan);
  click(QPoint(pan.right(), pan.center().y()));
  EXPECT_EQ(sent, (std::vector<std::uint32_t>{0x007FC0, 0x0163B0, 0x0862B0, 0x0006B0, 0x7F0AB0}));
}

TEST(LiquidWindow, OnlyTheDotsThatChangedArePainted) {
  TLiquidWindow canvas;
  canvas.show();
  QApplication::processEvents();
  protocol::PanelImage panel{};
  std::memset(panel.dots, 1, sizeof panel.dots);
  std::memcpy(panel.text, "- VOLTA Canvas -", 16);
  panel.dotShown = 1;
  panel.dots[17] = 0;
  PaintSpy spy(canvas);
  canvas.follow(panel);
  QApplication::processEvents();
  EXPECT_EQ(spy.painted.boundingRect(), QRect(10, 22, 8, 3));
}

}  // namespace
}  // namespace volta::shell
