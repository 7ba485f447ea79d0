#include "player/wrd/text_writer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "platform/text.h"
#include "player/wrd/pixel_words.h"

namespace volta::wrd {

using platform::text::isShiftJisLead;

namespace {

constexpr std::uint8_t kEsc = 0x1B;
constexpr int kLastColumn = kTextColumns - 1;
constexpr int kLastRow = kTextRows - 1;
constexpr int kTextHeight = kTextRows * kCellHeight;
constexpr std::uint16_t kFullWidthSpace = 0x8140;
// Escape-sequence numbers saturate here; no cursor move or count needs more.
constexpr int kNumberLimit = 100000;

std::uint8_t textByte(int colour) {
  return static_cast<std::uint8_t>(0x80 + (colour & 7) * 16);
}

bool isParameterByte(char c) {
  return (c >= '0' && c <= '9') || c == ';' || c == '>' || c == ' ';
}

// The numbers of an escape sequence's parameters, one per ";"-separated field (empty = 0).
std::vector<int> parameterNumbers(std::string_view params) {
  std::vector<int> numbers{0};
  for (char c : params) {
    if (c == ';') {
      numbers.push_back(0);
    } else if (c >= '0' && c <= '9') {
      numbers.back() = std::min(numbers.back() * 10 + (c - '0'), kNumberLimit);
    }
  }
  return numbers;
}

// Colour codes 30..37 (and 40..47) in the order of the terminal colours.
constexpr std::array<int, 8> kTerminalColours = {0, 2, 4, 6, 1, 3, 5, 7};
// Colour codes 17..23.
constexpr std::array<int, 7> kLegacyColours = {2, 1, 3, 4, 6, 5, 7};

// Each of eight bits twice, for double-width text.
constexpr std::array<std::uint16_t, 256> kDoubledBits = [] {
  std::array<std::uint16_t, 256> doubled{};
  for (unsigned bits = 0; bits < 256; ++bits) {
    for (unsigned i = 0; i < 8; ++i) {
      if ((bits & (1u << i)) != 0) doubled[bits] = static_cast<std::uint16_t>(doubled[bits] | 3u << (2 * i));
    }
  }
  return doubled;
}();

// A glyph row as the pixels it covers, left-aligned in 32 bits.
std::uint32_t rowBits(std::uint16_t row, int scale) {
  if (scale == 1) return static_cast<std::uint32_t>(row) << 16;
  return static_cast<std::uint32_t>(kDoubledBits[row >> 8]) << 16 | kDoubledBits[row & 0xFF];
}

bool isGlyphByte(std::uint8_t b) {
  return b >= 33 && b <= 247 && b != 127 && b != 160;
}

}  // namespace

TextWriter::TextWriter(Screen& screen, GlyphRenderer& glyphs) : screen_(screen), glyphs_(glyphs) {}

void TextWriter::setKanaFontPath(const std::filesystem::path& path) {
  kanaPath_ = path;
  glyphs_.loadKanaFont(path);
}

void TextWriter::reset() {
  cursor_ = TextCursor{};
  saved_ = TextCursor{};
  doubleByte_ = true;
  skip_ = 0;
  glyphs_.setKanaMode(false);
  if (!kanaPath_.empty()) glyphs_.loadKanaFont(kanaPath_);
}

bool TextWriter::doubleWidth() const {
  return screen_.state().textOn == 2;
}

// ---- the writer ----

void TextWriter::writeAt(int column, int row, std::string_view text) {
  cursor_.column = column;
  cursor_.row = row;
  write(text);
}

void TextWriter::write(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<std::uint8_t>(text[i]);
    switch (b) {
      case kEsc:
        i += escape(text.substr(i));
        continue;
      case 9:
        cursor_.column = (cursor_.column & 0xF8) + 8;
        break;
      case 8:
        if (cursor_.column > 0) {
          --cursor_.column;
        } else if (cursor_.row > 0) {
          cursor_.column = kLastColumn;
          --cursor_.row;
        }
        break;
      case 0x1E:
        cursor_.column = 0;
        cursor_.row = 0;
        break;
      case 0x0B:
        if (cursor_.row > 0) --cursor_.row;
        break;
      case 0x0C:
        if (++cursor_.column > kLastColumn) {
          cursor_.column = 0;
          lineFeed();
        }
        break;
      case 7:
        if (beep_) beep_();
        break;
      case '^':
        if (caretHook_) {
          const std::size_t used = std::min(caretHook_(text.substr(i)), text.size() - i);
          if (used > 0) {
            i += used;
            continue;
          }
        }
        printable(text, i);
        continue;
      default:
        printable(text, i);
        continue;
    }
    ++i;
  }
}

void TextWriter::lineFeed() {
  if (++cursor_.row > kLastRow) {
    cursor_.row = kLastRow;
    scrollUp();
  }
}

