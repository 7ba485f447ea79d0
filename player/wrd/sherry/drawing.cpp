#include "player/wrd/sherry/drawing.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace volta::wrd::sherry {
namespace {

void plot(SVirtualScreen& screen, int x, int y, SPen pen) {
  std::uint8_t& p = screen.row(y)[x];
  p = static_cast<std::uint8_t>((p & pen.mask) | pen.colour);
}

std::uint8_t masked(std::uint8_t pixel, std::uint8_t value, std::uint8_t mask) {
  return static_cast<std::uint8_t>((pixel & ~mask) | (value & mask));
}

bool patternAllows(const SCopyRule& rule, int column, int row) {
  if (!rule.patterned) return true;
  if (rule.patternWidth <= 0 || rule.patternHeight <= 0) return false;
  const int c = column % rule.patternWidth;
  const auto at = static_cast<std::size_t>(row % rule.patternHeight) * static_cast<std::size_t>(rule.patternWidth) +
                  static_cast<std::size_t>(c / 8);
  return at < rule.pattern.size() && (rule.pattern[at] & (0x80 >> (c % 8))) != 0;
}

}  // namespace

void drawHorizontal(SVirtualScreen& screen, int x1, int x2, int y, SPen pen) {
  for (int x = std::min(x1, x2); x <= std::max(x1, x2); ++x)
    plot(screen, x, y, pen);
}

void drawVertical(SVirtualScreen& screen, int x, int y1, int y2, SPen pen) {
  for (int y = std::min(y1, y2); y <= std::max(y1, y2); ++y)
    plot(screen, x, y, pen);
}

void drawFilledBox(SVirtualScreen& screen, int x1, int y1, int x2, int y2, SPen pen) {
  for (int y = std::min(y1, y2); y <= std::max(y1, y2); ++y)
    drawHorizontal(screen, x1, x2, y, pen);
}

void drawLine(SVirtualScreen& screen, int x1, int y1, int x2, int y2, SPen pen) {
  const int sx = x2 > x1 ? 1 : -1;
  const int sy = y2 > y1 ? 1 : -1;
  const bool steep = std::abs(x2 - x1) <= std::abs(y2 - y1);
  const int length = steep ? std::abs(y2 - y1) : std::abs(x2 - x1);
  const int across = steep ? std::abs(x2 - x1) : std::abs(y2 - y1);
  int e = length / 2;
  int x = x1;
  int y = y1;
  for (int k = 0; k < length; ++k) {
    plot(screen, x, y, pen);
    e += across;
    const bool crossStep = e > length;
    if (crossStep) e -= length;
    x += steep ? (crossStep ? sx : 0) : sx;
    y += steep ? sy : (crossStep ? sy : 0);
  }
  plot(screen, x2, y2, pen);
}

void drawGlyph(SVirtualScreen& screen, int x, int y, const GlyphRows& rows, int width, std::uint8_t mask,
               std::uint8_t colour) {
  for (int r = 0; r < 16; ++r) {
    std::uint8_t* line = screen.row(y + r) + x;
    for (int c = 0; c < width; ++c) {
      const bool set = (rows[static_cast<std::size_t>(r)] & (0x8000u >> c)) != 0;
      line[c] = masked(line[c], set ? colour : screen.fill, mask);
    }
  }
}

void copyArea(const SVirtualScreen& source, SVirtualScreen& dest, int x1, int y1, int x2, int y2, int dx, int dy,
              const SCopyRule& rule) {
  const int width = x2 - x1 + 1;
  const int height = y2 - y1 + 1;
  if (width <= 0 || height <= 0) return;
  // One buffer of the source area serves every case, overlapping or not.
  std::vector<std::uint8_t> area(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int r = 0; r < height; ++r)
    std::copy_n(source.row(y1 + r) + x1, width, area.begin() + static_cast<std::ptrdiff_t>(r) * width);
  for (int r = 0; r < height; ++r) {
    const std::uint8_t* from = area.data() + static_cast<std::ptrdiff_t>(r) * width;
    std::uint8_t* to = dest.row(dy + r) + dx;
    for (int c = 0; c < width; ++c) {
      if (rule.skipFill && from[c] == source.fill) continue;
      if (!patternAllows(rule, c, r)) continue;
      to[c] = masked(to[c], from[c], rule.mask);
    }
  }
}

}  // namespace volta::wrd::sherry
