#pragma once
// The WRD text screen: 80x25 cells of 8x16 pixels drawn into the text layer and the
// composite, written through a terminal-like writer with escape sequences, Shift JIS
// pairs, double-width characters, colours and attributes.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

#include "player/wrd/glyphs.h"
#include "player/wrd/screen.h"

namespace volta::wrd {

inline constexpr int kTextColumns = 80;
inline constexpr int kTextRows = 25;
inline constexpr int kCellWidth = 8;
inline constexpr int kCellHeight = 16;

struct TextCursor {
  int column = 0;
  int row = 0;
  int colour = 7;
  int attribute = 0;
  bool operator==(const TextCursor&) const = default;
};

class TextWriter {
 public:
  // Given the text from a "^" to its end; returns the bytes it consumed as a command,
  // 0 when the "^" begins no command and is shown as a character.
  using CaretHook = std::function<std::size_t(std::string_view)>;

  TextWriter(Screen& screen, GlyphRenderer& glyphs);

  void setCaretHook(CaretHook hook) { caretHook_ = std::move(hook); }
  void setBeep(std::function<void()> beep) { beep_ = std::move(beep); }

  TextCursor& cursor() { return cursor_; }
  const TextCursor& cursor() const { return cursor_; }
  bool doubleByteEnabled() const { return doubleByte_; }
  int skipCounter() const { return skip_; }
  void clearSkipCounter() { skip_ = 0; }  // @TON

  // The kana font file that Reset reloads.
  void setKanaFontPath(const std::filesystem::path& path);
  // Cursor home, colour 7, no attributes, double-byte text on, ^FONTM off, kana font reloaded.
  void reset();

  // Interprets bytes up to the end or the first zero byte.
  void write(std::string_view text);
  void writeAt(int column, int row, std::string_view text);

  void putChar(int column, int row, std::uint8_t byte, int colour, int attribute);
  void putPair(int column, int row, std::uint8_t lead, std::uint8_t trail, int colour, int attribute);
  void fillCells(int x1, int y1, int x2, int y2, std::uint8_t byte, int colour, int attribute);
  // Direction 0 up, 1 down, 2 right, 3 left by one cell; the freed cells get `byte`.
  void scrollRegion(int x1, int y1, int x2, int y2, int direction, int colour, std::uint8_t byte);
  void scrollUp();
  void scrollDown();
  void applyAttributeCode(int code);

 private:
  std::size_t escape(std::string_view text);
  std::size_t controlSequence(std::string_view text);
  void printable(std::string_view text, std::size_t& i);
  void clearCells(int x1, int y1, int x2, int y2);
  void eraseDisplay(int n);
  void eraseLine(int n);
  void shiftLines(int count, int direction);
  void lineFeed();
  void wrapFor(int columns);
  bool doubleWidth() const;
  // `count` cells of one glyph side by side from `column`.
  void drawCells(int column, int row, const GlyphRows& rows, int glyphWidth, int colour, int count);
  GlyphRows byteGlyph(std::uint8_t byte, int attribute);
  // `count` cells of one byte, one or two (double width) columns apart; cells that would
  // leave the screen are dropped.
  void putRun(int column, int row, int count, std::uint8_t byte, int colour, int attribute);
  void scrollWhole(bool up);

  Screen& screen_;
  GlyphRenderer& glyphs_;
  CaretHook caretHook_;
  std::function<void()> beep_;
  TextCursor cursor_;
  TextCursor saved_;
  bool doubleByte_ = true;
  int skip_ = 0;
  std::filesystem::path kanaPath_;
};

// The screen shown when a song has neither script nor picture: a band with the
// player's name and the song title ("不明な曲" when there is none).
void drawIdleScreen(Screen& screen, TextWriter& writer, std::string_view title);

}  // namespace volta::wrd
