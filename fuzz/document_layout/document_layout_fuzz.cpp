// Arbitrary bytes as a document: the first bytes choose the window's size, the
// selection and the top line, the rest is the text. The display lines must cover the
// text exactly, and every run of the paint plan must lie within its line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "player/core/document_view/document_model.h"

namespace {

using volta::document::DocumentModel;

constexpr std::size_t kHeader = 8;

void require(bool condition) {
  if (!condition) std::abort();
}

int signedByte(std::uint8_t byte) {
  return static_cast<std::int8_t>(byte);
}

void checkLines(const DocumentModel& model) {
  const auto& lines = model.lines();
  require(lines.lineStart(0) == 0);
  require(lines.lineStart(model.lineCount()) == model.text().size());
  for (int line = 0; line < model.lineCount(); ++line) {
    require(lines.lineStart(line) < lines.lineStart(line + 1));
    require(model.lineOfOffset(static_cast<int>(lines.lineStart(line))) == line);
  }
}

void checkPlan(const DocumentModel& model) {
  const volta::document::PaintPlan plan = model.paintPlan();
  for (const auto& run : plan.runs) {
    const int line = model.lineOfOffset(static_cast<int>(run.offset));
    require(run.length > 0 && run.offset + run.length <= model.lines().lineStart(line + 1));
    require(!run.rect.empty());
  }
  for (const auto& rect : plan.inverted)
    require(!rect.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kHeader) return 0;
  const std::string text(reinterpret_cast<const char*>(data + kHeader), size - kHeader);
  DocumentModel model;
  model.setCellSize(1 + data[0] % 16, 1 + data[1] % 32);
  model.resize(data[2] * 4, data[3] * 4);
  model.setText(&text);
  checkLines(model);
  model.setSelection(signedByte(data[4]) * 8, signedByte(data[5]) * 8);
  model.centreOnLine(data[6]);
  model.scroll(static_cast<volta::document::ScrollCode>(data[7] % 9), data[7]);
  checkPlan(model);
  return 0;
}
