#include "player/wrd/interpreter.h"

#include <algorithm>
#include <cctype>

#include "player/wrd/builtin_resources.h"
#include "player/wrd/image/page_pictures.h"
#include "player/wrd/script_lookup.h"

namespace volta::wrd {

namespace {

constexpr PaletteBank kDefaultPalette{
    {0x000, 0x00F, 0xF00, 0xF0F, 0x0F0, 0x0FF, 0xFF0, 0xFFF, 0x000, 0x008, 0x800, 0x808, 0x080, 0x088, 0x880, 0x888}};

bool beginsWithStartup(const ScriptBuffer& script) {
  ScriptReader reader(script.bytes.data(), script.end, script.start);
  return reader.match("@startup");
}

// Each 4-bit component of `from` one step towards `to`.
std::uint16_t fadeStep(std::uint16_t from, std::uint16_t to) {
  std::uint16_t out = 0;
  for (int shift = 0; shift <= 8; shift += 4) {
    int c = (from >> shift) & 0xF;
    const int t = (to >> shift) & 0xF;
    c += c < t ? 1 : (c > t ? -1 : 0);
    out = static_cast<std::uint16_t>(out | c << shift);
  }
  return out;
}

std::string replaceLastThree(const std::string& name, std::string_view ending) {
  return name.substr(0, name.size() - std::min<std::size_t>(3, name.size())) + std::string(ending);
}

}  // namespace

WrdInterpreter::WrdInterpreter(std::shared_ptr<const UnifontFace> face)
    : glyphs_(std::move(face)), writer_(screen_, glyphs_) {
  screen_.hooks().log = [this](std::string_view text) { log_.write(text); };
  screen_.hooks().advanceFade = [this] { advanceFade(); };
  writer_.setCaretHook([this](std::string_view text) { return caretCommand(text); });
}

void WrdInterpreter::startDebugLog(const std::filesystem::path& path) {
  log_.setPath(path);
  if (path.empty()) return;
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) std::fclose(file);
}

// ---- loading ----

bool WrdInterpreter::openFile(const std::optional<std::filesystem::path>& path, std::string_view title,
                              std::string_view memo, MeasureTable measureTable) {
  if (!path) {
    const std::vector<char> text = withoutCarriageReturns(builtInScript());
    return load(text, {}, title, memo, measureTable);
  }
  if (path->empty() || isSherryScriptPath(*path)) return false;
  if (!isDvScriptPath(*path)) {
    const auto text = readScriptText(*path);
    return text && load(*text, *path, title, memo, measureTable);
  }
  const auto bytes = readScriptBytes(*path);
  if (!bytes || !dvConverter_) return false;
  const auto converted = dvConverter_(*bytes);
  return converted && openText(*converted, *path, title, memo, measureTable);
}

bool WrdInterpreter::openText(std::span<const char> text, const std::filesystem::path& path, std::string_view title,
                              std::string_view memo, MeasureTable measureTable) {
  // Converted text ends at its first zero byte and loses its carriage returns.
  const auto zero = std::find(text.begin(), text.end(), '\0');
  const std::vector<char> clean = withoutCarriageReturns(std::string_view(text.data(), zero - text.begin()));
  return load(clean, path, title, memo, measureTable);
}

bool WrdInterpreter::load(std::span<const char> text, const std::filesystem::path& path, std::string_view title,
                          std::string_view memo, MeasureTable measureTable) {
  title_ = title;
  memo_ = memo;
  script_ = makeScriptBuffer(std::string_view(text.data(), text.size()));
  reader_ = ScriptReader(script_.bytes.data(), script_.end, script_.start);
  wrdDirectory_ = path.empty() ? std::filesystem::path() : path.parent_path();
  wrdFileName_ = path.empty() ? std::string() : path.filename().string();
  measureTable_ = measureTable;
  hasScript_ = true;
  state_.loaded = true;
  return true;
}

// ---- reset ----

void WrdInterpreter::reset(int timebase) {
  DrawState& draw = screen_.state();
  draw.updatesSuppressed = true;
  screen_.reset();
  draw = DrawState{};
  draw.updatesSuppressed = true;
  writer_.reset();
  // A script that ran to its end starts again from the beginning.
  state_ = State{};
  state_.loaded = hasScript_;
  state_.timebase = std::max(timebase, 1);
  reader_.setPosition(script_.start);
  commandStart_ = script_.start;
  loadCompanionPicture();
  screen_.markDirty(kWholeScreen);
  screen_.applyBank0();
  screen_.markPaletteDirty();
  log_.write(log_text::kReset);
  draw.updatesSuppressed = false;
  flush();
  if (!state_.loaded) return;
  state_.nextLineIsText = reader_.peek() != '@';
  state_.startupSection = beginsWithStartup(script_);
}

