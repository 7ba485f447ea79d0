#pragma once
// Glyphs of the WRD text screen: a Unifont .hex face (8x16 and 16x16), the graphic
// characters, the 16x16 kana font file, the 16 user glyphs and the one-glyph cache.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace volta::wrd {

// 16 rows of up to 16 pixels, the leftmost pixel in the most significant bit.
using GlyphRows = std::array<std::uint16_t, 16>;

inline constexpr const char* kDefaultWrdFontPath = "/usr/share/unifont/unifont_jp.hex";

// Text attribute bits.
inline constexpr int kAttrReverse = 2;
inline constexpr int kAttrUnderline = 16;
inline constexpr int kAttrSecret = 64;

// A bitmap face in Unifont's .hex format ("XXXX:" and 32 or 64 hex digits a line),
// restricted to the Basic Multilingual Plane, where every CP932 character lies.
class UnifontFace {
 public:
  // Null when the file cannot be read or holds no glyph.
  static std::shared_ptr<const UnifontFace> loadFile(const std::filesystem::path& path);
  static std::shared_ptr<const UnifontFace> parse(std::string_view text);

  // Width 0 (absent), 8 or 16; rows as GlyphRows (8-wide glyphs in the high byte).
  int width(char32_t c) const { return c < widths_.size() ? widths_[c] : 0; }
  const GlyphRows& rows(char32_t c) const { return rows_[c]; }
  std::size_t glyphCount() const { return count_; }

 private:
  UnifontFace();
  bool parseLine(std::string_view line);

  std::vector<std::uint8_t> widths_;
  std::vector<GlyphRows> rows_;
  std::size_t count_ = 0;
};

// Renders a character code into the glyph bitmap, remembering the last one rendered.
class GlyphRenderer {
 public:
  static constexpr std::size_t kKanaFontSize = 5440;
  static constexpr int kUserGlyphCount = 16;

  explicit GlyphRenderer(std::shared_ptr<const UnifontFace> face = nullptr);

  void setFace(std::shared_ptr<const UnifontFace> face);
  // Reads up to 5440 bytes; a short file still counts as loaded. False when it cannot be opened.
  bool loadKanaFont(const std::filesystem::path& path);
  bool kanaLoaded() const { return kanaLoaded_; }
  void setKanaMode(bool on);  // ^FONTM
  bool kanaMode() const { return kanaMode_; }
  void setUserGlyph(int index, const GlyphRows& rows);
  void clearCache() { cacheValid_ = false; }

  // A single byte (0..255) or a Shift JIS pair (lead << 8 | trail) with its attribute.
  const GlyphRows& renderByte(std::uint8_t byte, int attribute);
  const GlyphRows& renderPair(std::uint8_t lead, std::uint8_t trail, int attribute);

 private:
  const GlyphRows& render(std::uint32_t key, int attribute, bool pair, std::uint16_t shiftJis);
  void drawBase(bool pair, std::uint16_t shiftJis, std::uint16_t jis);
  bool drawKana(std::uint16_t jis);
  void drawFromFace(char32_t c, bool narrow);

  std::shared_ptr<const UnifontFace> face_;
  platform::text::Cp932Decoder decoder_;
  std::vector<std::uint8_t> kanaFont_;
  bool kanaLoaded_ = false;
  bool kanaMode_ = false;
  std::array<GlyphRows, kUserGlyphCount> userGlyphs_{};
  GlyphRows bitmap_{};
  bool cacheValid_ = false;
  std::uint32_t cachedKey_ = 0;
  int cachedAttribute_ = 0;
};

}  // namespace volta::wrd
