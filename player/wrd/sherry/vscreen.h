#pragma once
// Where a Sherry script shows its output: the 640x480 display of 256 colours and the glyphs
// its text is drawn with. The WRD window implements SVScreen; SDisplay is the plain in-memory
// implementation that the window and the renderer tool hold.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "player/wrd/glyphs.h"
#include "player/wrd/sherry/objects.h"
#include "player/wrd/surface.h"

namespace volta::wrd::sherry {

inline constexpr int kDisplayWidth = kSurfaceWidth;
inline constexpr int kDisplayHeight = kSurfaceHeight;

// A rectangle of a virtual screen shown on the display. The processor keeps it inside both.
struct SShownRect {
  int sourceX = 0;
  int sourceY = 0;
  int destX = 0;
  int destY = 0;
  int width = 0;
  int height = 0;
};

class SVScreen {
 public:
  virtual ~SVScreen() = default;
  virtual void refresh() = 0;
  virtual void showRect(const SVirtualScreen& screen, const SShownRect& rect) = 0;
  virtual void setColours(const SPalette& palette) = 0;
  // 16 rows, leftmost pixel in the most significant bit; 8-wide glyphs use the high byte.
  virtual GlyphRows doubleByteGlyph(std::uint16_t shiftJis) = 0;
  virtual GlyphRows singleByteGlyph(std::uint8_t byte) = 0;
};

class SDisplay final : public SVScreen {
 public:
  // Without a face the glyphs are blank.
  explicit SDisplay(std::shared_ptr<const UnifontFace> face = nullptr);

  void refresh() override;
  void showRect(const SVirtualScreen& screen, const SShownRect& rect) override;
  void setColours(const SPalette& palette) override;
  GlyphRows doubleByteGlyph(std::uint16_t shiftJis) override;
  GlyphRows singleByteGlyph(std::uint8_t byte) override;

  // The displayed image: palette indices, and their colours as 0xAARRGGBB (opaque).
  const Surface& surface() const { return surface_; }
  const std::array<std::uint32_t, 256>& colours() const { return colours_; }
  std::uint32_t colourAt(int x, int y) const { return colours_[surface_.pixel(x, y)]; }

  int refreshCount() const { return refreshCount_; }
  void setRefreshHook(std::function<void()> hook) { refreshHook_ = std::move(hook); }
  // Black indices and black colours, as before any script.
  void clear();
  // The text face changed with the settings.
  void setFace(std::shared_ptr<const UnifontFace> face) {
    glyphs_.setFace(std::move(face));
    glyphs_.clearCache();
  }

 private:
  Surface surface_;
  std::array<std::uint32_t, 256> colours_{};
  GlyphRenderer glyphs_;
  int refreshCount_ = 0;
  std::function<void()> refreshHook_;
};

}  // namespace volta::wrd::sherry
