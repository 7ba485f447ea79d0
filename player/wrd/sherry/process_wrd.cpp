#include "player/wrd/sherry/process_wrd.h"

#include <algorithm>
#include <array>
#include <new>
#include <string>

#include "platform/text.h"
#include "player/wrd/image/file_bytes.h"
#include "player/wrd/image/gif_decoder.h"
#include "player/wrd/sherry/drawing.h"
#include "player/wrd/sherry/sherry_errors.h"

namespace volta::wrd::sherry {

using platform::text::equalsIgnoringCase;
using platform::text::isShiftJisLead;

namespace {

constexpr std::array<std::uint8_t, 12> kFileId{'S', 'h', 'e', 'r', 'r', 'y', ' ', 'W', 'R', 'D', 0, 0};
constexpr std::size_t kHeaderEventsOffset = 16;
constexpr std::uint32_t kVersionOffset = 12;
constexpr int kHeaderEnd = 0x00;
constexpr int kHeaderTimebase = 0x20;
constexpr int kEndEvent = 0x00;
constexpr int kGlyphHeight = 16;
constexpr int kNarrowWidth = 8;
constexpr int kWideWidth = 16;

// Scripts come from systems whose file names ignore case: an entry of another case stands in
// for a missing one.
std::filesystem::path entryIgnoringCase(const std::filesystem::path& folder, const std::string& name) {
  std::error_code error;
  if (std::filesystem::exists(folder / name, error)) return folder / name;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (equalsIgnoringCase(it->path().filename().string(), name)) return it->path();
  }
  return folder / name;
}

// The picture named by a script: separators may be "\" or "/", and case may differ.
std::filesystem::path picturePath(const std::filesystem::path& directory, std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  std::filesystem::path result = directory;
  for (const auto& part : std::filesystem::path(name).relative_path()) {
    result = entryIgnoringCase(result, part.string());
  }
  return result;
}

std::string textUpToZero(std::span<const std::uint8_t> bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
  return {bytes.begin(), end};
}

int blendMask(int bits, int position) {
  const int width = std::clamp(bits, 0, 8);
  return position >= 16 ? 0 : (0xFF >> (8 - width)) << position;
}

std::uint8_t blendComponent(std::uint8_t a, std::uint8_t b, int percent) {
  return static_cast<std::uint8_t>(a * (100 - percent) / 100 + b * percent / 100);
}

}  // namespace

std::int64_t sherryTime(std::int64_t absoluteTick, int fileTimebase, int songTimebase) {
  if (fileTimebase <= 0 || songTimebase <= 0) return absoluteTick;
  return absoluteTick * fileTimebase / (std::int64_t{songTimebase} * 4);
}

SProcessWRD::SProcessWRD(SVScreen& screen) : screen_(screen) {}

template <typename Action>
bool SProcessWRD::guarded(Action action) {
  try {
    return action();
  } catch (const SError& error) {
    fail(error);
  } catch (const std::bad_alloc&) {
    fail(SErrorInternal("out of memory"));
  }
  return false;
}

void SProcessWRD::fail(const SError& error) {
  lastError_ = error.message();
  releaseAll();
  pending_.clear();
  shownPalette_.reset();
  state_ = stream_.isOpen() ? State::kEnded : State::kClosed;
  if (errorHook_) errorHook_(lastError_);
}

bool SProcessWRD::openFile(const std::filesystem::path& path) {
  auto bytes = image::readPictureFile(path);
  if (!bytes) {
    releaseAll();
    stream_.close();
    state_ = State::kClosed;
    lastError_.clear();
    return false;
  }
  return openBuffer(std::move(*bytes), path.parent_path());
}

bool SProcessWRD::openBuffer(std::vector<std::uint8_t> bytes, const std::filesystem::path& directory) {
  releaseAll();
  pending_.clear();
  shownPalette_.reset();
  lastError_.clear();
  directory_ = directory;
  stream_.open(std::move(bytes));
  const bool opened = guarded([this] {
    checkHeader();
    return true;
  });
  if (!opened) stream_.close();
  state_ = opened ? State::kOpened : State::kClosed;
  return opened;
}

void SProcessWRD::checkHeader() {
  stream_.seek(0);
  stream_.markRecord();
  const auto id = stream_.readBytes(kFileId.size());
  if (!std::equal(id.begin(), id.end(), kFileId.begin())) throw SErrorInput(0, "Invalid file id");
  stream_.markRecord();
  if (stream_.readU32() != 0) throw SErrorInput(kVersionOffset, "Cannot read a newer version format");
}

