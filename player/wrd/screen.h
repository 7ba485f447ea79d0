#pragma once
// The WRD virtual screen: graphics pages, text layer, composite, palette banks and the
// colour table, with every graphics drawing operation. Everything computes into memory;
// the window learns of changes through the hooks.

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "player/wrd/surface.h"

namespace volta::wrd {

// An inclusive rectangle of pixels.
struct Rect {
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
  bool operator==(const Rect&) const = default;
};

inline constexpr Rect kWholeSurface{0, 0, kSurfaceWidth - 1, kSurfaceHeight - 1};
// The 640x400 text-and-graphics area as the dirty rectangle names it.
inline constexpr Rect kWholeScreen{0, 0, 640, 399};

inline constexpr int kFixedPageCount = 2;
inline constexpr int kMaxPageCount = 66;

// Drawing state set by the interpreter and read by the operations.
struct DrawState {
  int activePage = 0;
  int displayPage = 0;
  int planeMask = 15;    // @GMODE
  int startupValue = 0;  // @STARTUP; below 400 the primitives draw planes 0-2 only
  int textOn = 1;        // 0 off, 1 on, 2 on with double-width characters
  int graphicsOn = 1;
  bool updatesSuppressed = false;  // the no-display flag while catching up
};

// How the screen tells its window about changes. Every hook may be left empty.
struct ScreenHooks {
  std::function<void(const Rect&)> invalidate;
  std::function<void(const std::array<std::uint32_t, 16>&)> pushPalette;  // bank 0 as 0xAARRGGBB
  std::function<void(std::string_view)> log;
  std::function<void()> advanceFade;  // called between rows of long loops
};

// Copy kinds of ^XCOPY beyond the plane-masked move.
enum class CopyKind { kAllPlanes = 0, kTransparentZero = 1, kFillZeroFrom = 8, kRowSkip = 10 };

// The fixed text colours 0..7 (bit 0 blue, bit 1 red, bit 2 green).
std::uint32_t textColourRgb(int colour);

class Screen {
 public:
  Screen();

  DrawState& state() { return state_; }
  const DrawState& state() const { return state_; }
  ScreenHooks& hooks() { return hooks_; }

  // Surfaces. page() gives nullptr for a page that does not exist.
  Surface* page(int index);
  const Surface* page(int index) const;
  int pageCount() const { return static_cast<int>(pages_.size()); }
  Surface& textLayer() { return textLayer_; }
  const Surface& textLayer() const { return textLayer_; }
  Surface& composite() { return composite_; }
  const Surface& composite() const { return composite_; }

  // ^VSGET: the extra pages are replaced by `count` new cleared ones (at most 64).
  void makeExtraPages(int count);
  void freeExtraPages();
  // Pages 0 and 1, the text layer and the composite cleared; extra pages freed; banks 1..19 cleared.
  void reset();

  // Palettes and colour table.
  PaletteBanks& banks() { return banks_; }
  const PaletteBanks& banks() const { return banks_; }
  const std::array<std::uint32_t, 256>& colourTable() const { return colourTable_; }
  void setPaletteEntry(int index, std::uint16_t value);
  void applyBank0();  // re-applies all 16 entries (after @GON, @TON, bank loads)
  // Palette mode: the colour table holds indices from `base` into a 24-entry logical palette.
  void setPaletteBase(std::optional<int> base);
  std::array<std::uint32_t, 16> bank0Rgb() const;
  void pushPalette();  // AnimatePalette
  void markPaletteDirty() { paletteDirty_ = true; }
  bool paletteDirty() const { return paletteDirty_; }

  // Change collection.
  // Inline: text drawn while catching up marks every cell.
  void markDirty(const Rect& r) {
    dirty_ = dirty_ ? Rect{std::min(dirty_->x1, r.x1), std::min(dirty_->y1, r.y1), std::max(dirty_->x2, r.x2),
                           std::max(dirty_->y2, r.y2)}
                    : r;
  }
  const std::optional<Rect>& dirtyRect() const { return dirty_; }
  void flushScreen(int force);
  void recompose(const Rect& r);
  void invalidate(const Rect& r) const;
  void advanceFade() const;
  void log(std::string_view text) const;

  // Graphics primitives; they write to page (active page AND 1).
  void setPixel(int x, int y, int colour);
  void line(int x1, int y1, int x2, int y2, int colour, std::uint8_t style);
  void box(int x1, int y1, int x2, int y2, int colour, std::uint8_t style);
  void filledBox(int x1, int y1, int x2, int y2, int colour);
  void circle(int cx, int cy, int r, int colour);
  void filledCircle(int cx, int cy, int r, int colour);
  // @GLINE and @GCIRCLE: choose the primitive, then invalidate.
  void glineCommand(int x1, int y1, int x2, int y2, int colour, int mode, int style);
  void gcircleCommand(int cx, int cy, int r, int colour, int mode, int fill);
  void clearPlanes(int mask);  // @GCLS

  // @GMOVE (mode 1 exchanges) and the ^XCOPY kinds.
  void blockMove(int x1, int y1, int x2, int y2, int x3, int y3, int sourcePage, int destPage, int mode);
  void extendedCopy(int x1, int y1, int x2, int y2, int x3, int y3, int sourcePage, int destPage, int kind, int extra1,
                    int extra2);

  int effectivePlaneMask() const;
  bool drawPageDisplayed() const { return (state_.activePage & 1) == state_.displayPage; }

 private:
  struct CopyArea;
  // One row of a copy: source bytes (already buffered), destination, width, row within the area.
  using RowOp = std::function<void(const std::uint8_t*, std::uint8_t*, int, int)>;
  std::uint32_t colourTableValue(int h, int g) const;
  void horizontalRun(int x1, int x2, int y, int colour, std::uint8_t style);
  void verticalRun(int x, int y1, int y2, int colour, std::uint8_t style);
  void slantedLine(int x1, int y1, int x2, int y2, int colour, std::uint8_t style);
  void circleWalk(int r, const std::function<void(int, int)>& step);
  bool clipCopy(int x1, int y1, int x2, int y2, int x3, int y3, int sourcePage, int destPage, CopyArea& area) const;
  void copyRows(const CopyArea& area, const RowOp& rowOp);
  void exchange(const CopyArea& area, int mask);
  void syncCompositeGraphics(int page, const Rect& r);
  void invalidateOnPage(int page, const Rect& r) const;

  DrawState state_;
  ScreenHooks hooks_;
  std::vector<std::unique_ptr<Surface>> pages_;
  Surface textLayer_;
  Surface composite_;
  PaletteBanks banks_{};
  std::array<std::uint32_t, 256> colourTable_{};
  std::optional<int> paletteBase_;
  std::optional<Rect> dirty_;
  bool paletteDirty_ = false;
};

}  // namespace volta::wrd
