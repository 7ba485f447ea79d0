#pragma once
// The Sherry processor: runs the timed events of a ".sry" script against virtual screens and
// palettes and shows the result through an SVScreen.
//
// A fault in the script raises an SError inside; the processor catches it at its top, keeps
// the message, tells the error hook and ends the script. Nothing is thrown to callers.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "player/wrd/sherry/binary_stream.h"
#include "player/wrd/sherry/drawing.h"
#include "player/wrd/sherry/objects.h"
#include "player/wrd/sherry/sherry_errors.h"
#include "player/wrd/sherry/vscreen.h"

namespace volta::wrd::sherry {

// The script time of a song position: absolute tick x file timebase / (song timebase x 4).
// Without a file or song timebase the script time is the song tick itself.
std::int64_t sherryTime(std::int64_t absoluteTick, int fileTimebase, int songTimebase);

class SProcessWRD {
 public:
  enum class State { kClosed = 0, kOpened = 1, kInitialising = 2, kTiming = 3, kEnded = 4 };

  explicit SProcessWRD(SVScreen& screen);

  // Reads the whole file and checks its header; the GIF pictures it names are looked for in its
  // folder. False (closed) when the file cannot be read or is not a Sherry script.
  bool openFile(const std::filesystem::path& path);
  // The same for bytes already in memory; pictures are looked for in `directory`.
  bool openBuffer(std::vector<std::uint8_t> bytes, const std::filesystem::path& directory);

  // Back to the start: header read again, every object released, the events before the start
  // of timing run. The song timebase (ticks per quarter) is kept for processTick; 0 keeps
  // the one given before. False when the script ended in an error.
  bool reset(int songTimebase = 0);

  // Runs the events due up to script time `time`. False right after the end event; true when
  // waiting, when nothing is loaded, and once the script has ended.
  bool process(std::int64_t time);
  // process() at the script time of an absolute song tick.
  bool processTick(std::int64_t absoluteTick);

  State state() const { return state_; }
  std::int64_t currentTime() const { return currentTime_; }
  int fileTimebase() const { return fileTimebase_; }
  const std::filesystem::path& directory() const { return directory_; }

  // The message of the error that ended the script, empty when none did.
  const std::string& lastError() const { return lastError_; }
  void setErrorHook(std::function<void(std::string_view)> hook) { errorHook_ = std::move(hook); }

  // Upper bound for the pixels of all virtual screens together.
  void setScreenBudget(std::size_t pixels) { screens_.setPixelBudget(pixels); }

  SPalettes& palettes() { return palettes_; }
  SScreens& screens() { return screens_; }

 private:
  struct PendingRect {
    int screen = 0;
    SShownRect rect;
  };
  struct EventStart {
    std::size_t end = 0;  // where the next record starts
    std::size_t parameterBytes = 0;
    int code = 0;
  };
  using Handler = void (SProcessWRD::*)(std::size_t parameterBytes);

  template <typename Action>
  bool guarded(Action action);
  void fail(const SError& error);

  void checkHeader();
  void readHeaderEvents();
  bool run(std::int64_t time);
  EventStart beginEvent();
  bool executeEvent();
  void flush();
  void releaseAll();

  std::uint32_t offset() const { return stream_.recordOffset(); }
  int readId() { return stream_.readU16(); }
  SPalette& paletteParam();
  SPalette& existingPalette(int id);
  SVirtualScreen& screenParam();
  SVirtualScreen& existingScreen(int id);
  void requirePoint(const SVirtualScreen& screen, int x, int y) const;
  void requireRect(const SVirtualScreen& screen, int x1, int y1, int x2, int y2) const;
  void requireShown(const SVirtualScreen& screen, const SShownRect& rect) const;
  void addScreen(int id, SVirtualScreen screen);

  // The parameters of lines and boxes: screen, mask, up to four coordinates, colour.
  struct Stroke {
    SVirtualScreen* screen = nullptr;
    SPen pen;
    std::array<int, 4> at{};
  };
  Stroke readStroke(int coordinates);
  void requireEnds(const Stroke& stroke, int x1, int y1, int x2, int y2) const;

  void onStartTiming(std::size_t);
  void onNewPalettes(std::size_t bytes);
  void onDeletePalettes(std::size_t bytes);
  void onNewScreens(std::size_t bytes);
  void onDeleteScreens(std::size_t bytes);
  void onLoadGif(std::size_t bytes);
  void onShowPalette(std::size_t);
  void onShowScreen(std::size_t);
  void onShowRect(std::size_t);
  void onSetColours(std::size_t bytes);
  void onBlend(std::size_t);
  void onCopyPalette(std::size_t);
  void onCopyPaletteEntries(std::size_t);
  void onText(std::size_t bytes);
  void onBox(std::size_t);
  void onVertical(std::size_t);
  void onHorizontal(std::size_t);
  void onLine(std::size_t);
  void onCopy(std::size_t);
  void onCopyTransparent(std::size_t);
  void onCopyPattern(std::size_t);
  void onNothing(std::size_t) {}
  void copyEvent(bool skipFill, bool withPattern);
  static Handler handlerFor(int code);

  SVScreen& screen_;
  SBinaryStream stream_;
  SPalettes palettes_;
  SScreens screens_;
  State state_ = State::kClosed;
  std::int64_t currentTime_ = 0;
  int fileTimebase_ = 0;
  int songTimebase_ = 0;
  std::optional<int> shownPalette_;
  std::vector<PendingRect> pending_;
  std::filesystem::path directory_;
  std::string lastError_;
  std::function<void(std::string_view)> errorHook_;
};

}  // namespace volta::wrd::sherry