// A character that would run past column 79 begins the next row, so none is lost.
void TextWriter::wrapFor(int columns) {
  if (cursor_.column + columns > kTextColumns) {
    cursor_.column = 0;
    ++cursor_.row;
  }
  if (cursor_.row > kLastRow) {
    cursor_.row = kLastRow;
    scrollUp();
  }
}

void TextWriter::printable(std::string_view text, std::size_t& i) {
  const auto b = static_cast<std::uint8_t>(text[i]);
  const int scale = doubleWidth() ? 2 : 1;
  if (isShiftJisLead(b) && doubleByte_) {
    const std::uint8_t trail = i + 1 < text.size() ? static_cast<std::uint8_t>(text[i + 1]) : 0;
    i += i + 1 < text.size() ? 2 : 1;
    wrapFor(2 * scale);
    if ((b << 8 | trail) != kFullWidthSpace) skip_ = 0;
    if (doubleWidth() && skip_ != 0) {
      skip_ = 0;
    } else {
      putPair(cursor_.column, cursor_.row, b, trail, cursor_.colour, cursor_.attribute);
      skip_ = 2;
    }
    cursor_.column += 2;
    return;
  }
  ++i;
  wrapFor(scale);
  if (b != ' ') skip_ = 0;
  if (doubleWidth() && skip_ != 0) {
    --skip_;
  } else {
    putChar(cursor_.column, cursor_.row, b, cursor_.colour, cursor_.attribute);
    skip_ = 1;
  }
  ++cursor_.column;
}

std::size_t TextWriter::escape(std::string_view text) {
  if (text.size() < 2) return text.size();
  switch (text[1]) {
    case '[':
      return controlSequence(text);
    case '*':
      eraseDisplay(2);
      break;
    case 'D':
      lineFeed();
      break;
    case 'E':
      lineFeed();
      cursor_.column = 0;
      break;
    case 'M':
      if (cursor_.row == 0) {
        scrollDown();
      } else {
        --cursor_.row;
      }
      break;
    case ')':
      if (text.size() > 2 && (text[2] == '0' || text[2] == '3')) {
        doubleByte_ = text[2] == '0';
        return 3;
      }
      break;
    default:
      break;
  }
  return 2;
}

std::size_t TextWriter::controlSequence(std::string_view text) {
  std::size_t end = 2;
  while (end < text.size() && isParameterByte(text[end]))
    ++end;
  if (end >= text.size()) return text.size();
  const std::string_view params = text.substr(2, end - 2);
  const std::vector<int> numbers = parameterNumbers(params);
  const int n = numbers.front();
  const int count = std::max(n, 1);
  std::size_t used = end + 1;
  switch (text[end]) {
    case 'm':
      if (params.empty()) {
        applyAttributeCode(0);
      } else {
        for (int code : numbers)
          applyAttributeCode(code);
      }
      break;
    case 'J':
    case 'j':
      eraseDisplay(n);
      break;
    case 'H':
    case 'f':
      // Without ";" the column is 0: nothing beyond the sequence is read.
      cursor_.row = std::max(n - 1, 0);
      cursor_.column = numbers.size() > 1 ? std::max(numbers[1] - 1, 0) : 0;
      break;
    case 'A':
    case 'a':
      cursor_.row = std::max(cursor_.row - count, 0);
      break;
    case 'B':
    case 'b':
      cursor_.row = std::min(cursor_.row + count, kLastRow);
      break;
    case 'C':
    case 'c':
      cursor_.column = std::min(cursor_.column + count, kLastColumn);
      break;
    case 'D':
    case 'd':
      cursor_.column = std::max(cursor_.column - count, 0);
      break;
    case 'K':
    case 'k':
      eraseLine(n);
      break;
    case 'L':
      shiftLines(count, 1);
      break;
    case 'M':
      shiftLines(count, 0);
      break;
    case 's':
      saved_ = cursor_;
      break;
    case 'u':
      cursor_ = saved_;
      break;
    case ')':
      used = std::min(used + 1, text.size());
      break;
    default:
      break;
  }
  return used;
}

void TextWriter::clearCells(int x1, int y1, int x2, int y2) {
  fillCells(x1, y1, x2, y2, ' ', 0, 0);
}

void TextWriter::eraseDisplay(int n) {
  const int column = cursor_.column;
  const int row = cursor_.row;
  switch (n) {
    case 2:
      clearCells(0, 0, kLastColumn, kLastRow);
      cursor_.column = 0;
      cursor_.row = 0;
      break;
    case 0:
      clearCells(column, row, kLastColumn, row);
      if (row < kLastRow) clearCells(0, row + 1, kLastColumn, kLastRow);
      break;
    case 1:
      if (row > 0) clearCells(0, 0, kLastColumn, row - 1);
      clearCells(0, row, column, row);
      break;
    default:
      break;
  }
}