bool SProcessWRD::reset(int songTimebase) {
  if (songTimebase > 0) songTimebase_ = songTimebase;
  return guarded([this] {
    if (state_ == State::kClosed) throw SErrorInternal("Reset() called before OpenFile()");
    state_ = State::kInitialising;
    currentTime_ = 0;
    shownPalette_.reset();
    pending_.clear();
    lastError_.clear();
    readHeaderEvents();
    stream_.markRecord();
    stream_.readVarNumber();
    releaseAll();
    run(0);
    return true;
  });
}

void SProcessWRD::readHeaderEvents() {
  stream_.seek(kHeaderEventsOffset);
  fileTimebase_ = 0;
  for (;;) {
    const EventStart event = beginEvent();
    if (event.code == kHeaderEnd) return;
    if (event.code == kHeaderTimebase) fileTimebase_ = stream_.readU16();
    stream_.seek(event.end);
  }
}

bool SProcessWRD::process(std::int64_t time) {
  if (state_ == State::kClosed || state_ == State::kEnded) return true;
  // A script stopped by an error has ended, and an ended script waits.
  return guarded([this, time] { return run(time); }) || !lastError_.empty();
}

bool SProcessWRD::processTick(std::int64_t absoluteTick) {
  return process(sherryTime(absoluteTick, fileTimebase_, songTimebase_));
}

bool SProcessWRD::run(std::int64_t time) {
  if (state_ != State::kInitialising && state_ != State::kTiming)
    throw SErrorInternal("Process() called before Reset(), OpenFile()");
  for (;;) {
    if (time <= currentTime_ && state_ != State::kInitialising) return true;
    if (executeEvent()) return false;
    stream_.markRecord();
    const std::uint32_t delta = stream_.readVarNumber();
    if (delta != 0) {
      flush();
      screen_.refresh();
    }
    if (state_ == State::kTiming) currentTime_ += delta;
  }
}

SProcessWRD::EventStart SProcessWRD::beginEvent() {
  stream_.markRecord();
  const std::uint32_t length = stream_.readVarNumber();
  // The length counts the code byte, so it is never 0 in a sound file.
  if (length == 0) throw SErrorInput(offset(), "Invalid event length");
  const std::size_t end = stream_.tell() + length;
  return {end, length - 1, stream_.readU8() & 0x7F};
}

bool SProcessWRD::executeEvent() {
  const EventStart event = beginEvent();
  if (event.code == kEndEvent) {
    flush();
    screen_.refresh();
    releaseAll();
    state_ = State::kEnded;
    return true;
  }
  const Handler handler = handlerFor(event.code);
  if (handler == nullptr) throw SErrorInput(offset(), "Unknown event");
  (this->*handler)(event.parameterBytes);
  stream_.seek(event.end);
  return false;
}

SProcessWRD::Handler SProcessWRD::handlerFor(int code) {
  switch (code) {
    case 0x01:
      return &SProcessWRD::onStartTiming;
    case 0x21:
      return &SProcessWRD::onNewPalettes;
    case 0x22:
      return &SProcessWRD::onDeletePalettes;
    case 0x25:
      return &SProcessWRD::onNewScreens;
    case 0x26:
      return &SProcessWRD::onDeleteScreens;
    case 0x27:
      return &SProcessWRD::onLoadGif;
    case 0x31:
      return &SProcessWRD::onShowPalette;
    case 0x35:
      return &SProcessWRD::onShowScreen;
    case 0x36:
      return &SProcessWRD::onShowRect;
    case 0x41:
      return &SProcessWRD::onSetColours;
    case 0x42:
      return &SProcessWRD::onBlend;
    case 0x43:
      return &SProcessWRD::onCopyPalette;
    case 0x44:
      return &SProcessWRD::onCopyPaletteEntries;
    case 0x51:
      return &SProcessWRD::onText;
    case 0x52:
      return &SProcessWRD::onBox;
    case 0x53:
      return &SProcessWRD::onVertical;
    case 0x54:
      return &SProcessWRD::onHorizontal;
    case 0x55:
      return &SProcessWRD::onLine;
    case 0x61:
      return &SProcessWRD::onCopy;
    case 0x62:
      return &SProcessWRD::onCopyTransparent;
    case 0x63:
      return &SProcessWRD::onCopyPattern;
    case 0x64:
    case 0x71:
      return &SProcessWRD::onNothing;
    default:
      return nullptr;
  }
}

