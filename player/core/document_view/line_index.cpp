#include "player/core/document_view/line_index.h"

#include <algorithm>

#include "platform/text.h"

namespace volta::document {

using platform::text::isShiftJisLead;

namespace {

// Bytes taken by a two-byte item (a double-byte character or a colour code) at `at`:
// one when the text ends after its first byte.
std::size_t pairLength(std::string_view text, std::size_t at) {
  return at + 1 < text.size() ? 2 : 1;
}

// Offset where the display line that begins at `offset` ends (the next line's start).
std::size_t lineEnd(std::string_view text, std::size_t offset, int columns) {
  int column = 0;
  std::size_t at = offset;
  while (column < columns && at < text.size()) {
    const auto byte = static_cast<std::uint8_t>(text[at]);
    if (isShiftJisLead(byte)) {
      // The character moves whole to the next line, unless nothing stands before it.
      if (column == columns - 1 && column > 0) break;
      at += pairLength(text, at);
      column += 2;
    } else if (byte == '\r' && at + 1 < text.size() && text[at + 1] == '\n') {
      return at + 2;
    } else if (byte == '\n') {
      return at + 1;
    } else if (byte == kColourCode) {
      at += pairLength(text, at);
    } else if (byte == '\t') {
      column = nextTabStop(column);
      ++at;
    } else {
      ++column;
      ++at;
    }
  }
  return at;
}

}  // namespace

void LineIndex::build(std::string_view text, int columns) {
  const int width = std::max(columns, 1);
  std::vector<std::uint32_t> starts;
  starts.reserve(kGrowth);
  std::size_t offset = 0;
  for (;;) {
    if (starts.size() == starts.capacity()) starts.reserve(starts.size() + kGrowth);
    starts.push_back(static_cast<std::uint32_t>(offset));
    if (offset >= text.size()) break;
    offset = lineEnd(text, offset, width);
  }
  starts_ = std::move(starts);
}

void LineIndex::clear() {
  starts_ = {};
}

int LineIndex::lineOfOffset(std::int64_t offset) const {
  const int count = lineCount();
  if (count == 0) return 0;
  const auto first = starts_.begin() + 1;
  const auto last = starts_.begin() + count;
  const auto found =
      std::upper_bound(first, last, offset, [](std::int64_t value, std::uint32_t start) { return value < start; });
  return static_cast<int>(found - starts_.begin()) - 1;
}

}  // namespace volta::document
