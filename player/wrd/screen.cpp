#include "player/wrd/screen.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "player/wrd/pixel_words.h"

namespace volta::wrd {

namespace {

constexpr int kMaxX = kSurfaceWidth - 1;
constexpr int kMaxY = kSurfaceHeight - 1;
// Script numbers are 32-bit; coordinates are held to this range so that a stray huge
// value cannot turn a line or circle walk into billions of steps.
constexpr int kCoordinateLimit = 32767;

int limitCoordinate(int v) {
  return std::clamp(v, -kCoordinateLimit, kCoordinateLimit);
}

bool patternBit(std::uint8_t style, int k) {
  return (style & (0x80 >> (k & 7))) != 0;
}

std::uint8_t reversedBits(std::uint8_t p) {
  std::uint8_t r = 0;
  for (int i = 0; i < 8; ++i)
    r = static_cast<std::uint8_t>(r | (((p >> i) & 1) << (7 - i)));
  return r;
}

std::uint8_t masked(std::uint8_t byte, int colour, int mask) {
  return static_cast<std::uint8_t>((byte & ~mask) | (colour & mask));
}

// out := a OR b, eight bytes at a time.
void orBytes(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out, int count) {
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    std::uint64_t x = 0;
    std::uint64_t y = 0;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    x |= y;
    std::memcpy(out + i, &x, 8);
  }
  for (; i < count; ++i)
    out[i] = static_cast<std::uint8_t>(a[i] | b[i]);
}

Rect orderedClamped(int x1, int y1, int x2, int y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  return {std::clamp(x1, 0, kMaxX), std::clamp(y1, 0, kMaxY), std::clamp(x2, 0, kMaxX), std::clamp(y2, 0, kMaxY)};
}

}  // namespace

std::uint32_t textColourRgb(int colour) {
  const std::uint32_t blue = (colour & 1) ? 0xFFu : 0;
  const std::uint32_t red = (colour & 2) ? 0xFFu : 0;
  const std::uint32_t green = (colour & 4) ? 0xFFu : 0;
  return 0xFF000000u | red << 16 | green << 8 | blue;
}

// A clipped copy: source and destination rectangles of the same size on existing pages.
struct Screen::CopyArea {
  int sourcePage;
  int destPage;
  int sx;
  int sy;
  int dx;
  int dy;
  int width;
  int height;
  Rect source() const { return {sx, sy, sx + width - 1, sy + height - 1}; }
  Rect dest() const { return {dx, dy, dx + width - 1, dy + height - 1}; }
};

Screen::Screen() {
  for (int i = 0; i < kFixedPageCount; ++i)
    pages_.push_back(std::make_unique<Surface>());
  applyBank0();
}

Surface* Screen::page(int index) {
  return index >= 0 && index < pageCount() ? pages_[static_cast<std::size_t>(index)].get() : nullptr;
}

const Surface* Screen::page(int index) const {
  return index >= 0 && index < pageCount() ? pages_[static_cast<std::size_t>(index)].get() : nullptr;
}

void Screen::makeExtraPages(int count) {
  freeExtraPages();
  count = std::clamp(count, 0, kMaxPageCount - kFixedPageCount);
  for (int i = 0; i < count; ++i)
    pages_.push_back(std::make_unique<Surface>());
}

void Screen::freeExtraPages() {
  pages_.resize(kFixedPageCount);
  // A freed page cannot stay active or on display.
  if (state_.activePage >= kFixedPageCount) state_.activePage = 0;
  if (state_.displayPage >= kFixedPageCount) {
    state_.displayPage = 0;
    markDirty(kWholeScreen);
  }
}

void Screen::reset() {
  freeExtraPages();
  for (int i = 0; i < kFixedPageCount; ++i)
    pages_[static_cast<std::size_t>(i)]->fill(0);
  textLayer_.fill(0);
  composite_.fill(0);
  for (int b = 1; b <= kPictureBankOdd; ++b)
    banks_[static_cast<std::size_t>(b)] = PaletteBank{};
}

// ---- palettes ----

std::uint32_t Screen::colourTableValue(int h, int g) const {
  const bool textVisible = state_.textOn == 1 || state_.textOn == 2;
  if (h >= 8 && textVisible) {
    return paletteBase_ ? static_cast<std::uint32_t>(*paletteBase_ + 16 + h - 8) : textColourRgb(h - 8);
  }
  const int entry = state_.graphicsOn ? g : 0;
  return paletteBase_ ? static_cast<std::uint32_t>(*paletteBase_ + entry)
                      : rgbOf(banks_[0][static_cast<std::size_t>(entry)]);
}

