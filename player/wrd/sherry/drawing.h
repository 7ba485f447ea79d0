#pragma once
// Drawing into virtual screens. Callers have checked every coordinate against the screen;
// nothing here clips.

#include <cstdint>
#include <span>

#include "player/wrd/glyphs.h"
#include "player/wrd/sherry/objects.h"

namespace volta::wrd::sherry {

// Lines and boxes write each pixel as (pixel AND mask) OR colour.
struct SPen {
  std::uint8_t mask = 0;
  std::uint8_t colour = 0;
};

void drawHorizontal(SVirtualScreen& screen, int x1, int x2, int y, SPen pen);
void drawVertical(SVirtualScreen& screen, int x, int y1, int y2, SPen pen);
void drawFilledBox(SVirtualScreen& screen, int x1, int y1, int x2, int y2, SPen pen);
// Steps along the longer axis; the end point is drawn last.
void drawLine(SVirtualScreen& screen, int x1, int y1, int x2, int y2, SPen pen);

// A glyph cell of `width` (8 or 16) x 16 pixels at (x, y): set bits take `colour`, clear
// bits the screen's fill colour, and only the bits of `mask` change.
void drawGlyph(SVirtualScreen& screen, int x, int y, const GlyphRows& rows, int width, std::uint8_t mask,
               std::uint8_t colour);

// Which source pixels a copy takes.
struct SCopyRule {
  std::uint8_t mask = 0xFF;
  bool skipFill = false;  // source pixels of the source screen's fill colour stay out
  // Rows of `patternWidth` bytes; pixel (c, r) of the area is copied when bit c mod width
  // (most significant first) of row r mod height is set. A pattern of no size copies nothing.
  bool patterned = false;
  std::span<const std::uint8_t> pattern;
  int patternWidth = 0;
  int patternHeight = 0;
};

// Copies the inclusive rectangle (x1, y1)-(x2, y2) of `source` to (dx, dy) of `dest`: each
// destination pixel := (pixel AND NOT mask) OR (source pixel AND mask). Overlapping areas of one
// screen are copied as if through a temporary copy.
void copyArea(const SVirtualScreen& source, SVirtualScreen& dest, int x1, int y1, int x2, int y2, int dx, int dy,
              const SCopyRule& rule);

}  // namespace volta::wrd::sherry
