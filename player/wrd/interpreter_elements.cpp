// The line elements of a script: command lines (one "@" command, separator or line end at a
// time) and text lines (runs of text, tabs, pause marks and line ends).

#include <string>

#include "platform/text.h"
#include "player/wrd/interpreter.h"

namespace volta::wrd {

using platform::text::isShiftJisLead;

namespace {

constexpr std::uint8_t kEndOfFile = 0x1A;

bool startupQuirks(int startupValue) {
  return startupValue >= 1 && startupValue <= 379;
}

}  // namespace

// ---- command lines ----

bool WrdInterpreter::commandElement() {
  ScriptReader& r = reader_;
  if (r.atSemicolonLineEnd()) {
    const bool nextIsCommand = r.peek(2) == '@';
    if (state_.quirkFlag && !nextIsCommand) return lineEndWait(true);
    r.skip(2);
    state_.nextLineIsText = r.peek() != '@';
    return false;
  }
  if (r.atLineEnd()) return lineEndWait(false);
  if (r.peek() != '@') return unknownElement();
  for (const CommandEntry& entry : commandTable()) {
    if (r.match(entry.keyword)) return (this->*entry.run)();
  }
  r.skip();
  return false;
}

bool WrdInterpreter::lineEndWait(bool semicolon) {
  if (semicolon && state_.quirkFlag && state_.lineMode != 0) log_.write(log_text::kQuirkIgnoredSemicolon);
  state_.quirkFlag = false;
  reader_.skip(semicolon ? 2 : 1);
  state_.nextLineIsText = reader_.peek() != '@';
  return true;
}

bool WrdInterpreter::unknownElement() {
  ScriptReader& r = reader_;
  const std::uint8_t b = r.peek();
  if (b == kEndOfFile || b == 0) return scriptEnds();
  if (b != ' ' && b != '\t' && b != ';') log_.printf("Unknown command '%c'\n", b);
  r.skip();
  for (std::uint8_t c = r.peek(); c != '@' && c != '\n' && c != ';' && c != 0 && c != kEndOfFile; c = r.peek())
    r.skip();
  return false;
}

bool WrdInterpreter::scriptEnds() {
  state_.waitState = WaitState::kEnd;
  state_.startupSection = false;
  return true;
}

// ---- text lines ----

bool WrdInterpreter::textElement() {
  ScriptReader& r = reader_;
  const std::uint8_t b = r.peek();
  if (state_.lineMode == kCharacterMode && b == '_') return pauseMark();
  if (b == '\t') {
    r.skip();
    tabStop();
    return false;
  }
  if (b == '\n') {
    r.skip();
    newLine();
    state_.nextLineIsText = r.peek() != '@';
    return true;
  }
  if (b == '\\' && r.peek(1) == '\n') {
    r.skip(2);
    return true;
  }
  if (r.atSemicolonLineEnd()) {
    r.skip(2);
    state_.nextLineIsText = r.peek() != '@';
    if (!startupQuirks(state_.startupValue) || state_.lineMode != kCharacterMode) return false;
    log_.write(log_text::kQuirkTiming);
    return true;
  }
  if (b == 0 || (b == kEndOfFile && r.peek(1) == 0)) return scriptEnds();
  return textRun();
}

bool WrdInterpreter::pauseMark() {
  reader_.skip();
  if (reader_.atSemicolonLineEnd()) return false;
  takePendingStep();
  if (state_.waitState != WaitState::kNone) armLineWait(state_.lineStep);
  return true;
}

bool WrdInterpreter::textRun() {
  ScriptReader& r = reader_;
  const bool characterMode = state_.lineMode == kCharacterMode;
  const bool group = characterMode && r.peek() == '|';
  if (group) r.skip();
  bool closed = false;
  std::string text;
  while (text.size() < kMaxStringArgument) {
    std::uint8_t b = r.peek();
    const bool terminator = b == '\n' || b == 0 || r.atSemicolonLineEnd() || (b == '\\' && r.peek(1) == '\n') ||
                            (b == kEndOfFile && !text.empty());
    if (terminator) break;
    if (characterMode && b == '|') {
      if (group) {
        r.skip();
        closed = true;
      }
      break;
    }
    if (characterMode && b == '_' && !group) break;
    const bool escaped = characterMode && b == '\\';
    if (escaped) {
      r.skip();
      b = r.peek();
      if (b == 0) break;
    }
    const std::uint8_t trail = r.peek(1);
    const bool pair = !escaped && isShiftJisLead(b) && writer_.doubleByteEnabled() && trail >= 32 && trail != ';' &&
                      text.size() + 1 < kMaxStringArgument;
    text.push_back(static_cast<char>(b));
    if (pair) text.push_back(static_cast<char>(trail));
    r.skip(pair ? 2 : 1);
    const bool joinSpace = b == ' ' && startupQuirks(state_.startupValue);
    if (characterMode && !group && !joinSpace) break;
  }
  if (!text.empty()) {
    log_.printf("\t@TEXTOUT \"%s\"\n", text.c_str());
    writer_.write(text);
  }
  const bool single = characterMode && !group && !text.empty();
  return (closed || single) && r.peek() != ';';
}

void WrdInterpreter::tabStop() {
  TextCursor& c = writer_.cursor();
  c.column = (c.column / 8 + 1) * 8;
  if (c.column > kTextColumns - 1) newLine();
}

void WrdInterpreter::newLine() {
  TextCursor& c = writer_.cursor();
  c.column = 0;
  if (++c.row > kTextRows - 1) {
    c.row = kTextRows - 1;
    writer_.scrollUp();
  }
}

void WrdInterpreter::takePendingStep() {
  if (state_.pendingLineStep < 0) return;
  state_.lineStep = state_.pendingLineStep;
  state_.pendingLineStep = -1;
}

}  // namespace volta::wrd
