// Cost of the document pane: indexing a large document when it is set, and one
// repaint of a 640 x 400 pane as the WRD debug pane does on each display update
// (centre on the cursor's line, move the selection, paint).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <string>

#include "player/core/document_view/document_model.h"
#include "player/shell/document/document_window.h"

namespace {

using volta::document::DocumentModel;
using volta::shell::TDocumentWindow;

// A document of `lines` lines mixing colour codes, tabs and double-byte text.
std::string sampleDocument(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    if (i % 50 == 0) text += "\x01\x05    TXT File\r\n";
    text += "Line " + std::to_string(i) + "\t\x82\xA0\x82\xA2\x82\xA4 some words of a song's notes\r\n";
  }
  return text;
}

void indexDocument(benchmark::State& state) {
  const std::string text = sampleDocument(static_cast<int>(state.range(0)));
  DocumentModel model;
  model.resize(640, 400);
  for (auto _ : state) {
    model.setText(&text);
    benchmark::DoNotOptimize(model.lineCount());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(indexDocument)->Arg(3000)->Arg(30000)->Unit(benchmark::kMicrosecond);

void paintPlan(benchmark::State& state) {
  const std::string text = sampleDocument(3000);
  DocumentModel model;
  model.resize(640, 400);
  model.setText(&text);
  int line = 0;
  for (auto _ : state) {
    line = (line + 7) % 3000;
    model.centreOnLine(line);
    const int offset = static_cast<int>(model.lines().lineStart(line));
    model.setSelection(offset, offset + 20);
    benchmark::DoNotOptimize(model.paintPlan().runs.size());
  }
}
BENCHMARK(paintPlan)->Unit(benchmark::kMicrosecond);

void paintWindow(benchmark::State& state) {
  const std::string text = sampleDocument(3000);
  TDocumentWindow window;
  window.setFont(TDocumentWindow::documentFont(QString(), 12));
  window.resize(640, 400);
  window.show();
  window.setText(&text);
  QImage image(window.viewport()->size(), QImage::Format_RGB32);
  int line = 0;
  for (auto _ : state) {
    line = (line + 7) % 3000;
    window.centreOnLine(line);
    const int offset = static_cast<int>(window.model().lines().lineStart(line));
    window.setSelection(offset, offset + 20);
    window.viewport()->render(&image);
  }
}
BENCHMARK(paintWindow)->Unit(benchmark::kMicrosecond);

}  // namespace
