// The "^" commands that scripts embed in text.

#include <algorithm>
#include <array>

#include "player/wrd/interpreter.h"

namespace volta::wrd {

namespace {

constexpr int kMaxCopyExtras = 128;
constexpr std::uint8_t kUserGlyphLead = 0xF0;
constexpr std::uint8_t kUserGlyphTrailBase = 0x40;

// Numbers of a "^" command: each followed by an optional ",".
int caretArgument(ScriptReader& r) {
  const int value = r.caretNumber();
  r.separator();
  return value;
}

void skipArguments(ScriptReader& r, int limit) {
  for (int i = 0; i < limit && r.peek() != ')' && r.peek() != 0; ++i) {
    const std::size_t before = r.position();
    caretArgument(r);
    if (r.position() == before) break;
  }
}

// Commands that are accepted and only logged; their log line, or null.
const char* acceptedCaretCommand(ScriptReader& r) {
  if (r.match("^TMODE(")) return "\t^TMODE\n";
  if (r.match("^LINE(")) return "\t^LINE\n";
  if (r.match("^GSC(")) return "\t^GSC\n";
  return nullptr;
}

}  // namespace

std::size_t WrdInterpreter::caretCommand(std::string_view text) {
  ScriptReader r(text.data(), text.size(), 0);
  if (r.match("^FONTM(")) {
    const bool on = caretArgument(r) != 0;
    glyphs_.setKanaMode(on);
    log_.printf("\t^FONTM %d\n", on ? 1 : 0);
  } else if (r.match("^TSCRL(")) {
    r.skipBlanks();
    if (r.peek() == '+') r.skip();
    caretArgument(r);
    screen_.markDirty(kWholeScreen);
    screen_.invalidate(kWholeSurface);
    log_.write("\t^TSCRL\n");
  } else if (const char* logLine = acceptedCaretCommand(r)) {
    caretArgument(r);
    log_.write(logLine);
  } else if (r.match("^XCOPY(")) {
    caretXcopy(r);
  } else if (r.match("^VCOPY(")) {
    caretVcopy(r);
  } else if (r.match("^VSGET(")) {
    screen_.makeExtraPages(std::clamp(caretArgument(r), 0, kMaxPageCount - kFixedPageCount));
    skipArguments(r, kMaxCopyExtras);
    log_.write("\t^VSGET\n");
  } else if (r.match("^PAL(")) {
    const int index = caretArgument(r), value = caretArgument(r);
    if (index >= 0 && index <= 15) {
      screen_.setPaletteEntry(index, static_cast<std::uint16_t>(value & 0xFFF));
      pushPaletteNow();
    }
  } else if (r.match("^SCROLL(")) {
    skipArguments(r, 2);
  } else if (r.match("^FONTR(")) {
    caretFontr(r);
  } else if (r.match("^FONTP(")) {
    caretFontp(r);
  } else if (r.match("^TEXTDOT(")) {
    caretArgument(r);
  } else {
    return 0;
  }
  r.close();
  return r.position();
}

void WrdInterpreter::caretXcopy(ScriptReader& r) {
  std::array<int, 9> a{};
  for (int& v : a)
    v = caretArgument(r);
  std::array<int, 2> extra{};
  for (int i = 0; i < kMaxCopyExtras && r.peek() != ')' && r.peek() != 0; ++i) {
    const std::size_t before = r.position();
    const int v = caretArgument(r);
    if (r.position() == before) break;
    if (i < 2) extra[static_cast<std::size_t>(i)] = v;
  }
  screen_.extendedCopy(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], extra[0], extra[1]);
}

void WrdInterpreter::caretVcopy(ScriptReader& r) {
  std::array<int, 9> a{};
  for (int& v : a)
    v = caretArgument(r);
  const int pageA = a[6], pageB = a[7], direction = a[8];
  const int pages = screen_.pageCount();
  const auto move = [&](int source, int dest) {
    screen_.blockMove(a[0] & 0xFFF8, a[1], (a[2] & 0xFFF8) + 7, a[3], a[4] & 0xFFF8, a[5], source, dest, 0);
  };
  const bool fixedA = pageA == 0 || pageA == 1;
  const bool fixedB = pageB == 0 || pageB == 1;
  if (direction == 0 && fixedA && pageB >= 0 && pageB + 2 < pages) move(pageA, pageB + 2);
  if (direction == 1 && fixedB && pageA >= 0 && pageA + 2 < pages) move(pageA + 2, pageB);
  log_.write("\t^VCOPY\n");
}

void WrdInterpreter::caretFontr(ScriptReader& r) {
  const int index = caretArgument(r);
  GlyphRows rows{};
  for (auto& row : rows) {
    const auto v = static_cast<std::uint16_t>(caretArgument(r));
    row = static_cast<std::uint16_t>(v << 8 | v >> 8);
  }
  if (index >= 0 && index < GlyphRenderer::kUserGlyphCount) glyphs_.setUserGlyph(index, rows);
}

void WrdInterpreter::caretFontp(ScriptReader& r) {
  const int index = caretArgument(r), x = caretArgument(r), y = caretArgument(r), attr = caretArgument(r);
  if (index < 0 || index >= GlyphRenderer::kUserGlyphCount) return;
  int attribute = 0;
  if (attr & 4) attribute |= kAttrReverse;
  if (attr & 8) attribute |= kAttrUnderline;
  if ((attr & 1) == 0) attribute |= kAttrSecret;
  writer_.putPair(x - 1, y - 1, kUserGlyphLead, static_cast<std::uint8_t>(kUserGlyphTrailBase + index), (attr / 32) & 7,
                  attribute);
}

}  // namespace volta::wrd