void Screen::setPaletteEntry(int index, std::uint16_t value) {
  if (index < 0 || index > 15) return;
  banks_[0][static_cast<std::size_t>(index)] = value & 0xFFF;
  for (int h = 0; h < 16; ++h)
    colourTable_[static_cast<std::size_t>(h * 16 + index)] = colourTableValue(h, index);
}

void Screen::applyBank0() {
  for (int i = 0; i < 16; ++i)
    setPaletteEntry(i, banks_[0][static_cast<std::size_t>(i)]);
}

void Screen::setPaletteBase(std::optional<int> base) {
  paletteBase_ = base;
  applyBank0();
  invalidate(kWholeSurface);
}

std::array<std::uint32_t, 16> Screen::bank0Rgb() const {
  std::array<std::uint32_t, 16> rgb{};
  for (std::size_t i = 0; i < rgb.size(); ++i)
    rgb[i] = rgbOf(banks_[0][i]);
  return rgb;
}

void Screen::pushPalette() {
  if (hooks_.pushPalette) hooks_.pushPalette(bank0Rgb());
}

// ---- change collection ----

void Screen::flushScreen(int force) {
  if (state_.updatesSuppressed) return;
  if (dirty_) {
    log("FlushScreen\n");
    recompose(*dirty_);
    invalidate(*dirty_);
    dirty_.reset();
  }
  if (paletteDirty_ && force >= 1) {
    log("AnimatePalette\n");
    pushPalette();
    if (!paletteBase_) invalidate(kWholeSurface);
    paletteDirty_ = false;
  }
}

void Screen::recompose(const Rect& r) {
  const int y1 = std::clamp(std::min(r.y1, r.y2), 0, kMaxY);
  const int y2 = std::clamp(std::max(r.y1, r.y2), 0, kMaxY);
  const int x1 = std::clamp(std::min(r.x1, r.x2), 0, kMaxX) & ~3;
  const int x2 = std::clamp(std::max(r.x1, r.x2), 0, kMaxX) | 3;
  const Surface* shown = page(state_.displayPage);
  for (int y = y1; y <= y2; ++y) {
    const std::uint8_t* text = textLayer_.row(y);
    std::uint8_t* out = composite_.row(y);
    if (shown == nullptr) {
      std::copy(text + x1, text + x2 + 1, out + x1);
      continue;
    }
    orBytes(text + x1, shown->row(y) + x1, out + x1, x2 - x1 + 1);
  }
}

void Screen::invalidate(const Rect& r) const {
  if (!hooks_.invalidate) return;
  const Rect c = orderedClamped(r.x1, r.y1, r.x2, r.y2);
  hooks_.invalidate(c);
}

void Screen::advanceFade() const {
  if (hooks_.advanceFade) hooks_.advanceFade();
}

void Screen::log(std::string_view text) const {
  if (hooks_.log) hooks_.log(text);
}

// ---- primitives ----

int Screen::effectivePlaneMask() const {
  const int mask = state_.planeMask & 15;
  return state_.startupValue < 400 ? mask & 7 : mask;
}

void Screen::setPixel(int x, int y, int colour) {
  if (!Surface::contains(x, y)) return;
  const int mask = effectivePlaneMask();
  std::uint8_t& byte = page(state_.activePage & 1)->row(y)[x];
  byte = masked(byte, colour, mask);
  if (drawPageDisplayed()) {
    std::uint8_t& shown = composite_.row(y)[x];
    shown = masked(shown, colour, mask);
  }
}

void Screen::horizontalRun(int x1, int x2, int y, int colour, std::uint8_t style) {
  const int mask = effectivePlaneMask();
  std::uint8_t* row = page(state_.activePage & 1)->row(y);
  std::uint8_t* shown = drawPageDisplayed() ? composite_.row(y) : nullptr;
  // The style repeats every eight pixels from x1, so whole words share one masked write.
  const std::uint64_t written = kPixelMasks[style] & (kEachByte * static_cast<std::uint8_t>(mask));
  const std::uint64_t colours = (kEachByte * static_cast<std::uint8_t>(colour)) & written;
  const auto maskedWord = [&](std::uint8_t* at) { store8(at, (load8(at) & ~written) | colours); };
  int x = x1;
  for (; x + 8 <= x2 + 1; x += 8) {
    maskedWord(row + x);
    if (shown != nullptr) maskedWord(shown + x);
  }
  for (int k = x - x1; x <= x2; ++x, ++k) {
    if (!patternBit(style, k)) continue;
    row[x] = masked(row[x], colour, mask);
    if (shown != nullptr) shown[x] = masked(shown[x], colour, mask);
  }
}

