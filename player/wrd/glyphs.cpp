#include "player/wrd/glyphs.h"

#include <algorithm>
#include <fstream>

#include "platform/text.h"

namespace volta::wrd {

using platform::text::shiftJisToJis;

namespace {

constexpr std::size_t kPlaneSize = 0x10000;

// A table, since the face's 3.8 MB of hex digits are read at every start.
constexpr std::array<std::int8_t, 256> kHexValues = [] {
  std::array<std::int8_t, 256> values{};
  values.fill(-1);
  for (int c = 0; c < 10; ++c)
    values['0' + c] = static_cast<std::int8_t>(c);
  for (int c = 0; c < 6; ++c)
    values['A' + c] = values['a' + c] = static_cast<std::int8_t>(10 + c);
  return values;
}();

int hexValue(char c) {
  return kHexValues[static_cast<unsigned char>(c)];
}

// The graphic characters 0x80..0x9F and 0xE0..0xF7 as the block, line and symbol
// characters they stand for; 0 leaves the cell blank.
constexpr std::array<char32_t, 32> kGraphicLow = {0,      0x2581, 0x2582, 0x2583, 0x2584, 0x2585, 0x2586, 0x2587,
                                                  0x2588, 0x258F, 0x258E, 0x258D, 0x258C, 0x258B, 0x258A, 0x2589,
                                                  0x253C, 0x2534, 0x252C, 0x2524, 0x251C, 0x2594, 0x2500, 0x2502,
                                                  0x2595, 0x250C, 0x2510, 0x2514, 0x2518, 0x256D, 0x256E, 0x2570};
constexpr std::array<char32_t, 32> kGraphicHigh = {0x2550, 0x255E, 0x256A, 0x2561, 0x25E2, 0x25E3, 0x25E5, 0x25E4,
                                                   0x2660, 0x2665, 0x2666, 0x2663, 0x25CF, 0x25CB, 0x2571, 0x2572,
                                                   0x2573, 0x5186, 0x5E74, 0x6708, 0x65E5, 0x6642, 0x5206, 0x79D2,
                                                   0,      0,      0,      0,      0,      0,      0,      0};

bool isGraphicByte(std::uint8_t b) {
  return (b >= 0x80 && b <= 0x9F) || b >= 0xE0;
}

char32_t graphicCharacter(std::uint8_t b) {
  return b < 0xE0 ? kGraphicLow[b - 0x80] : kGraphicHigh[b - 0xE0];
}

// A 16-pixel row folded into 8 pixels (each output pixel covers two), high byte.
std::uint16_t narrowRow(std::uint16_t row) {
  std::uint16_t out = 0;
  for (int i = 0; i < 8; ++i) {
    if (row & (0xC000 >> (2 * i))) out = static_cast<std::uint16_t>(out | (0x8000 >> i));
  }
  return out;
}

// Kana glyph slots: hiragana rows 0x2421..0x2473 then katakana 0x2521..0x2576.
constexpr int kHiraganaFirst = 0x2421;
constexpr int kHiraganaLast = 0x2473;
constexpr int kKatakanaFirst = 0x2521;
constexpr int kKatakanaLast = 0x2576;
constexpr int kKatakanaSlot = 83;
constexpr std::size_t kKanaHeader = 32;
constexpr std::size_t kKanaGlyphBytes = 32;

constexpr std::uint16_t kUserGlyphFirst = 0xF040;

}  // namespace

// ---- Unifont ----

UnifontFace::UnifontFace() : widths_(kPlaneSize, 0), rows_(kPlaneSize) {}

std::shared_ptr<const UnifontFace> UnifontFace::loadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return nullptr;
  std::string text(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
  in.seekg(0);
  if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) return nullptr;
  return parse(text);
}

std::shared_ptr<const UnifontFace> UnifontFace::parse(std::string_view text) {
  std::shared_ptr<UnifontFace> face(new UnifontFace());
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    face->count_ += face->parseLine(text.substr(0, end)) ? 1 : 0;
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
  }
  if (face->count_ == 0) return nullptr;
  return face;
}

bool UnifontFace::parseLine(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == 0 || colon > 6) return false;
  std::uint32_t code = 0;
  for (std::size_t i = 0; i < colon; ++i) {
    const int v = hexValue(line[i]);
    if (v < 0) return false;
    code = code << 4 | static_cast<std::uint32_t>(v);
  }
  std::string_view digits = line.substr(colon + 1);
  while (!digits.empty() && (digits.back() == '\r' || digits.back() == ' '))
    digits.remove_suffix(1);
  if (code >= kPlaneSize || (digits.size() != 32 && digits.size() != 64)) return false;
  const int bytesPerRow = static_cast<int>(digits.size() / 32);
  const std::size_t digitsPerRow = digits.size() / 16;
  GlyphRows rows{};
  for (std::size_t row = 0; row < rows.size(); ++row) {
    int value = 0;
    for (std::size_t i = row * digitsPerRow; i < (row + 1) * digitsPerRow; ++i) {
      const int v = hexValue(digits[i]);
      if (v < 0) return false;
      value = value << 4 | v;
    }
    rows[row] = static_cast<std::uint16_t>(value);
  }
  if (bytesPerRow == 1) {
    for (auto& r : rows)
      r = static_cast<std::uint16_t>(r << 8);
  }
  widths_[code] = static_cast<std::uint8_t>(8 * bytesPerRow);
  rows_[code] = rows;
  return true;
}