void SProcessWRD::flush() {
  if (shownPalette_) {
    screen_.setColours(existingPalette(*shownPalette_));
    shownPalette_.reset();
  }
  // A screen may have been replaced since its rectangle was queued: check each again.
  const std::vector<PendingRect> pending = std::move(pending_);
  pending_.clear();
  for (const PendingRect& shown : pending) {
    const SVirtualScreen& screen = existingScreen(shown.screen);
    requireShown(screen, shown.rect);
    screen_.showRect(screen, shown.rect);
  }
}

void SProcessWRD::releaseAll() {
  palettes_.clear();
  screens_.clear();
}

SPalette& SProcessWRD::existingPalette(int id) {
  SPalette* palette = palettes_.find(id);
  if (palette == nullptr) throw SErrorPalette(offset(), "Palette is not alocated", id);
  return *palette;
}

SPalette& SProcessWRD::paletteParam() {
  return existingPalette(readId());
}

SVirtualScreen& SProcessWRD::existingScreen(int id) {
  SVirtualScreen* screen = screens_.find(id);
  if (screen == nullptr) throw SErrorScreen(offset(), "Screen is not alocated", id);
  return *screen;
}

SVirtualScreen& SProcessWRD::screenParam() {
  return existingScreen(readId());
}

void SProcessWRD::requirePoint(const SVirtualScreen& screen, int x, int y) const {
  if (!screen.contains(x, y)) throw SErrorPoint(offset(), x, y);
}

void SProcessWRD::requireRect(const SVirtualScreen& screen, int x1, int y1, int x2, int y2) const {
  if (x1 > x2 || y1 > y2 || !screen.contains(x1, y1) || !screen.contains(x2, y2))
    throw SErrorRect(offset(), x1, y1, x2, y2);
}

void SProcessWRD::requireShown(const SVirtualScreen& screen, const SShownRect& rect) const {
  const int x2 = rect.sourceX + rect.width - 1;
  const int y2 = rect.sourceY + rect.height - 1;
  requireRect(screen, rect.sourceX, rect.sourceY, x2, y2);
  const int destX2 = rect.destX + rect.width - 1;
  const int destY2 = rect.destY + rect.height - 1;
  if (destX2 >= kDisplayWidth || destY2 >= kDisplayHeight) throw SErrorPoint(offset(), destX2, destY2);
}

void SProcessWRD::addScreen(int id, SVirtualScreen screen) {
  switch (screens_.adopt(id, std::move(screen))) {
    case SScreens::Result::kTaken:
      throw SErrorScreen(offset(), "Already virtual screen alocated", id);
    case SScreens::Result::kTooLarge:
      throw SErrorScreen(offset(), "Cannot allocate virtual screen", id);
    case SScreens::Result::kCreated:
      return;
  }
}

void SProcessWRD::onStartTiming(std::size_t) {
  state_ = State::kTiming;
}

void SProcessWRD::onNewPalettes(std::size_t bytes) {
  for (std::size_t i = 0; i < bytes / 2; ++i) {
    const int id = readId();
    if (!palettes_.create(id)) throw SErrorPalette(offset(), "Already palette alocated", id);
  }
}

void SProcessWRD::onDeletePalettes(std::size_t bytes) {
  for (std::size_t i = 0; i < bytes / 2; ++i) {
    const int id = readId();
    if (!palettes_.remove(id)) throw SErrorPalette(offset(), "This palette is not alocated or already deleted", id);
  }
}

void SProcessWRD::onNewScreens(std::size_t bytes) {
  for (std::size_t i = 0; i < bytes / 7; ++i) {
    const int id = readId();
    const int width = stream_.readU16();
    const int height = stream_.readU16();
    const std::uint8_t fill = stream_.readU8();
    switch (screens_.create(id, width, height, fill)) {
      case SScreens::Result::kTaken:
        throw SErrorScreen(offset(), "Already virtual screen alocated", id);
      case SScreens::Result::kTooLarge:
        throw SErrorScreen(offset(), "Cannot allocate virtual screen", id);
      case SScreens::Result::kCreated:
        break;
    }
  }
}

void SProcessWRD::onDeleteScreens(std::size_t bytes) {
  for (std::size_t i = 0; i < bytes / 2; ++i) {
    const int id = readId();
    if (!screens_.remove(id)) throw SErrorScreen(offset(), "This screen is not alocated or already deleted", id);
  }
}