void TextWriter::eraseLine(int n) {
  const int row = cursor_.row;
  switch (n) {
    case 0:
      clearCells(cursor_.column, row, kLastColumn, row);
      break;
    case 1:
      clearCells(0, row, cursor_.column, row);
      break;
    case 2:
      clearCells(0, row, kLastColumn, row);
      break;
    default:
      break;
  }
}

void TextWriter::shiftLines(int count, int direction) {
  // Past 25 shifts the region is blank whatever the count.
  for (int k = 0; k < std::min(count, kTextRows); ++k) {
    scrollRegion(0, cursor_.row, kLastColumn, kLastRow, direction, 7, ' ');
    screen_.flushScreen(0);
  }
  cursor_.column = 0;
}

// ---- attributes ----

void TextWriter::applyAttributeCode(int code) {
  auto colourWith = [this](int colour, int attribute) {
    cursor_.colour = colour;
    cursor_.attribute = attribute;
  };
  if (code == 7) {
    cursor_.attribute |= kAttrReverse;
  } else if (code == 4) {
    cursor_.attribute |= kAttrUnderline;
  } else if (code == 8 || code == 16) {
    cursor_.attribute = (cursor_.attribute | kAttrSecret) & ~(kAttrReverse | kAttrUnderline);
  } else if (code == 2 || code == 5) {
    return;
  } else if (code >= 17 && code <= 23) {
    colourWith(kLegacyColours[static_cast<std::size_t>(code - 17)], 0);
  } else if (code >= 30 && code <= 37) {
    colourWith(kTerminalColours[static_cast<std::size_t>(code - 30)], 0);
  } else if (code >= 40 && code <= 47) {
    colourWith(kTerminalColours[static_cast<std::size_t>(code - 40)], kAttrReverse);
  } else {
    colourWith(7, 0);
  }
}

// ---- cells ----

void TextWriter::drawCells(int column, int row, const GlyphRows& rows, int glyphWidth, int colour, int count) {
  const int scale = doubleWidth() ? 2 : 1;
  const int words = glyphWidth * scale / 8;  // 1, 2 or 4 per cell
  const int rowWords = words * count;
  const Rect area{column * kCellWidth, row * kCellHeight, column * kCellWidth + 8 * rowWords - 1,
                  row * kCellHeight + kCellHeight - 1};
  const std::uint64_t on = kEachByte * textByte(colour);
  // While catching up silently the composite is left alone: the cells are marked dirty instead,
  // and the recomposition that ends the catch-up brings them in.
  const bool intoComposite = !screen_.state().updatesSuppressed;
  std::uint8_t* t = screen_.textLayer().row(area.y1) + area.x1;
  std::uint8_t* c = screen_.composite().row(area.y1) + area.x1;
  for (int y = 0; y < kCellHeight; ++y, t += Surface::kNextRow, c += Surface::kNextRow) {
    const std::uint32_t bits = rowBits(rows[static_cast<std::size_t>(y)], scale);
    for (int i = 0; i < rowWords; ++i) {
      const std::uint64_t pixels = kPixelMasks[bits >> (24 - 8 * (i & (words - 1))) & 0xFF] & on;
      store8(t + 8 * i, pixels);
      if (intoComposite) store8(c + 8 * i, (load8(c + 8 * i) & kLowNibbles) | pixels);
    }
  }
  if (!intoComposite) screen_.markDirty(area);
  screen_.invalidate(area);
}

GlyphRows TextWriter::byteGlyph(std::uint8_t byte, int attribute) {
  if (isGlyphByte(byte)) return glyphs_.renderByte(byte, attribute);
  // Blanks and control bytes fill the cell by the reverse and underline bits.
  const bool reverse = (attribute & kAttrReverse) != 0;
  const bool underline = (attribute & kAttrUnderline) != 0;
  GlyphRows rows{};
  if (reverse) rows.fill(0xFFFF);
  rows[15] = reverse != underline ? 0xFFFF : 0;
  return rows;
}

void TextWriter::putChar(int column, int row, std::uint8_t byte, int colour, int attribute) {
  putRun(column, row, 1, byte, colour, attribute);
}

void TextWriter::putRun(int column, int row, int count, std::uint8_t byte, int colour, int attribute) {
  const int scale = doubleWidth() ? 2 : 1;
  const int lastColumn = kLastColumn - (scale - 1);
  if (column < 0 || column > lastColumn || row < 0 || row > kLastRow) return;
  count = std::min(count, (lastColumn - column) / scale + 1);
  drawCells(column, row, byteGlyph(byte, attribute), kCellWidth, colour, count);
  if (!isGlyphByte(byte))
    screen_.markDirty({column * kCellWidth, row * kCellHeight, (column + scale * count) * kCellWidth - 1,
                       (row + 1) * kCellHeight - 1});
}

