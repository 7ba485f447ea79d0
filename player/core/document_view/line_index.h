#pragma once
// Display lines of a document text: where each line begins when the text wraps at a
// given number of columns. Texts are Shift-JIS bytes ending at their first zero byte;
// the bytes 01 nn are colour codes that take no column.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace volta::document {

inline constexpr std::uint8_t kColourCode = 0x01;
inline constexpr int kTabWidth = 8;

// The column a tab at `column` moves to.
constexpr int nextTabStop(int column) {
  return (column + kTabWidth) / kTabWidth * kTabWidth;
}

class LineIndex {
 public:
  // The index grows by this many entries at a time.
  static constexpr std::size_t kGrowth = 2048;

  // `text` holds the bytes before the terminating zero. A window narrower than one
  // column still shows one character per line.
  void build(std::string_view text, int columns);
  void clear();

  int lineCount() const { return starts_.empty() ? 0 : static_cast<int>(starts_.size()) - 1; }
  // Offset of the first byte of `line`; lineStart(lineCount()) is the terminator's offset.
  std::uint32_t lineStart(int line) const { return starts_[static_cast<std::size_t>(line)]; }
  // Number of bytes of `line` (0 <= line < lineCount()).
  std::uint32_t lineLength(int line) const { return lineStart(line + 1) - lineStart(line); }
  // The display line holding `offset`: the last line when the offset lies beyond it,
  // the first when it lies before it, 0 for an empty text.
  int lineOfOffset(std::int64_t offset) const;
  std::size_t capacity() const { return starts_.capacity(); }

 private:
  std::vector<std::uint32_t> starts_;
};

}  // namespace volta::document