void Screen::verticalRun(int x, int y1, int y2, int colour, std::uint8_t style) {
  for (int y = y1, k = 0; y <= y2; ++y, ++k) {
    if (patternBit(style, k)) setPixel(x, y, colour);
  }
}

void Screen::slantedLine(int x1, int y1, int x2, int y2, int colour, std::uint8_t style) {
  const int dx = std::abs(x2 - x1);
  const int dy = std::abs(y2 - y1);
  const int sx = x2 > x1 ? 1 : -1;
  const int sy = y2 > y1 ? 1 : -1;
  // Walk along the longer axis; the shorter one steps when the error passes the length.
  const bool steep = dx <= dy;
  const int length = steep ? dy : dx;
  const int across = steep ? dx : dy;
  int e = length / 2;
  int x = x1;
  int y = y1;
  for (int k = 0; k < length; ++k) {
    if (patternBit(style, k)) setPixel(x, y, colour);
    e += across;
    const bool crossStep = e > length;
    if (crossStep) e -= length;
    if (steep) {
      x += crossStep ? sx : 0;
      y += sy;
    } else {
      y += crossStep ? sy : 0;
      x += sx;
    }
  }
  if (patternBit(style, length)) setPixel(x2, y2, colour);
}

void Screen::line(int x1, int y1, int x2, int y2, int colour, std::uint8_t style) {
  x1 = limitCoordinate(x1);
  y1 = limitCoordinate(y1);
  x2 = limitCoordinate(x2);
  y2 = limitCoordinate(y2);
  const bool horizontal = y1 == y2;
  const bool vertical = x1 == x2;
  if (!horizontal && !vertical) {
    slantedLine(x1, y1, x2, y2, colour, style);
    return;
  }
  const bool allAbove = y1 < 0 && y2 < 0;
  const bool allBelow = y1 > kMaxY && y2 > kMaxY;
  const bool allLeft = x1 < 0 && x2 < 0;
  const bool allRight = x1 > kMaxX && x2 > kMaxX;
  if (allAbove || allBelow || allLeft || allRight) return;
  const Rect c = orderedClamped(x1, y1, x2, y2);
  if (horizontal) {
    horizontalRun(c.x1, c.x2, c.y1, colour, style);
  } else {
    verticalRun(c.x1, c.y1, c.y2, colour, style);
  }
}

void Screen::box(int x1, int y1, int x2, int y2, int colour, std::uint8_t style) {
  const std::uint8_t reversed = reversedBits(style);
  line(x1, y1, x2, y1, colour, style);
  line(x1, y2, x2, y2, colour, reversed);
  line(x1, y1, x1, y2, colour, reversed);
  line(x2, y1, x2, y2, colour, style);
}

void Screen::filledBox(int x1, int y1, int x2, int y2, int colour) {
  x2 = std::max(x2, x1);
  y2 = std::max(y2, y1);
  // Rows off the surface draw nothing, so only the visible ones are walked.
  for (int y = std::max(y1, 0); y <= std::min(y2, kMaxY); ++y)
    line(x1, y, x2, y, colour, 0xFF);
}

void Screen::circleWalk(int r, const std::function<void(int, int)>& step) {
  int x = r;
  int y = 0;
  int d = r;
  while (y <= x) {
    step(x, y);
    d -= 2 * y + 1;
    ++y;
    if (d < 0) {
      --x;
      d += 2 * x;
    }
  }
}

void Screen::circle(int cx, int cy, int r, int colour) {
  if (r < 0) return;
  cx = limitCoordinate(cx);
  cy = limitCoordinate(cy);
  circleWalk(std::min(r, kCoordinateLimit), [&](int x, int y) {
    for (const auto& [px, py] : {std::pair{x, y}, std::pair{y, x}}) {
      setPixel(cx + px, cy + py, colour);
      setPixel(cx - px, cy + py, colour);
      setPixel(cx + px, cy - py, colour);
      setPixel(cx - px, cy - py, colour);
    }
  });
}

