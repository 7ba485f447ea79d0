// The status panel's share of a display tick while playing: the counters change
// and only their rectangles are painted; and a whole repaint, as after a new palette.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <memory>

#include "player/monitor/status_panel.h"
#include "player/shell/panel/liquid_text_window.h"

namespace {

using volta::shell::TLiquidTextWindow;
namespace item = volta::monitor::item;

std::unique_ptr<TLiquidTextWindow> shownPanel() {
  std::unique_ptr<TLiquidTextWindow> panel(TLiquidTextWindow::createStatusPanel());
  panel->show();
  QCoreApplication::processEvents();
  return panel;
}

void BM_StatusPanelTick(benchmark::State& state) {
  auto panel = shownPanel();
  int tick = 0;
  char text[32];
  for (auto _ : state) {
    ++tick;
    std::snprintf(text, sizeof text, "%02d:%02d/04:56", tick / 60 % 100, tick % 60);
    panel->setText(item::kTime, text);
    std::snprintf(text, sizeof text, "%04d/0120", tick % 10000);
    panel->setText(item::kBar, text);
    std::snprintf(text, sizeof text, "%02d/04", tick % 4 + 1);
    panel->setText(item::kBeat, text);
    std::snprintf(text, sizeof text, "%04d/1920", tick % 1920);
    panel->setText(item::kTicks, text);
    std::snprintf(text, sizeof text, "%03d", 100 + tick % 50);
    panel->setText(item::kTempo, text);
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_StatusPanelTick);

void BM_StatusPanelWholePaint(benchmark::State& state) {
  auto panel = shownPanel();
  QImage image(panel->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    panel->render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_StatusPanelWholePaint);

}  // namespace