void WrdInterpreter::loadCompanionPicture() {
  PaletteBanks& banks = screen_.banks();
  banks[0] = kDefaultPalette;
  if (wrdFileName_.empty()) {
    copyBuiltInPicture();
    return;
  }
  const auto magPath = findFileIgnoringCase(wrdDirectory_, replaceLastThree(wrdFileName_, "MAG"));
  PaletteBank palette;
  if (image::loadMag(magPath, *screen_.page(0), palette, image::MagRequest{})) {
    banks[0] = palette;
    banks[kPictureBankEven] = palette;
    return;
  }
  const auto phoPath = findFileIgnoringCase(wrdDirectory_, replaceLastThree(wrdFileName_, "PHO"));
  if (!image::loadPho(phoPath, *screen_.page(0)) && !state_.loaded) drawIdleScreen(screen_, writer_, title_);
}

void WrdInterpreter::copyBuiltInPicture() {
  PaletteBanks& banks = screen_.banks();
  if (!builtInPicture_) {
    image::BufferTarget target(kSurfaceWidth, kSurfaceHeight);
    if (!image::drawMag(builtInPictureFile(), target, banks[kBuiltInPictureBank].entries, image::MagRequest{})) return;
    builtInPicture_ = target.image();
  }
  Surface& page = *screen_.page(0);
  for (int y = 0; y < kSurfaceHeight; ++y) {
    const std::uint8_t* from = builtInPicture_->pixels.data() + static_cast<std::size_t>(y) * kSurfaceWidth;
    std::copy(from, from + kSurfaceWidth, page.row(y));
  }
  banks[0] = banks[kBuiltInPictureBank];
}

// ---- process ----

bool WrdInterpreter::process(bool noDisplay, const SongPosition& position) {
  position_ = position;
  setSuppressed(noDisplay);
  bool waiting = step();
  const bool executed = !waiting;
  while (highSpeed_ && !waiting)
    waiting = step();
  if (executed && !highSpeed_ && !noDisplay) repaintNow();
  return waiting;
}

void WrdInterpreter::setSuppressed(bool noDisplay) {
  DrawState& draw = screen_.state();
  // The first call after a silent catch-up pushes the whole screen once.
  if (draw.updatesSuppressed && !noDisplay) screen_.markDirty(kWholeScreen);
  draw.updatesSuppressed = noDisplay;
}

void WrdInterpreter::present() {
  setSuppressed(false);
  screen_.markDirty(kWholeScreen);
  screen_.markPaletteDirty();
  flush();
}

bool WrdInterpreter::step() {
  advanceFade();
  State& s = state_;
  if (!s.loaded) {
    flush();
    return true;
  }
  if (s.waitState == WaitState::kEnd && s.waitInForce) {
    finishScript();
    return true;
  }
  if (!s.startupSection && s.waitInForce && stillWaiting()) {
    flush();
    return true;
  }
  if (s.waitInForce && completeWait()) return false;
  log_.write(log_text::kSeparator);
  if (s.waitInForce) commandStart_ = reader_.position();
  if (!s.startupSection && s.waitInForce) {
    flush();
    armDefaultWait();
  }
  bool result = false;
  if (!reader_.atEnd()) {
    logPosition();
    const bool atWait = s.nextLineIsText ? textElement() : commandElement();
    if (atWait) takePendingStep();
    if (repaintEachElement()) {
      flush();
      repaintNow();
    }
    if (!s.startupSection || !atWait) {
      s.waitInForce = atWait;
    } else {
      endStartupSection();
      result = true;
    }
  } else {
    s.waitState = WaitState::kEnd;
    s.startupSection = false;
    // The end is a wait point too: the next call finishes the script.
    s.waitInForce = true;
    log_.write(log_text::kBoundaryOver);
  }
  flush();
  return result;
}

bool WrdInterpreter::stillWaiting() const {
  const State& s = state_;
  if (s.waitState == WaitState::kTick) return s.waitTarget > static_cast<long long>(position_.absoluteTick);
  if (s.waitState == WaitState::kMeasure) return s.waitTarget > position_.measure;
  return false;
}

bool WrdInterpreter::completeWait() {
  if (state_.waitState == WaitState::kTick) waitTickCounter();
  return state_.waitState == WaitState::kMeasure && waitMeasure();
}

void WrdInterpreter::waitTickCounter() {
  State& s = state_;
  log_.printf("\nWaitTickCounter %ld\n\n", static_cast<long>(logUnits(s.waitTarget)));
  s.wrdTick = s.waitTarget;
  const long long tick = s.wrdTick;
  if (measureTable_.empty()) {
    s.tickInMeasure = s.wrdTick;
    return;
  }
  long long m = std::max(s.wrdMeasure, 0);
  const long long size = static_cast<long long>(measureTable_.size());
  // Measure 0 starts at tick 0; later zero entries lie beyond the song.
  while (m < size && (m == 0 || measureStart(m) != 0) && measureStart(m) <= tick)
    ++m;
  m = std::max<long long>(m - 1, 0);
  while (m >= 1 && (measureStart(m) == 0 || measureStart(m) > tick))
    --m;
  s.wrdMeasure = static_cast<int>(m);
  s.tickInMeasure = saturate(tick - measureStart(m));
}