void Screen::filledCircle(int cx, int cy, int r, int colour) {
  if (r < 0) return;
  cx = limitCoordinate(cx);
  cy = limitCoordinate(cy);
  circleWalk(std::min(r, kCoordinateLimit), [&](int x, int y) {
    for (const auto& [px, py] : {std::pair{x, y}, std::pair{y, x}}) {
      line(cx + px, cy + py, cx - px, cy + py, colour, 0xFF);
      line(cx + px, cy - py, cx - px, cy - py, colour, 0xFF);
    }
  });
}

void Screen::glineCommand(int x1, int y1, int x2, int y2, int colour, int mode, int style) {
  const Rect r = orderedClamped(x1, y1, x2, y2);
  const auto pattern = static_cast<std::uint8_t>(style == 0 ? 0xFF : style);
  switch (mode) {
    case 0:
      line(x1, y1, x2, y2, colour, pattern);
      break;
    case 1:
      box(r.x1, r.y1, r.x2, r.y2, colour, pattern);
      break;
    case 2:
      filledBox(r.x1, r.y1, r.x2, r.y2, style);
      if (r.x2 - r.x1 >= 2 && r.y2 - r.y1 >= 2) box(r.x1 + 1, r.y1 + 1, r.x2 - 1, r.y2 - 1, colour, 0xFF);
      break;
    default:
      return;
  }
  if (drawPageDisplayed()) invalidate(r);
}

void Screen::gcircleCommand(int cx, int cy, int r, int colour, int mode, int fill) {
  if (mode == 2) filledCircle(cx, cy, r, fill);
  circle(cx, cy, r, colour);
  if (drawPageDisplayed() && r >= 0) {
    const int lr = std::min(r, kCoordinateLimit);
    invalidate(
        {limitCoordinate(cx) - lr, limitCoordinate(cy) - lr, limitCoordinate(cx) + lr, limitCoordinate(cy) + lr});
  }
}

void Screen::clearPlanes(int mask) {
  const auto keep = static_cast<std::uint8_t>((~mask & 15) | 0xF0);
  const bool displayed = drawPageDisplayed();
  const bool intoComposite = displayed && !state_.updatesSuppressed;
  Surface& target = *page(state_.activePage & 1);
  int sinceFade = 0;
  for (int y = 0; y < kSurfaceHeight; ++y) {
    std::uint8_t* row = target.row(y);
    std::uint8_t* shown = composite_.row(y);
    for (int x = 0; x < kSurfaceWidth; ++x)
      row[x] &= keep;
    if (intoComposite) {
      for (int x = 0; x < kSurfaceWidth; ++x)
        shown[x] &= keep;
    }
    // Fades keep time with the music every 512 pixels.
    for (sinceFade += kSurfaceWidth; sinceFade >= 512; sinceFade -= 512)
      advanceFade();
  }
  if (displayed && state_.updatesSuppressed) markDirty(kWholeScreen);
  if (displayed && state_.graphicsOn) invalidate(kWholeSurface);
}

// ---- block moves ----

bool Screen::clipCopy(int x1, int y1, int x2, int y2, int x3, int y3, int sourcePage, int destPage,
                      CopyArea& area) const {
  if (page(sourcePage) == nullptr || page(destPage) == nullptr) return false;
  if (x3 > kMaxX || y3 > kMaxY || x3 < -kSurfaceWidth || y3 < -kSurfaceHeight) return false;
  Rect s = orderedClamped(x1, y1, x2, y2);
  if (x3 + (s.x2 - s.x1) > kMaxX) s.x2 = kMaxX - x3 + s.x1;
  if (y3 + (s.y2 - s.y1) > kMaxY) s.y2 = kMaxY - y3 + s.y1;
  // A destination starting left of or above the surface loses its leading part.
  if (x3 < 0) {
    s.x1 -= x3;
    x3 = 0;
  }
  if (y3 < 0) {
    s.y1 -= y3;
    y3 = 0;
  }
  if (s.x2 < s.x1 || s.y2 < s.y1) return false;
  area = {sourcePage, destPage, s.x1, s.y1, x3, y3, s.x2 - s.x1 + 1, s.y2 - s.y1 + 1};
  return true;
}