void SProcessWRD::onLoadGif(std::size_t bytes) {
  const int screenId = readId();
  const int paletteId = readId();
  const std::string name = textUpToZero(stream_.readBytes(bytes > 4 ? bytes - 4 : 0));
  if (screens_.find(screenId) != nullptr) throw SErrorScreen(offset(), "Already virtual screen alocated", screenId);
  SPalette& palette = existingPalette(paletteId);
  image::GifImage picture;
  const std::filesystem::path path = picturePath(directory_, name);
  if (!image::loadGif(path, picture)) {
    std::error_code error;
    const char* cause = std::filesystem::exists(path, error) ? "not a readable GIF picture" : "no such file";
    throw SErrorInput(offset(), "Cannot open GIF file '" + name + "': " + cause);
  }
  SVirtualScreen screen;
  screen.width = picture.width;
  screen.height = picture.height;
  // The transparent colour, when the picture has one, is what transparent copies leave out.
  screen.fill = static_cast<std::uint8_t>(std::max(picture.transparentIndex, 0));
  screen.pixels = std::move(picture.pixels);
  addScreen(screenId, std::move(screen));
  std::transform(picture.palette.begin(), picture.palette.end(), palette.begin(), [](const image::GifColour& c) {
    return SColour{c.red, c.green, c.blue};
  });
}

void SProcessWRD::onShowPalette(std::size_t) {
  const int id = readId();
  existingPalette(id);
  shownPalette_ = id;
}

void SProcessWRD::onShowScreen(std::size_t) {
  const int id = readId();
  SShownRect rect;
  rect.sourceX = stream_.readU16();
  rect.sourceY = stream_.readU16();
  rect.width = kDisplayWidth;
  rect.height = kDisplayHeight;
  requireShown(existingScreen(id), rect);
  pending_.push_back({id, rect});
}

void SProcessWRD::onShowRect(std::size_t) {
  const int id = readId();
  SShownRect rect;
  rect.sourceX = stream_.readU16();
  rect.sourceY = stream_.readU16();
  rect.destX = stream_.readU16();
  rect.destY = stream_.readU16();
  rect.width = stream_.readU16();
  rect.height = stream_.readU16();
  const SVirtualScreen& screen = existingScreen(id);
  if (rect.width == 0 || rect.height == 0) return;  // nothing to show, so nothing out of place
  requireShown(screen, rect);
  pending_.push_back({id, rect});
}

void SProcessWRD::onSetColours(std::size_t bytes) {
  SPalette& palette = paletteParam();
  for (std::size_t i = 0; i < (bytes > 2 ? bytes - 2 : 0) / 4; ++i) {
    const auto entry = stream_.readBytes(4);
    palette[entry[0]] = SColour{entry[1], entry[2], entry[3]};
  }
}

void SProcessWRD::onBlend(std::size_t) {
  // Copies, so that a destination that is also a source blends from the old colours.
  const SPalette first = paletteParam();
  const SPalette second = paletteParam();
  SPalette& dest = paletteParam();
  const auto p = stream_.readBytes(7);
  const int mask1 = blendMask(p[1], p[2]);
  const int mask2 = blendMask(p[4], p[5]);
  const int shift1 = std::min<int>(p[0], 31);
  const int shift2 = std::min<int>(p[3], 31);
  const int percent = std::min<int>(p[6], 100);
  for (int i = 0; i < 256; ++i) {
    if ((i & (mask1 | mask2)) == 0) continue;
    const SColour& a = first[static_cast<std::size_t>((mask1 >> shift1) & i)];
    const SColour& b = second[static_cast<std::size_t>((mask2 >> shift2) & i)];
    dest[static_cast<std::size_t>(i)] =
        SColour{blendComponent(a.red, b.red, percent), blendComponent(a.green, b.green, percent),
                blendComponent(a.blue, b.blue, percent)};
  }
}

void SProcessWRD::onCopyPalette(std::size_t) {
  const SPalette& source = paletteParam();
  paletteParam() = source;
}

void SProcessWRD::onCopyPaletteEntries(std::size_t) {
  const SPalette source = paletteParam();
  SPalette& dest = paletteParam();
  const auto bits = stream_.readBytes(32);
  for (std::size_t i = 0; i < dest.size(); ++i) {
    if ((bits[i / 8] >> (i % 8)) & 1) dest[i] = source[i];
  }
}

