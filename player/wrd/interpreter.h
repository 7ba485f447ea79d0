#pragma once
// The WRD script interpreter: walks a script of timed text and graphics commands in step with
// the song and draws on the WRD screen. It keeps its own place in the song (measure and tick)
// and moves it only at wait points, so the screen follows the music even when it is called
// late or after a jump.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "player/wrd/debug_log.h"
#include "player/wrd/glyphs.h"
#include "player/wrd/image/indexed_image.h"
#include "player/wrd/screen.h"
#include "player/wrd/script_buffer.h"
#include "player/wrd/script_reader.h"
#include "player/wrd/text_writer.h"

namespace volta::wrd {

// The start tick of every measure of the song (entry 0 is measure 1); may be empty.
using MeasureTable = std::span<const std::uint32_t>;

// Where the song is, as the player hands it over on every display tick.
struct SongPosition {
  int measure = 0;  // 0-based
  int beat = 0;     // not used by WRD scripts
  int tickInMeasure = 0;
  std::uint32_t absoluteTick = 0;
  // Read again during long drawing so palette fades keep time; null: `absoluteTick`.
  const std::uint32_t* liveTick = nullptr;
};

enum class WaitState { kNone = 0, kEnd = 1, kMeasure = 2, kTick = 3 };

inline constexpr int kCharacterMode = 1;
inline constexpr std::string_view kVersionText = "Version 2.3 rel.11";

// Turns the bytes of a DV script into WRD text; nothing when the conversion fails.
using DvConverter = std::function<std::optional<std::vector<char>>(std::span<const char>)>;

class WrdInterpreter {
 public:
  struct State {
    bool loaded = false;
    bool nextLineIsText = true;
    WaitState waitState = WaitState::kNone;
    int waitTarget = 0;  // Measure: 0-based measure; Tick: absolute tick
    int waitStep = 0;    // Measure: ticks after the start of the target measure
    bool waitInForce = true;
    bool startupSection = false;
    int wrdMeasure = 0;
    int wrdTick = 0;
    int tickInMeasure = 0;
    int timebase = 1;
    int offset = 0;
    int startupValue = 0;
    int lineStep = 0;
    int pendingLineStep = -1;
    int lineMode = 0;
    bool quirkFlag = false;
    int fadeSource = 0;
    int fadeTarget = 0;
    int fadeSpeed = 0;
    int nextFadeTick = 0;
  };

  // `face` draws the text; null leaves text cells blank.
  explicit WrdInterpreter(std::shared_ptr<const UnifontFace> face = nullptr);
  WrdInterpreter(const WrdInterpreter&) = delete;
  WrdInterpreter& operator=(const WrdInterpreter&) = delete;

  // Loads a script: a path (false when it cannot be read or converted, or names a Sherry
  // script, which belongs to the Sherry processor), or nothing for the built-in script.
  bool openFile(const std::optional<std::filesystem::path>& path, std::string_view title, std::string_view memo,
                MeasureTable measureTable);
  // Loads script text that is already in memory (a converted DV script); `path` names it.
  bool openText(std::span<const char> text, const std::filesystem::path& path, std::string_view title,
                std::string_view memo, MeasureTable measureTable);
  void reset(int timebase);
  // One display tick: true when the script waits (nothing more to do now), false when it
  // executed something and may be called again.
  bool process(bool noDisplay, const SongPosition& position);

  // Settings and surroundings.
  void setHighSpeed(bool on) { highSpeed_ = on; }
  void setProgramDirectory(const std::filesystem::path& directory) { programDirectory_ = directory; }
  void setKanaFontPath(const std::filesystem::path& path) { writer_.setKanaFontPath(path); }
  void setDvConverter(DvConverter converter) { dvConverter_ = std::move(converter); }
  void setRepaint(std::function<void()> repaint) { repaint_ = std::move(repaint); }
  // Starts the log afresh (truncated); an empty path turns it off.
  void startDebugLog(const std::filesystem::path& path);
  // The window's own hooks (invalidate, pushPalette) go into screen().hooks(); the log and
  // fade hooks there belong to the interpreter.
  Screen& screen() { return screen_; }
  const Screen& screen() const { return screen_; }
  TextWriter& writer() { return writer_; }
  GlyphRenderer& glyphs() { return glyphs_; }
  const State& state() const { return state_; }
  std::size_t cursor() const { return reader_.position(); }
  // Where the step being executed began, for showing the script's current step.
  std::size_t commandStart() const { return commandStart_; }
  const ScriptBuffer& script() const { return script_; }
  // Ends a silent catch-up: the whole screen is recomposed and pushed.
  void present();