bool WrdInterpreter::waitMeasure() {
  State& s = state_;
  log_.printf("\nWaitMeasure %ld, %ld\n\n", static_cast<long>(s.waitTarget) + 1,
              static_cast<long>(logUnits(s.waitStep)));
  s.wrdMeasure = std::max(s.waitTarget, 0);
  const long long start = measureStart(s.wrdMeasure);
  if (s.waitStep >= 0) {
    s.wrdTick = saturate(start + s.waitStep);
    if (s.waitStep > 0) {
      s.waitState = WaitState::kTick;
      s.waitTarget = s.wrdTick;
      return true;
    }
    s.tickInMeasure = 0;
  }
  if (start > s.wrdTick) {
    s.wrdTick = saturate(start);
    s.tickInMeasure = 0;
  }
  return false;
}

void WrdInterpreter::armDefaultWait() {
  armLineWait(state_.lineStep);
}

void WrdInterpreter::armLineWait(int step) {
  State& s = state_;
  if (step != 0) {
    s.waitState = WaitState::kTick;
    s.waitTarget = saturate(static_cast<long long>(ticksOf(static_cast<long long>(step) + 1, 24)) + s.wrdTick);
  } else {
    s.waitState = WaitState::kMeasure;
    s.waitTarget = saturate(static_cast<long long>(s.wrdMeasure) + 1);
    s.waitStep = 0;
  }
}

void WrdInterpreter::endStartupSection() {
  State& s = state_;
  if (s.waitState == WaitState::kNone || s.waitState == WaitState::kTick) {
    if (s.waitState == WaitState::kTick) {
      s.wrdMeasure = 0;
      s.wrdTick = 0;
      s.tickInMeasure = 0;
    }
    s.waitState = WaitState::kTick;
    s.waitTarget = 0;
    s.waitStep = 0;
  }
  s.startupSection = false;
  s.waitInForce = true;
}

void WrdInterpreter::finishScript() {
  state_.loaded = false;
  flush();
  screen_.freeExtraPages();
}

void WrdInterpreter::logPosition() {
  if (!log_.enabled()) return;
  const State& s = state_;
  log_.printf("[%ld:%ld]-(real %ld:%ld - %ld)----------- next [%s]\n", static_cast<long>(s.wrdMeasure) + 1,
              static_cast<long>(logUnits(s.tickInMeasure)), static_cast<long>(position_.measure) + 1,
              static_cast<long>(logUnits(position_.tickInMeasure)), static_cast<long>(logUnits(position_.absoluteTick)),
              reader_.preview(5).c_str());
}

std::uint32_t WrdInterpreter::songTick() const {
  return position_.liveTick != nullptr ? *position_.liveTick : position_.absoluteTick;
}

std::uint32_t WrdInterpreter::measureStart(long long measure) const {
  return measure >= 0 && measure < static_cast<long long>(measureTable_.size())
             ? measureTable_[static_cast<std::size_t>(measure)]
             : 0;
}

// `units` of 1/`perQuarter` of a quarter note in ticks.
int WrdInterpreter::ticksOf(long long units, int perQuarter) const {
  return saturate(units * state_.timebase / perQuarter);
}

// Ticks in the 1/24 quarter notes of the debug log.
int WrdInterpreter::logUnits(long long ticks) const {
  return saturate(ticks * 24 / state_.timebase);
}

void WrdInterpreter::pushPaletteNow() {
  screen_.markPaletteDirty();
  if (!screen_.state().updatesSuppressed) screen_.pushPalette();
}

void WrdInterpreter::repaintNow() {
  if (repaint_) repaint_();
}

void WrdInterpreter::advanceFade() {
  State& s = state_;
  if (s.fadeTarget == 0 || songTick() <= static_cast<long long>(s.nextFadeTick)) return;
  s.nextFadeTick = saturate(static_cast<long long>(s.nextFadeTick) + ticksOf(s.fadeSpeed, 48));
  PaletteBanks& banks = screen_.banks();
  const PaletteBank& target = banks[static_cast<std::size_t>(s.fadeTarget)];
  for (int i = 0; i < 16; ++i)
    screen_.setPaletteEntry(i, fadeStep(banks[0][static_cast<std::size_t>(i)], target[static_cast<std::size_t>(i)]));
  screen_.markPaletteDirty();
  if (banks[0] == target) s.fadeTarget = 0;
}

}  // namespace volta::wrd