// ---- renderer ----

GlyphRenderer::GlyphRenderer(std::shared_ptr<const UnifontFace> face)
    : face_(std::move(face)), kanaFont_(kKanaFontSize, 0) {}

void GlyphRenderer::setFace(std::shared_ptr<const UnifontFace> face) {
  face_ = std::move(face);
  clearCache();
}

bool GlyphRenderer::loadKanaFont(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::fill(kanaFont_.begin(), kanaFont_.end(), 0);
  in.read(reinterpret_cast<char*>(kanaFont_.data()), static_cast<std::streamsize>(kanaFont_.size()));
  kanaLoaded_ = true;
  clearCache();
  return true;
}

void GlyphRenderer::setKanaMode(bool on) {
  // The cache key does not carry the mode, so a switch must not reuse the last glyph.
  if (on != kanaMode_) clearCache();
  kanaMode_ = on;
}

void GlyphRenderer::setUserGlyph(int index, const GlyphRows& rows) {
  if (index < 0 || index >= kUserGlyphCount) return;
  userGlyphs_[static_cast<std::size_t>(index)] = rows;
  clearCache();
}

const GlyphRows& GlyphRenderer::renderByte(std::uint8_t byte, int attribute) {
  return render(byte, attribute, false, byte);
}

const GlyphRows& GlyphRenderer::renderPair(std::uint8_t lead, std::uint8_t trail, int attribute) {
  const auto shiftJis = static_cast<std::uint16_t>(lead << 8 | trail);
  const std::uint16_t jis = shiftJisToJis(lead, trail);
  // Pairs are keyed by their JIS code, or by the Shift JIS code outside JIS; both lie
  // above 0xFF, so they never meet a single byte's key.
  return render(jis != 0 ? jis : shiftJis, attribute, true, shiftJis);
}

const GlyphRows& GlyphRenderer::render(std::uint32_t key, int attribute, bool pair, std::uint16_t shiftJis) {
  if (cacheValid_ && key == cachedKey_ && attribute == cachedAttribute_) return bitmap_;
  bitmap_ = {};
  if ((attribute & kAttrSecret) == 0) {
    drawBase(pair, shiftJis, pair ? static_cast<std::uint16_t>(key) : 0);
    if (attribute & kAttrReverse) {
      for (auto& r : bitmap_)
        r = static_cast<std::uint16_t>(~r);
    }
    if (attribute & kAttrUnderline) bitmap_[15] = (attribute & kAttrReverse) ? 0 : 0xFFFF;
  }
  cacheValid_ = true;
  cachedKey_ = key;
  cachedAttribute_ = attribute;
  return bitmap_;
}

void GlyphRenderer::drawBase(bool pair, std::uint16_t shiftJis, std::uint16_t jis) {
  if (!pair) {
    const auto byte = static_cast<std::uint8_t>(shiftJis);
    drawFromFace(isGraphicByte(byte) ? graphicCharacter(byte) : decoder_.toUnicode(byte), true);
    return;
  }
  if (kanaMode_ && kanaLoaded_ && drawKana(jis)) return;
  if (shiftJis >= kUserGlyphFirst && shiftJis < kUserGlyphFirst + kUserGlyphCount) {
    bitmap_ = userGlyphs_[shiftJis - kUserGlyphFirst];
    return;
  }
  drawFromFace(decoder_.toUnicode(shiftJis), false);
}

bool GlyphRenderer::drawKana(std::uint16_t jis) {
  if (jis < kHiraganaFirst || jis > kKatakanaLast) return false;
  // The codes between the two kana rows have no kana glyph and stay blank.
  int slot = -1;
  if (jis <= kHiraganaLast) slot = jis - kHiraganaFirst;
  if (jis >= kKatakanaFirst) slot = jis - kKatakanaFirst + kKatakanaSlot;
  if (slot < 0) return true;
  const std::uint8_t* glyph = kanaFont_.data() + kKanaHeader + static_cast<std::size_t>(slot) * kKanaGlyphBytes;
  for (std::size_t r = 0; r < bitmap_.size(); ++r) {
    bitmap_[r] = static_cast<std::uint16_t>(glyph[2 * r] << 8 | glyph[2 * r + 1]);
  }
  return true;
}

void GlyphRenderer::drawFromFace(char32_t c, bool narrow) {
  if (!face_ || c == 0) return;
  const int width = face_->width(c);
  if (width == 0) return;
  bitmap_ = face_->rows(c);
  if (narrow && width == 16) {
    for (auto& r : bitmap_)
      r = narrowRow(r);
  }
}

}  // namespace volta::wrd
