// The performance monitor and the LCD canvas in the whole program, on the real engine
// with port A on the trace device: what the song sends shows up, and the monitor's
// controls reach the device.

#include <QImage>
#include <QMouseEvent>
#include <numeric>

#include "player/core/app/command_ids.h"
#include "player/monitor/monitor_texts.h"
#include "player/shell/monitor/monitor_window.h"
#include "player/shell/monitor/piano_roll_window.h"
#include "player/shell/panel/liquid_window.h"
#include "tests/player/shell/frame/application_fixture.h"

namespace volta::shell {
namespace {

// A Roland display exclusive: address, data and checksum.
test::Bytes displayExclusive(std::uint32_t address, const test::Bytes& data) {
  test::Bytes body = {0x41,
                      0x10,
                      0x45,
                      0x12,
                      static_cast<std::uint8_t>(address >> 16),
                      static_cast<std::uint8_t>(address >> 8),
                      static_cast<std::uint8_t>(address)};
  for (const std::uint8_t byte : data)
    body.push_back(byte);
  const int sum = std::accumulate(body.begin() + 4, body.end(), 0);
  body.push_back(static_cast<std::uint8_t>((128 - sum % 128) % 128));
  body.push_back(0xF7);
  return body;
}

// Text and a dot page with only its top row lit, then note 60 on channel 1 every quarter.
test::Bytes displaySong() {
  test::SmfTrack track;
  track.trackName(0, "Canvas").tempo(0, 500000).timeSignature(0, 4, 2);
  const std::string text = "HELLO CANVAS";
  track.sysex(0, displayExclusive(0x100000, test::Bytes(text.begin(), text.end())));
  test::Bytes page(64, 0);
  for (int group = 0; group < 4; ++group)
    page[static_cast<std::size_t>(group * 16)] = 0x1F;
  track.sysex(0, displayExclusive(0x100140, page));
  track.sysex(0, displayExclusive(0x102000, {0x01}));
  for (int beat = 0; beat < 40; ++beat)
    track.noteOn(beat ? 48 : 0, 0, 60, 100).noteOff(48, 0, 60);
  track.endOfTrack(0);
  return test::SmfWriter(0, 96).track(track).build();
}

class MonitorTest : public ApplicationTest {
 protected:
  void SetUp() override {
    ApplicationTest::SetUp();
    test::writeFile(dir_ / "canvas.mid", displaySong());
    launch({(dir_ / "canvas.mid").string()});
    command(app::cmd::kPaneMonitor);
    ASSERT_TRUE(waitFor([&] { return heard("90 3C"); }));
  }
  // Read once: lines arrive while the test reads.
  bool heard(const std::string& prefix) const {
    const auto lines = trace();
    return test::findLine(lines, prefix) < lines.size();
  }
  std::size_t count(const std::string& prefix) const {
    const auto lines = trace();
    std::size_t n = 0;
    for (std::size_t at = test::findLine(lines, prefix); at < lines.size(); at = test::findLine(lines, prefix, at + 1))
      ++n;
    return n;
  }
  TMonitorWindow& monitor() const { return *app_->frame().findChild<TMonitorWindow*>(); }
  TLiquidWindow& canvas() const { return *app_->frame().findChild<TLiquidWindow*>(); }
  // One display update and one monitor tick, 50 ms later on the injected clock.
  void tick() {
    clock_.advanceMilliseconds(50);
    app_->fireTimer(app::kDisplayTimer);
    app_->fireTimer(app::kAnimationTimer);
    QCoreApplication::processEvents();
  }
  void click(QWidget& widget, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QMouseEvent press(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget.mapToGlobal(at), button, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &release);
  }
};

TEST_F(MonitorTest, TheSongsDisplayTextAndDotsAppearOnTheCanvas) {
  ASSERT_TRUE(waitFor([&] {
    tick();
    return canvas().canvas().dotImageShown();
  }));
  EXPECT_EQ(std::string(canvas().canvas().title().data(), 16), " HELLO CANVAS   ");
  EXPECT_TRUE(canvas().canvas().dot(0, 0));
  EXPECT_TRUE(canvas().canvas().dot(15, 0));
  EXPECT_FALSE(canvas().canvas().dot(0, 5));
  const QImage image = canvas().grab().toImage();
  const auto& palette = monitor::backLightPalette(monitor::kLightGreen, 18);
  const monitor::PanelRect lit = monitor::dotRect(3, 0), unlit = monitor::dotRect(3, 5);
  EXPECT_EQ(QColor(image.pixel(lit.left, lit.top)), QColor(palette[2].red, palette[2].green, palette[2].blue));
  EXPECT_EQ(QColor(image.pixel(unlit.left, unlit.top)), QColor(palette[3].red, palette[3].green, palette[3].blue));
}

TEST_F(MonitorTest, RowsShowTheChannelAndTheHeaderTheSong) {
  ASSERT_TRUE(waitFor([&] {
    tick();
    return monitor().header().bpm == "120" && monitor().row(0).keys()[60];
  }));
  EXPECT_EQ(monitor().header().meter, " 4/4 ");
  EXPECT_EQ(monitor().row(0).text(monitor::kProgram), "001");
  EXPECT_EQ(monitor().row(0).text(monitor::kName), "Acoustic Grand Piano");
  EXPECT_EQ(monitor().row(20).text(monitor::kName), "");  // not visible, not updated
  EXPECT_EQ(monitor().visible().first, 0);
  EXPECT_GT(monitor().visible().last, 10);
}

TEST_F(MonitorTest, ProgramAndControllerChangesReachTheDevice) {
  tick();
  click(monitor(), monitor().itemRectOf(1, monitor::kProgram).center());
  EXPECT_TRUE(waitFor([&] { return heard("C1 01"); }));
  const QRect volume = monitor().itemRectOf(2, monitor::kVolume);
  click(monitor(), QPoint(volume.left(), volume.center().y()));
  EXPECT_TRUE(waitFor([&] { return heard("B2 07 00"); }));
  click(monitor(), monitor().itemRectOf(0, monitor::kHold).center());
  EXPECT_TRUE(waitFor([&] { return heard("B0 40 7F"); }));
}

TEST_F(MonitorTest, TranspositionShiftsTheNotesThatFollow) {
  tick();
  const QRect transpose = monitor_layout::headerRect(monitor_layout::HeaderField::kTransposition);
  click(monitor(), transpose.center());
  click(monitor(), transpose.center());
  click(monitor(), transpose.center(), Qt::RightButton);
  EXPECT_EQ(app_->controller().session().transposition(), 1);
  tick();
  EXPECT_EQ(monitor().header().transposition, "+1 ");
  EXPECT_TRUE(waitFor([&] { return heard("90 3D"); }));
}

TEST_F(MonitorTest, TheVolSliderSetsTheMasterVolume) {
  tick();
  const QRect volume = monitor_layout::headerRect(monitor_layout::HeaderField::kVolume);
  click(monitor(), QPoint(volume.left(), volume.center().y()));
  EXPECT_EQ(app_->controller().settings().lastVolume, 0);
  EXPECT_TRUE(waitFor([&] { return heard("B5 07 00"); }));  // every channel's volume scaled to nothing
  click(monitor(), QPoint(volume.right(), volume.center().y()));
  EXPECT_EQ(app_->controller().settings().lastVolume, 127);
}

TEST_F(MonitorTest, ADoubleClickOnAKeyboardOpensThePianoRollOfItsChannel) {
  tick();
  const QPoint keyboard = monitor().itemRectOf(0, monitor::kKeyboard).center();
  QMouseEvent twice(QEvent::MouseButtonDblClick, keyboard, monitor().mapToGlobal(keyboard), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&monitor(), &twice);
  auto* roll = app_->frame().findChild<TPianoRollWindow*>();
  ASSERT_NE(roll, nullptr);
  EXPECT_EQ(roll->row(), 0);
  EXPECT_TRUE(roll->isVisible());
  auto hasNote = [roll] {
    const auto& log = roll->recorder().log();
    return std::any_of(log.begin(), log.end(), [](const monitor::RollRecord& r) {
      return r.kind == monitor::RollKind::kNoteOn && r.data1 == 60;
    });
  };
  EXPECT_TRUE(waitFor([&] {
    tick();
    return hasNote();
  }));
}

TEST_F(MonitorTest, AMutedChannelsNotesStopReachingTheDevice) {
  tick();
  // Row C01 shares its mute bit with row A01, whose notes the song plays.
  monitor().setScroll(32);
  click(monitor(), monitor().labelRectOf(32).center());
  monitor().setScroll(0);
  EXPECT_EQ(app_->controller().session().muteMask(), 1u);
  // Let anything already queued go out, then listen for two beats.
  ASSERT_TRUE(waitFor([&] { return heard("B0 7B"); }));
  const std::size_t before = count("90 3C");
  for (int i = 0; i < 1500; ++i) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_LE(count("90 3C"), before + 1);
  click(monitor(), monitor().labelRectOf(0).center());
  EXPECT_EQ(app_->controller().session().muteMask(), 0u);
  EXPECT_TRUE(waitFor([&] { return count("90 3C") > before + 1; }));
}

}  // namespace
}  // namespace volta::shell

