#include "player/wrd/sherry/vscreen.h"

#include <algorithm>
#include <cstring>

namespace volta::wrd::sherry {
namespace {
constexpr std::uint32_t kOpaque = 0xFF000000u;
}

SDisplay::SDisplay(std::shared_ptr<const UnifontFace> face) : glyphs_(std::move(face)) {
  clear();
}

void SDisplay::refresh() {
  ++refreshCount_;
  if (refreshHook_) refreshHook_();
}

void SDisplay::showRect(const SVirtualScreen& screen, const SShownRect& rect) {
  // The processor has checked the rectangle; clipping again keeps the surface safe regardless.
  const int width = std::min({rect.width, screen.width - rect.sourceX, kDisplayWidth - rect.destX});
  const int height = std::min({rect.height, screen.height - rect.sourceY, kDisplayHeight - rect.destY});
  if (width <= 0 || height <= 0 || rect.sourceX < 0 || rect.sourceY < 0 || rect.destX < 0 || rect.destY < 0) return;
  for (int y = 0; y < height; ++y)
    std::memcpy(surface_.row(rect.destY + y) + rect.destX, screen.row(rect.sourceY + y) + rect.sourceX,
                static_cast<std::size_t>(width));
}

void SDisplay::setColours(const SPalette& palette) {
  std::transform(palette.begin(), palette.end(), colours_.begin(), [](const SColour& c) {
    return kOpaque | static_cast<std::uint32_t>(c.red) << 16 | static_cast<std::uint32_t>(c.green) << 8 | c.blue;
  });
}

GlyphRows SDisplay::doubleByteGlyph(std::uint16_t shiftJis) {
  return glyphs_.renderPair(static_cast<std::uint8_t>(shiftJis >> 8), static_cast<std::uint8_t>(shiftJis), 0);
}

GlyphRows SDisplay::singleByteGlyph(std::uint8_t byte) {
  return glyphs_.renderByte(byte, 0);
}

void SDisplay::clear() {
  surface_.fill(0);
  colours_.fill(kOpaque);
}

}  // namespace volta::wrd::sherry