void SProcessWRD::onText(std::size_t bytes) {
  SVirtualScreen& screen = screenParam();
  const std::uint8_t mask = stream_.readU8();
  const std::uint8_t colour = stream_.readU8();
  const int x = stream_.readU16();
  const int y = stream_.readU16();
  const std::string text = textUpToZero(stream_.readBytes(bytes > 8 ? bytes - 8 : 0));
  requirePoint(screen, x, y);
  if (text.empty()) return;
  // The last pixel of the text must fit, not the one after it.
  requirePoint(screen, x + kNarrowWidth * static_cast<int>(text.size()) - 1, y + kGlyphHeight - 1);
  int column = x;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<std::uint8_t>(text[i]);
    if (!isShiftJisLead(byte)) {
      drawGlyph(screen, column, y, screen_.singleByteGlyph(byte), kNarrowWidth, mask, colour);
      column += kNarrowWidth;
      continue;
    }
    if (i + 1 == text.size()) throw SErrorTextInput(offset(), "Incomplete double-byte character");
    const auto code = static_cast<std::uint16_t>(byte << 8 | static_cast<std::uint8_t>(text[++i]));
    drawGlyph(screen, column, y, screen_.doubleByteGlyph(code), kWideWidth, mask, colour);
    column += kWideWidth;
  }
}

SProcessWRD::Stroke SProcessWRD::readStroke(int coordinates) {
  Stroke stroke{&screenParam(), {}, {}};
  stroke.pen.mask = stream_.readU8();
  for (int i = 0; i < coordinates; ++i)
    stroke.at[static_cast<std::size_t>(i)] = stream_.readU16();
  stroke.pen.colour = stream_.readU8();
  return stroke;
}

void SProcessWRD::requireEnds(const Stroke& stroke, int x1, int y1, int x2, int y2) const {
  requirePoint(*stroke.screen, x1, y1);
  requirePoint(*stroke.screen, x2, y2);
}

void SProcessWRD::onBox(std::size_t) {
  const Stroke s = readStroke(4);
  const auto [x1, y1, x2, y2] = s.at;
  requireRect(*s.screen, std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
  drawFilledBox(*s.screen, x1, y1, x2, y2, s.pen);
}

void SProcessWRD::onVertical(std::size_t) {
  const Stroke s = readStroke(3);
  requireEnds(s, s.at[0], s.at[1], s.at[0], s.at[2]);
  drawVertical(*s.screen, s.at[0], s.at[1], s.at[2], s.pen);
}

void SProcessWRD::onHorizontal(std::size_t) {
  const Stroke s = readStroke(3);
  requireEnds(s, s.at[0], s.at[2], s.at[1], s.at[2]);
  drawHorizontal(*s.screen, s.at[0], s.at[1], s.at[2], s.pen);
}

void SProcessWRD::onLine(std::size_t) {
  const Stroke s = readStroke(4);
  requireEnds(s, s.at[0], s.at[1], s.at[2], s.at[3]);
  drawLine(*s.screen, s.at[0], s.at[1], s.at[2], s.at[3], s.pen);
}

void SProcessWRD::onCopy(std::size_t) {
  copyEvent(false, false);
}
void SProcessWRD::onCopyTransparent(std::size_t) {
  copyEvent(true, false);
}
void SProcessWRD::onCopyPattern(std::size_t) {
  copyEvent(true, true);
}

void SProcessWRD::copyEvent(bool skipFill, bool withPattern) {
  const SVirtualScreen& source = screenParam();
  SVirtualScreen& dest = screenParam();
  SCopyRule rule;
  rule.skipFill = skipFill;
  rule.mask = stream_.readU8();
  const int x1 = stream_.readU16();
  const int y1 = stream_.readU16();
  const int x2 = stream_.readU16();
  const int y2 = stream_.readU16();
  const int dx = stream_.readU16();
  const int dy = stream_.readU16();
  if (withPattern) {
    rule.patterned = true;
    rule.patternWidth = stream_.readU16();
    rule.patternHeight = stream_.readU16();
    rule.pattern = stream_.readBytes(static_cast<std::size_t>(rule.patternWidth) * rule.patternHeight);
  }
  requireRect(source, x1, y1, x2, y2);
  requireRect(dest, dx, dy, dx + x2 - x1, dy + y2 - y1);
  copyArea(source, dest, x1, y1, x2, y2, dx, dy, rule);
}

}  // namespace volta::wrd::sherry