 private:
  using Command = bool (WrdInterpreter::*)();
  struct CommandEntry {
    std::string_view keyword;
    Command run;
  };
  static const std::vector<CommandEntry>& commandTable();

  bool load(std::span<const char> text, const std::filesystem::path& path, std::string_view title,
            std::string_view memo, MeasureTable measureTable);
  void loadCompanionPicture();
  void copyBuiltInPicture();

  // Process and its waits.
  bool step();
  void setSuppressed(bool noDisplay);
  // Elements are pushed to the window one by one unless catching up or in high speed.
  bool repaintEachElement() const { return !screen_.state().updatesSuppressed && !highSpeed_; }
  bool stillWaiting() const;
  bool completeWait();
  void waitTickCounter();
  bool waitMeasure();
  void armDefaultWait();
  void armLineWait(int step);
  void endStartupSection();
  void finishScript();
  void logPosition();
  std::uint32_t songTick() const;
  std::uint32_t measureStart(long long measure) const;
  int ticksOf(long long units, int perQuarter) const;
  int logUnits(long long ticks) const;
  void flush() { screen_.flushScreen(1); }
  // Bank 0 to the window at once, unless catching up (the next flush pushes it then).
  void pushPaletteNow();
  void repaintNow();
  void advanceFade();

  // Line elements.
  bool commandElement();
  bool lineEndWait(bool semicolon);
  bool unknownElement();
  bool scriptEnds();
  bool textElement();
  bool pauseMark();
  bool textRun();
  void tabStop();
  void newLine();
  void takeLineEnd(bool lineEndToo);
  void takePendingStep();

  // Commands.
  bool cmdStartup();
  bool cmdWmode();
  bool cmdGmode();
  bool cmdWait();
  bool cmdOffset();
  bool cmdRest();
  bool cmdLocate();
  bool cmdTon();
  bool cmdColor();
  bool cmdGcls();
  bool cmdGinit();
  bool cmdGscreen();
  bool cmdGon();
  bool cmdGline();
  bool cmdPal();
  bool cmdPalchg();
  bool cmdEsc();
  bool cmdExec();
  bool cmdPath();
  bool cmdInkey();
  bool cmdLoop();
  bool cmdStop();
  bool cmdEnd();
  bool cmdPload();
  bool cmdMag();
  bool cmdRem();
  bool cmdTcls();
  bool cmdGcircle();
  bool cmdGmove();
  bool cmdPalrev();
  bool cmdScroll();
  bool cmdFade();
  bool cmdDtitle();
  bool cmdDmemo();
  bool cmdDver();
  bool ignoreString(const char* logLine);
  void setGraphicsOn(int value);
  void execFonts(std::string_view commandLine);
  void execMag(std::string_view commandLine);
  void showPictureRect(int x, int y, int width, int height);
  int defaultPlaneMask() const;

  // "^" commands inside text.
  std::size_t caretCommand(std::string_view text);
  void caretXcopy(ScriptReader& r);
  void caretVcopy(ScriptReader& r);
  void caretFontr(ScriptReader& r);
  void caretFontp(ScriptReader& r);

  Screen screen_;
  GlyphRenderer glyphs_;
  TextWriter writer_;
  DebugLog log_;
  State state_;
  ScriptBuffer script_;
  ScriptReader reader_;
  std::size_t commandStart_ = 0;
  MeasureTable measureTable_;
  SongPosition position_;
  std::string title_;
  std::string memo_;
  std::filesystem::path wrdDirectory_;
  std::string wrdFileName_;
  std::filesystem::path programDirectory_;
  std::optional<image::IndexedImage> builtInPicture_;
  DvConverter dvConverter_;
  std::function<void()> repaint_;
  bool highSpeed_ = false;
  bool hasScript_ = false;
};

}  // namespace volta::wrd