void TextWriter::putPair(int column, int row, std::uint8_t lead, std::uint8_t trail, int colour, int attribute) {
  if (column < 0 || column > kLastColumn - 1 || row < 0 || row > kLastRow) return;
  if (doubleWidth() && column > kLastColumn - 3) return;
  drawCells(column, row, glyphs_.renderPair(lead, trail, attribute), 2 * kCellWidth, colour, 1);
}

void TextWriter::fillCells(int x1, int y1, int x2, int y2, std::uint8_t byte, int colour, int attribute) {
  const int step = doubleWidth() ? 2 : 1;
  const int first = std::max(x1, 0);
  const int last = std::min(x2, kLastColumn);
  for (int y = std::max(y1, 0); y <= std::min(y2, kLastRow); ++y) {
    if (first <= last) putRun(first, y, (last - first) / step + 1, byte, colour, attribute);
    screen_.advanceFade();
  }
}

void TextWriter::scrollRegion(int x1, int y1, int x2, int y2, int direction, int colour, std::uint8_t byte) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  x1 = std::clamp(x1, 0, kLastColumn);
  x2 = std::clamp(x2, 0, kLastColumn);
  y1 = std::clamp(y1, 0, kLastRow);
  y2 = std::clamp(y2, 0, kLastRow);
  const Rect area{x1 * kCellWidth, y1 * kCellHeight, (x2 + 1) * kCellWidth - 1, (y2 + 1) * kCellHeight - 1};
  screen_.invalidate(area);
  screen_.markDirty(area);
  Surface& text = screen_.textLayer();
  const int width = area.x2 - area.x1 + 1;
  const auto moveRow = [&](int to, int from) {
    std::memmove(text.row(to) + area.x1, text.row(from) + area.x1, static_cast<std::size_t>(width));
  };
  const auto shiftRow = [&](int y, int to, int from) {
    std::uint8_t* r = text.row(y);
    std::memmove(r + to, r + from, static_cast<std::size_t>(width - kCellWidth));
  };
  switch (direction) {
    case 0:
      for (int y = area.y1; y + kCellHeight <= area.y2; ++y, screen_.advanceFade())
        moveRow(y, y + kCellHeight);
      fillCells(x1, y2, x2, y2, byte, colour, 0);
      break;
    case 1:
      for (int y = area.y2; y - kCellHeight >= area.y1; --y, screen_.advanceFade())
        moveRow(y, y - kCellHeight);
      fillCells(x1, y1, x2, y1, byte, colour, 0);
      break;
    case 2:
      for (int y = area.y1; y <= area.y2; ++y, screen_.advanceFade())
        shiftRow(y, area.x1 + kCellWidth, area.x1);
      fillCells(x1, y1, x1, y2, byte, colour, 0);
      break;
    case 3:
      for (int y = area.y1; y <= area.y2; ++y, screen_.advanceFade())
        shiftRow(y, area.x1, area.x1 + kCellWidth);
      fillCells(x2, y1, x2, y2, byte, colour, 0);
      break;
    default:
      break;
  }
}

void TextWriter::scrollWhole(bool up) {
  Surface& text = screen_.textLayer();
  const std::uint8_t exposed = (cursor_.attribute & kAttrReverse) ? textByte(cursor_.colour) : 0;
  constexpr int kKept = kTextHeight - kCellHeight;
  text.moveRows(up ? 0 : kCellHeight, up ? kCellHeight : 0, kKept);
  text.fillRows(up ? kKept : 0, kCellHeight, exposed);
  screen_.markDirty(kWholeScreen);
  screen_.invalidate(kWholeScreen);
}

void TextWriter::scrollUp() {
  scrollWhole(true);
}

void TextWriter::scrollDown() {
  scrollWhole(false);
}

// ---- idle screen ----

void drawIdleScreen(Screen& screen, TextWriter& writer, std::string_view title) {
  DrawState& state = screen.state();
  if (state.displayPage != 0) screen.markDirty(kWholeScreen);
  state.displayPage = 0;
  state.activePage = 0;
  screen.clearPlanes(15);
  screen.glineCommand(0, 168, 639, 232, 1, 2, 1);
  const std::string_view name = "VOLTA Player";
  writer.writeAt(40 - static_cast<int>(name.size()) / 2, 11, name);
  // "不明な曲" in Shift JIS.
  const std::string_view unknown = "\x95\x73\x96\xBE\x82\xC8\x8B\xC8";
  const std::string_view shown = title.empty() ? unknown : title;
  writer.writeAt(std::max(40 - static_cast<int>(shown.size()) / 2, 0), 13, shown);
}

}  // namespace volta::wrd
