// The "@" commands of WRD scripts.

#include <algorithm>
#include <string>

#include "platform/text.h"
#include "player/wrd/image/page_pictures.h"
#include "player/wrd/interpreter.h"
#include "player/wrd/script_lookup.h"

namespace volta::wrd {

using platform::text::isShiftJisLead;
using platform::text::startsWithIgnoringCase;
using platform::text::upperAscii;

namespace {

constexpr int kMemoLineBytes = 30;
constexpr int kMemoLines = 12;
constexpr int kScriptBankCopy = 17;

bool validBank(int bank) {
  return bank >= 0 && bank < kPaletteBankCount;
}

int textColumn(int column) {
  return std::clamp(column, 0, kTextColumns - 1);
}

int textRow(int row) {
  return std::clamp(row, 0, kTextRows - 1);
}

}  // namespace

const std::vector<WrdInterpreter::CommandEntry>& WrdInterpreter::commandTable() {
  static const std::vector<CommandEntry> table = {
      {"@STARTUP", &WrdInterpreter::cmdStartup}, {"@WMODE(", &WrdInterpreter::cmdWmode},
      {"@GMODE(", &WrdInterpreter::cmdGmode},    {"@WAIT(", &WrdInterpreter::cmdWait},
      {"@OFFSET(", &WrdInterpreter::cmdOffset},  {"@REST(", &WrdInterpreter::cmdRest},
      {"@LOCATE(", &WrdInterpreter::cmdLocate},  {"@TON(", &WrdInterpreter::cmdTon},
      {"@COLOR(", &WrdInterpreter::cmdColor},    {"@GCLS(", &WrdInterpreter::cmdGcls},
      {"@GINIT(", &WrdInterpreter::cmdGinit},    {"@GSCREEN(", &WrdInterpreter::cmdGscreen},
      {"@GON(", &WrdInterpreter::cmdGon},        {"@GLINE(", &WrdInterpreter::cmdGline},
      {"@PAL(", &WrdInterpreter::cmdPal},        {"@PALCHG(", &WrdInterpreter::cmdPalchg},
      {"@ESC(", &WrdInterpreter::cmdEsc},        {"@EXEC(", &WrdInterpreter::cmdExec},
      {"@PATH(", &WrdInterpreter::cmdPath},      {"@INKEY", &WrdInterpreter::cmdInkey},
      {"@LOOP(", &WrdInterpreter::cmdLoop},      {"@STOP()", &WrdInterpreter::cmdStop},
      {"@END", &WrdInterpreter::cmdEnd},         {"@PLOAD(", &WrdInterpreter::cmdPload},
      {"@MAG(", &WrdInterpreter::cmdMag},        {"@REM", &WrdInterpreter::cmdRem},
      {"@TCLS(", &WrdInterpreter::cmdTcls},      {"@GCIRCLE(", &WrdInterpreter::cmdGcircle},
      {"@GMOVE(", &WrdInterpreter::cmdGmove},    {"@PALREV(", &WrdInterpreter::cmdPalrev},
      {"@SCROLL(", &WrdInterpreter::cmdScroll},  {"@FADE(", &WrdInterpreter::cmdFade},
      {"@DTITLE(", &WrdInterpreter::cmdDtitle},  {"@DMEMO(", &WrdInterpreter::cmdDmemo},
      {"@DVER(", &WrdInterpreter::cmdDver},
  };
  return table;
}

// ---- timing ----

bool WrdInterpreter::cmdStartup() {
  ScriptReader& r = reader_;
  if (r.peek() == '(') {
    r.skip();
    if (r.peek() >= '0' && r.peek() <= '9') state_.startupValue = r.number(0);
    r.close();
  }
  screen_.state().startupValue = state_.startupValue;
  log_.printf("\t@STARTUP %d\n", state_.startupValue);
  return false;
}

bool WrdInterpreter::cmdWmode() {
  ScriptReader& r = reader_;
  State& s = state_;
  const std::optional<int> step = r.number();
  const std::optional<int> mode = r.separator() ? r.number() : std::nullopt;
  r.close();
  s.pendingLineStep = step ? std::max(*step, 0) : (s.pendingLineStep >= 0 ? s.pendingLineStep : s.lineStep);
  if (mode) s.lineMode = *mode;
  if (s.lineMode == kCharacterMode && s.waitState != WaitState::kNone) s.quirkFlag = true;
  log_.printf("\t@WMODE %d,%d\n", s.pendingLineStep, s.lineMode);
  if (s.waitState == WaitState::kNone) takePendingStep();
  if (s.lineStep == 0 && s.pendingLineStep >= 0) {
    takePendingStep();
    if (s.waitState == WaitState::kMeasure || s.waitState == WaitState::kTick) armLineWait(s.lineStep);
  }
  r.skipBlanks();
  return false;
}

// The line end after a wait: ";" and line end always go, a bare line end when `lineEndToo`.
void WrdInterpreter::takeLineEnd(bool lineEndToo) {
  ScriptReader& r = reader_;
  if (r.atSemicolonLineEnd()) {
    r.skip(2);
  } else if (lineEndToo && r.atLineEnd()) {
    r.skip();
  } else {
    return;
  }
  state_.nextLineIsText = r.peek() != '@';
}

bool WrdInterpreter::cmdWait() {
  ScriptReader& r = reader_;
  State& s = state_;
  const int measure = r.number(0);
  const std::optional<int> step = r.separator() ? r.number() : std::nullopt;
  r.close();
  const int target = saturate(static_cast<long long>(s.offset) + measure - 1);
  takeLineEnd(s.lineStep == 0 || s.startupValue < 380);
  takePendingStep();
  s.quirkFlag = false;
  if (!step && target <= s.wrdMeasure) {
    log_.printf("\t@WAIT %d,%d (PASS)\n", measure, -1);
    return false;
  }
  s.waitState = WaitState::kMeasure;
  if (target > s.wrdMeasure) s.wrdMeasure = target;
  s.waitTarget = s.wrdMeasure;
  s.waitStep = step ? ticksOf(*step, 48) : 0;
  s.tickInMeasure = s.waitStep;
  log_.printf("\t@WAIT %d,%d\n", measure, step.value_or(-1));
  return true;
}

bool WrdInterpreter::cmdOffset() {
  state_.offset = reader_.number(0);
  reader_.close();
  log_.printf("\t@OFFSET %d\n", state_.offset);
  return false;
}

bool WrdInterpreter::cmdRest() {
  ScriptReader& r = reader_;
  State& s = state_;
  const int measures = r.number(0);
  const std::optional<int> step = r.separator() ? r.number() : std::nullopt;
  r.close();
  s.waitState = WaitState::kMeasure;
  s.waitTarget = saturate(static_cast<long long>(s.wrdMeasure) + measures);
  if (step) s.waitStep = ticksOf(*step, 48);
  takeLineEnd(s.lineStep == 0);
  takePendingStep();
  s.quirkFlag = false;
  log_.write("\t@REST\n");
  return true;
}

bool WrdInterpreter::cmdInkey() {
  State& s = state_;
  const int measure = reader_.number(0);
  s.waitState = WaitState::kMeasure;
  s.waitTarget = saturate(static_cast<long long>(measure) + s.offset);
  log_.write("\t@INKEY\n");
  return true;
}

bool WrdInterpreter::cmdEnd() {
  state_.waitState = WaitState::kEnd;
  state_.startupSection = false;
  return false;
}

bool WrdInterpreter::cmdLoop() {
  reader_.number(0);
  reader_.close();
  return false;
}

bool WrdInterpreter::cmdStop() {
  return false;
}

bool WrdInterpreter::cmdRem() {
  ScriptReader& r = reader_;
  for (std::uint8_t b = r.peek(); b != '\n' && b != ';' && b != '@' && b != 0; b = r.peek())
    r.skip();
  return false;
}

// ---- text ----

bool WrdInterpreter::cmdLocate() {
  ScriptReader& r = reader_;
  const int a = r.number(0);
  const bool comma = r.peek() == ',';
  if (comma || r.peek() == ';') r.skip();
  const int b = r.number(0);
  r.close();
  TextCursor& c = writer_.cursor();
  c.column = textColumn((comma ? a : b) - 1);
  c.row = textRow((comma ? b : a) - 1);
  log_.write("\t@LOCATE\n");
  return false;
}

bool WrdInterpreter::cmdTon() {
  screen_.state().textOn = reader_.number(1);
  reader_.close();
  screen_.applyBank0();
  pushPaletteNow();
  writer_.clearSkipCounter();
  screen_.invalidate(kWholeSurface);
  log_.printf("\t@TON %d\n", screen_.state().textOn);
  return false;
}

bool WrdInterpreter::cmdColor() {
  ScriptReader& r = reader_;
  for (;;) {
    writer_.applyAttributeCode(r.number(0));
    // A ";" before the line end belongs to the line, not to the list of codes.
    if (r.peek() != ';' || r.peek(1) == '\n') break;
    r.skip();
  }
  r.close();
  log_.write("\t@COLOR\n");
  return false;
}

bool WrdInterpreter::cmdEsc() {
  const std::string text = reader_.string();
  reader_.close();
  log_.write("\t@ESC\n");
  writer_.write("\x1B[" + text);
  return false;
}

bool WrdInterpreter::cmdTcls() {
  ScriptReader& r = reader_;
  int x1 = 1, y1 = 1, x2 = 80, y2 = 25;
  if (r.peek() != ')') {
    x1 = r.argument(1);
    y1 = r.argument(1);
    x2 = r.argument(80);
    y2 = r.argument(25);
  }
  const int attr = r.argument(0);
  const int character = r.number(32);
  r.close();
  const auto oneBased = [](int v) { return v == 0 ? 1 : v; };
  writer_.fillCells(oneBased(x1) - 1, oneBased(y1) - 1, oneBased(x2) - 1, oneBased(y2) - 1,
                    static_cast<std::uint8_t>(character), attr & 7, (attr & 8) ? kAttrReverse : 0);
  log_.write("\t@TCLS\n");
  return false;
}

bool WrdInterpreter::cmdScroll() {
  ScriptReader& r = reader_;
  const int x1 = r.argument(1), y1 = r.argument(1), x2 = r.argument(80), y2 = r.argument(25);
  const int direction = r.argument(0), colour = r.argument(0), character = r.number(32);
  r.close();
  writer_.scrollRegion(textColumn(x1 - 1), textRow(y1 - 1), textColumn(x2 - 1), textRow(y2 - 1), direction, colour,
                       static_cast<std::uint8_t>(character));
  log_.write("\t@SCROLL\n");
  if (repaintEachElement()) {
    flush();
    repaintNow();
  }
  return false;
}

bool WrdInterpreter::cmdDtitle() {
  ScriptReader& r = reader_;
  const int row = r.argument(20), x1 = r.argument(0), x2 = r.number(80);
  r.close();
  const long long width = std::max<long long>(static_cast<long long>(x2) - x1, 0);
  std::string title = title_;
  if (static_cast<long long>(title.size()) > width) {
    title.resize(static_cast<std::size_t>(std::max<long long>(width - 3, 0)));
    title += "...";
  }
  const long long column = x1 + (width - static_cast<long long>(title.size())) / 2;
  writer_.writeAt(textColumn(saturate(std::max<long long>(column, 0))), textRow(row), title);
  return false;
}

bool WrdInterpreter::cmdDmemo() {
  ScriptReader& r = reader_;
  const int column = textColumn(r.argument(0)), row = textRow(r.number(0));
  r.close();
  std::string_view memo = memo_;
  for (int line = 0; line < kMemoLines && !memo.empty() && row + line < kTextRows; ++line) {
    std::size_t length = 0;
    while (length < memo.size() && memo[length] != '\n' && length < kMemoLineBytes) {
      // A double-byte character whose lead byte would be the 30th byte starts the next line.
      const bool lead = isShiftJisLead(memo[length]);
      if (lead && length + 1 >= kMemoLineBytes) break;
      length += lead && length + 1 < memo.size() ? 2 : 1;
    }
    std::string text(memo.substr(0, length));
    std::erase(text, '\r');
    writer_.writeAt(column, row + line, text);
    memo.remove_prefix(length);
    if (!memo.empty() && memo.front() == '\n') memo.remove_prefix(1);
  }
  return false;
}

bool WrdInterpreter::cmdDver() {
  ScriptReader& r = reader_;
  const int column = textColumn(r.argument(0)), row = textRow(r.number(0));
  r.close();
  writer_.writeAt(column, row, kVersionText);
  return false;
}

// ---- graphics ----

int WrdInterpreter::defaultPlaneMask() const {
  return state_.startupValue >= 1 && state_.startupValue <= 399 ? 7 : 15;
}

bool WrdInterpreter::cmdGmode() {
  const int fallback = defaultPlaneMask();
  screen_.state().planeMask = reader_.number(fallback) & fallback;
  reader_.close();
  log_.printf("\t@GMODE %d\n", screen_.state().planeMask);
  return false;
}

bool WrdInterpreter::cmdGcls() {
  const int mask = reader_.number(15);
  reader_.close();
  screen_.clearPlanes(mask == 0 ? 15 : mask);
  log_.write("\t@GCLS\n");
  return false;
}

bool WrdInterpreter::cmdGinit() {
  reader_.close();
  DrawState& draw = screen_.state();
  draw.activePage = 0;
  draw.displayPage = 0;
  setGraphicsOn(1);
  screen_.markDirty(kWholeScreen);
  log_.write("\t@GINIT\n");
  return false;
}

bool WrdInterpreter::cmdGscreen() {
  ScriptReader& r = reader_;
  const int active = r.argument(0), display = r.number(0);
  r.close();
  const int pages = screen_.pageCount();
  if (active < 0 || active >= pages || display < 0 || display >= pages) {
    log_.write("\t@GSCREEN invalid parameter\n");
    return false;
  }
  DrawState& draw = screen_.state();
  draw.activePage = active;
  if (draw.displayPage != display) screen_.markDirty(kWholeScreen);
  draw.displayPage = display;
  log_.write("\t@GSCREEN\n");
  return false;
}

void WrdInterpreter::setGraphicsOn(int value) {
  screen_.state().graphicsOn = value;
  screen_.applyBank0();
  pushPaletteNow();
  screen_.invalidate(kWholeSurface);
}

bool WrdInterpreter::cmdGon() {
  const int value = reader_.number(1);
  reader_.close();
  setGraphicsOn(value);
  log_.printf("\t@GON %d\n", value);
  return false;
}

bool WrdInterpreter::cmdGline() {
  ScriptReader& r = reader_;
  const int x1 = r.argument(0), y1 = r.argument(0), x2 = r.argument(0), y2 = r.argument(0);
  const int colour = r.argument(0), mode = r.argument(0);
  const int style = r.number(mode == 2 ? colour : 0);
  r.close();
  screen_.glineCommand(x1, y1, x2, y2, colour, mode, style);
  log_.write("\t@GLINE\n");
  return false;
}

bool WrdInterpreter::cmdGcircle() {
  ScriptReader& r = reader_;
  const int x = r.argument(0), y = r.argument(0), radius = r.argument(0);
  const int colour = r.argument(0), mode = r.argument(0), fill = r.number(0);
  r.close();
  screen_.gcircleCommand(x, y, radius, colour, mode, fill);
  log_.write("\t@GCIRCLE\n");
  return false;
}

bool WrdInterpreter::cmdGmove() {
  ScriptReader& r = reader_;
  const int x1 = r.argument(0) & 0xFFF8, y1 = r.argument(0);
  const int x2 = (r.argument(0) & 0xFFF8) + 7, y2 = r.argument(0);
  const int x3 = r.argument(0) & 0xFFF8, y3 = r.argument(0);
  const int source = r.argument(0), dest = r.argument(0), mode = r.number(0);
  r.close();
  screen_.blockMove(x1, y1, x2, y2, x3, y3, source, dest, mode);
  log_.printf("\t@GMOVE (%d,%d)-(%d,%d) => (%d,%d)\n", x1, y1, x2, y2, x3, y3);
  return false;
}

// ---- palettes ----

bool WrdInterpreter::cmdPal() {
  ScriptReader& r = reader_;
  int bank = 0;
  if (r.peek() == '#') {
    r.skip();
    bank = r.argument(0);
  }
  const bool valid = validBank(bank);
  if (bank == 0) state_.fadeTarget = 0;
  for (int i = 0; i < 16; ++i) {
    const auto value = static_cast<std::uint16_t>(r.hexNumber() & 0xFFF);
    r.separator();
    if (!valid) continue;
    screen_.banks()[static_cast<std::size_t>(bank)][static_cast<std::size_t>(i)] = value;
    if (bank == 0) screen_.setPaletteEntry(i, value);
  }
  r.close();
  if (bank == 0) screen_.markPaletteDirty();
  log_.write("\t@PAL\n");
  return false;
}

bool WrdInterpreter::cmdFade() {
  ScriptReader& r = reader_;
  const int from = r.argument(0), to = r.argument(0), speed = r.number(1);
  r.close();
  log_.write("\t@FADE\n");
  if (!validBank(from) || !validBank(to)) return false;
  State& s = state_;
  s.fadeSource = speed == 0 ? to : from;
  s.fadeTarget = speed == 0 ? 0 : to;
  s.fadeSpeed = speed;
  PaletteBanks& banks = screen_.banks();
  banks[0] = banks[static_cast<std::size_t>(s.fadeSource)];
  screen_.applyBank0();
  if (s.fadeTarget == 0 && s.fadeSource != 0) {
    s.fadeTarget = kFadeWorkBank;
    banks[kFadeWorkBank] = banks[0];
  }
  screen_.markPaletteDirty();
  s.nextFadeTick = saturate(static_cast<long long>(s.wrdTick) + ticksOf(speed, 48));
  return false;
}

bool WrdInterpreter::cmdPalrev() {
  const int bank = reader_.number(0);
  reader_.close();
  log_.write("\t@PALREV\n");
  if (!validBank(bank)) return false;
  PaletteBanks& banks = screen_.banks();
  const auto invert = [](PaletteBank& b) {
    for (auto& entry : b.entries)
      entry = static_cast<std::uint16_t>(~entry & 0xFFF);
  };
  if (bank == 0 && state_.fadeTarget == kFadeWorkBank) {
    banks[0] = banks[kFadeWorkBank];
    invert(banks[0]);
    screen_.applyBank0();
    state_.fadeTarget = 0;
  }
  invert(banks[static_cast<std::size_t>(bank)]);
  if (bank == 0) {
    screen_.applyBank0();
    screen_.markPaletteDirty();
  }
  return false;
}

bool WrdInterpreter::ignoreString(const char* logLine) {
  reader_.string();
  reader_.close();
  log_.write(logLine);
  return false;
}

bool WrdInterpreter::cmdPalchg() {
  return ignoreString("\t@PALCHG\n");
}

bool WrdInterpreter::cmdPath() {
  return ignoreString("\t@PATH\n");
}

// ---- pictures ----

void WrdInterpreter::showPictureRect(int x, int y, int width, int height) {
  const Rect r{x, y, x + width - 1, y + height - 1};
  screen_.recompose(r);
  screen_.invalidate(r);
}

bool WrdInterpreter::cmdPload() {
  const std::string name = reader_.string();
  reader_.close();
  log_.write("\t@PLOAD\n");
  const DrawState& draw = screen_.state();
  Surface* page = screen_.page(draw.activePage);
  if (page != nullptr && image::loadPho(findFileIgnoringCase(wrdDirectory_, name), *page) &&
      draw.activePage == draw.displayPage) {
    screen_.markDirty(kWholeScreen);
  }
  return false;
}

bool WrdInterpreter::cmdMag() {
  ScriptReader& r = reader_;
  const std::string name = r.string();
  r.separator();
  const int x = r.argument(-1), y = r.argument(-1), reduction = r.argument(1), mode = r.number(0);
  r.close();
  const DrawState& draw = screen_.state();
  Surface* page = screen_.page(draw.activePage);
  if (page == nullptr) return false;
  const image::MagRequest request{x, y, std::max(reduction, 1), mode == 2};
  PaletteBanks& banks = screen_.banks();
  PaletteBank& pictureBank = banks[static_cast<std::size_t>(kPictureBankEven + (draw.activePage & 1))];
  // A palette-only load draws nothing yet fills in the placement; width -1 marks "not read".
  image::MagPlacement placement{0, 0, -1, 0};
  const bool drawn = image::loadMag(findFileIgnoringCase(wrdDirectory_, name), *page, pictureBank, request, &placement);
  if (!drawn && placement.width < 0) return false;
  banks[kScriptBankCopy] = pictureBank;
  if (mode == 0 || mode == 2) {
    banks[0] = banks[kScriptBankCopy];
    screen_.applyBank0();
    screen_.markPaletteDirty();
  }
  if ((mode == 0 || mode == 1) && draw.activePage == draw.displayPage)
    showPictureRect(placement.x, placement.y, placement.width, placement.height);
  log_.printf("\t@MAG (%d,%d)-(%d,%d)\n", placement.x / 8, placement.y / 16, (placement.x + placement.width) / 8 + 1,
              (placement.y + placement.height) / 16 + 1);
  return false;
}

bool WrdInterpreter::cmdExec() {
  const std::string commandLine = reader_.string();
  reader_.close();
  log_.write("\t@EXEC\n");
  if (startsWithIgnoringCase(commandLine, "WRDCMD2 ")) {
    execFonts(commandLine);
  } else if (startsWithIgnoringCase(commandLine, "MAG ")) {
    execMag(commandLine);
  } else {
    screen_.recompose(kWholeScreen);
    screen_.invalidate(kWholeScreen);
  }
  return false;
}

void WrdInterpreter::execFonts(std::string_view commandLine) {
  for (std::size_t i = 0; i + 1 < commandLine.size(); ++i) {
    if (commandLine[i] != '/' || upperAscii(commandLine[i + 1]) != 'F') continue;
    const std::size_t begin = i + 2;
    const std::size_t end = std::min(commandLine.find_first_of("/ ", begin), commandLine.size());
    const std::string name(commandLine.substr(begin, end - begin));
    const bool loaded = glyphs_.loadKanaFont(findFileIgnoringCase(wrdDirectory_, name + ".FON"));
    if (!loaded && !glyphs_.kanaLoaded()) glyphs_.loadKanaFont(findFileIgnoringCase(programDirectory_, name + ".FON"));
  }
}

void WrdInterpreter::execMag(std::string_view commandLine) {
  const std::string name(commandLine.substr(commandLine.find_last_of(' ') + 1));
  const DrawState& draw = screen_.state();
  Surface* page = screen_.page(draw.activePage);
  PaletteBanks& banks = screen_.banks();
  image::MagPlacement placement;
  if (page == nullptr || !image::loadMag(findFileIgnoringCase(wrdDirectory_, name), *page, banks[kPictureBankEven],
                                         image::MagRequest{}, &placement)) {
    return;
  }
  banks[0] = banks[kPictureBankEven];
  screen_.applyBank0();
  screen_.markPaletteDirty();
  if (draw.activePage == draw.displayPage) showPictureRect(placement.x, placement.y, placement.width, placement.height);
}

}  // namespace volta::wrd