void Screen::copyRows(const CopyArea& area, const RowOp& rowOp) {
  const Surface& source = *page(area.sourcePage);
  Surface& dest = *page(area.destPage);
  // Copying downwards on one page walks from the bottom so no source row is overwritten
  // before it is read; each row goes through a buffer for sideways overlaps.
  const bool bottomUp = area.sourcePage == area.destPage && area.dy > area.sy;
  std::array<std::uint8_t, kSurfaceWidth> buffer{};
  for (int i = 0; i < area.height; ++i) {
    const int r = bottomUp ? area.height - 1 - i : i;
    const std::uint8_t* from = source.row(area.sy + r) + area.sx;
    std::copy(from, from + area.width, buffer.begin());
    rowOp(buffer.data(), dest.row(area.dy + r) + area.dx, area.width, r);
    advanceFade();
  }
  syncCompositeGraphics(area.destPage, area.dest());
  invalidateOnPage(area.destPage, area.dest());
}

void Screen::exchange(const CopyArea& area, int mask) {
  Surface& source = *page(area.sourcePage);
  Surface& dest = *page(area.destPage);
  for (int r = 0; r < area.height; ++r) {
    std::uint8_t* a = source.row(area.sy + r) + area.sx;
    std::uint8_t* b = dest.row(area.dy + r) + area.dx;
    for (int x = 0; x < area.width; ++x) {
      const std::uint8_t fromA = a[x];
      a[x] = masked(a[x], b[x], mask);
      b[x] = masked(b[x], fromA, mask);
    }
    advanceFade();
  }
  for (const auto& [pageIndex, rect] :
       {std::pair{area.sourcePage, area.source()}, std::pair{area.destPage, area.dest()}}) {
    syncCompositeGraphics(pageIndex, rect);
    invalidateOnPage(pageIndex, rect);
  }
}

void Screen::syncCompositeGraphics(int pageIndex, const Rect& r) {
  if (pageIndex != state_.displayPage) return;
  const Surface& shown = *page(pageIndex);
  for (int y = r.y1; y <= r.y2; ++y) {
    const std::uint8_t* from = shown.row(y);
    std::uint8_t* out = composite_.row(y);
    for (int x = r.x1; x <= r.x2; ++x)
      out[x] = static_cast<std::uint8_t>((out[x] & 0xF0) | (from[x] & 0x0F));
  }
}

void Screen::invalidateOnPage(int pageIndex, const Rect& r) const {
  if (pageIndex == state_.displayPage) invalidate(r);
}

void Screen::blockMove(int x1, int y1, int x2, int y2, int x3, int y3, int sourcePage, int destPage, int mode) {
  CopyArea area{};
  if (!clipCopy(x1, y1, x2, y2, x3, y3, sourcePage, destPage, area)) return;
  const int mask = state_.planeMask & 15;
  if (mode == 1) {
    exchange(area, mask);
    return;
  }
  copyRows(area, [mask](const std::uint8_t* from, std::uint8_t* to, int width, int) {
    for (int x = 0; x < width; ++x)
      to[x] = masked(to[x], from[x], mask);
  });
}

void Screen::extendedCopy(int x1, int y1, int x2, int y2, int x3, int y3, int sourcePage, int destPage, int kind,
                          int extra1, int extra2) {
  CopyArea area{};
  if (!clipCopy(x1, y1, x2, y2, x3, y3, sourcePage, destPage, area)) return;
  const Surface& source = *page(sourcePage);
  switch (static_cast<CopyKind>(kind)) {
    case CopyKind::kAllPlanes:
      copyRows(area,
               [](const std::uint8_t* from, std::uint8_t* to, int width, int) { std::copy(from, from + width, to); });
      break;
    case CopyKind::kTransparentZero:
      copyRows(area, [](const std::uint8_t* from, std::uint8_t* to, int width, int) {
        for (int x = 0; x < width; ++x) {
          if (from[x] != 0) to[x] = from[x];
        }
      });
      break;
    case CopyKind::kFillZeroFrom:
      copyRows(area, [&](const std::uint8_t* from, std::uint8_t* to, int width, int row) {
        for (int x = 0; x < width; ++x)
          to[x] = from[x] != 0 ? from[x] : source.pixel(extra1 + x, extra2 + row);
      });
      break;
    case CopyKind::kRowSkip: {
      const int period = std::max(extra1, 0) + std::max(extra2, 0);
      copyRows(area, [&](const std::uint8_t* from, std::uint8_t* to, int width, int row) {
        if (period > 0 && row % period < extra1) std::copy(from, from + width, to);
      });
      break;
    }
    default:
      break;
  }
}

}  // namespace volta::wrd