namespace volta::shell {
namespace {

class MiniModeTest : public ApplicationTest {
 protected:
  void startWithMinimize(int minimize) {
    platform::settings::SettingsStore(places_.settingsFile).writeInt(kMainKey, "Minimize", minimize);
    launch({songs_[0].string()});
  }
  TLiquidWindow& canvas() const { return *app_->frame().findChild<TLiquidWindow*>(); }
};

TEST_F(MiniModeTest, TheCanvasShowsBesideThePanelOnlyInMiniModeWhenAsked) {
  startWithMinimize(0);
  EXPECT_FALSE(canvas().isVisible());
  EXPECT_EQ(app_->frame().width(), kPaneWidth);
  command(app::cmd::kMini);
  ASSERT_EQ(app_->frame().shownPane(), kMiniPane);
  EXPECT_TRUE(canvas().isVisible());
  EXPECT_EQ(app_->frame().width(), kPaneWidth + monitor::kCanvasWidth);
  command(app::cmd::kPaneList);
  EXPECT_FALSE(canvas().isVisible());
  EXPECT_EQ(app_->frame().width(), kPaneWidth);
}

TEST_F(MiniModeTest, TheDefaultMiniModeKeepsTheCanvasHidden) {
  startWithMinimize(1);
  command(app::cmd::kMini);
  ASSERT_EQ(app_->frame().shownPane(), kMiniPane);
  EXPECT_FALSE(canvas().isVisible());
  EXPECT_EQ(app_->frame().width(), kPaneWidth);
}

}  // namespace
}  // namespace volta::shell
