#include "player/shell/wrd/wrd_window.h"

#include <string>

#include "platform/clock.h"
#include "player/wrd/script_lookup.h"

namespace volta::shell {

namespace {

// The palette a script starts with when no picture brings one.
constexpr wrd::PaletteBank kDefaultPalette{
    {0x000, 0x00F, 0xF00, 0xF0F, 0x0F0, 0x0FF, 0xFF0, 0xFFF, 0x000, 0x008, 0x800, 0x808, 0x080, 0x088, 0x880, 0x888}};
constexpr std::uint16_t kWhite = 0xFFF;

QString onOff(const char* what, bool on) {
  return QStringLiteral(" %1 %2 ").arg(QLatin1String(what), on ? QStringLiteral("ON") : QStringLiteral("OFF"));
}

}  // namespace

TWRDWindow::TWRDWindow(QWidget* parent, std::shared_ptr<const wrd::UnifontFace> face)
    : T256WRDWindow(parent, face), wrd_(face), processor_(*this) {
  wrd::Screen& screen = wrd_.screen();
  setWrdSource(&screen.composite(), &screen.colourTable());
  // Nothing reaches the window while the script catches up silently; the first update
  // afterwards pushes the whole screen.
  screen.hooks().invalidate = [this](const wrd::Rect& rect) {
    if (!wrd_.screen().state().updatesSuppressed) invalidateSurface(rect);
  };
  screen.hooks().pushPalette = [this](const std::array<std::uint32_t, 16>& bank0) { animatePalette(bank0); };
  wrd_.setRepaint([this] { repaintNow(); });
  // A script error stops only the script; what it showed stays, and the log says why.
  processor_.setErrorHook([this](std::string_view message) { logLine("Sherry: " + std::string(message) + "\n"); });
}

TWRDWindow::~TWRDWindow() = default;

// ---- scripts ----

bool TWRDWindow::openFile(const std::optional<std::filesystem::path>& path, std::string_view title,
                          std::string_view memo, wrd::MeasureTable measureTable) {
  if (path && wrd::isSherryScriptPath(*path)) {
    if (!processor_.openFile(*path)) return false;
    display().clear();
    setSherryMode(true);
    return true;
  }
  if (!wrd_.openFile(path, title, memo, measureTable)) return false;
  setSherryMode(false);
  return true;
}

void TWRDWindow::reset(int timebase) {
  if (!showingSherry()) {
    wrd_.reset(timebase);
    return;
  }
  // The display starts blank, so that what it shows depends only on the song position.
  display().clear();
  processor_.reset(timebase);
  update();
}

bool TWRDWindow::process(bool noDisplay, const wrd::SongPosition& position) {
  if (!showingSherry()) return wrd_.process(noDisplay, position);
  processor_.processTick(position.absoluteTick);
  if (highSpeed_) repaintNow();
  // A Sherry script runs everything due in one call: the display always waits afterwards.
  return true;
}

void TWRDWindow::setHighSpeed(bool on) {
  highSpeed_ = on;
  wrd_.setHighSpeed(on);
}

// ---- commands ----

void TWRDWindow::showPage(int page) {
  wrd::Screen& screen = wrd_.screen();
  wrd::DrawState& state = screen.state();
  if (page >= 0 && page <= kMaxShownPage && screen.page(page) != nullptr && state.displayPage != page) {
    state.displayPage = page;
    screen.markDirty(wrd::kWholeScreen);
    screen.flushScreen(0);
  }
  setStatusLabel(QStringLiteral(" Page %1 ").arg(page));
}

void TWRDWindow::toggleGraphics() {
  wrd::DrawState& state = wrd_.screen().state();
  state.graphicsOn = state.graphicsOn != 0 ? 0 : 1;
  pushWholeScreen();
  setStatusLabel(onOff("Graphic", state.graphicsOn != 0));
}

void TWRDWindow::toggleText() {
  wrd::DrawState& state = wrd_.screen().state();
  state.textOn = state.textOn == 0 ? 1 : 0;
  wrd_.writer().clearSkipCounter();
  pushWholeScreen();
  setStatusLabel(onOff("Text", state.textOn != 0));
}

void TWRDWindow::initialisePalette(bool white) {
  wrd::PaletteBank& bank0 = wrd_.screen().banks()[0];
  bank0 = kDefaultPalette;
  if (white) bank0[0] = kWhite;
  pushWholeScreen();
  setStatusLabel(white ? QStringLiteral(" Initialize palette (white) ") : QStringLiteral(" Initialize palette "));
}

void TWRDWindow::pushWholeScreen() {
  wrd::Screen& screen = wrd_.screen();
  screen.applyBank0();
  screen.pushPalette();
  screen.invalidate(wrd::kWholeSurface);
}

wrd::BenchmarkCounts TWRDWindow::benchmark(const wrd::TickSource& ticks) {
  // The results are written on the WRD screen, so that is what the window shows.
  setSherryMode(false);
  wrd::WindowBenchmark bench(
      wrd_,
      [this] {
        invalidateSurface(wrd::kWholeSurface);
        repaintNow();
      },
      ticks);
  return bench.run();
}

wrd::BenchmarkCounts TWRDWindow::benchmark() {
  return benchmark([] { return platform::millisecondCounter(); });
}

// ---- window ----

void TWRDWindow::logLine(std::string_view text) {
  wrd_.screen().log(text);
}

void TWRDWindow::painted() {
  // What was painted is on show: the interpreter may push updates again.
  wrd_.screen().state().updatesSuppressed = false;
}

}  // namespace volta::shell
