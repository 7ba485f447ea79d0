#pragma once
// Writer of Sherry script files for the tests and the fuzz seeds.

#include <cstdint>
#include <string>
#include <vector>

namespace volta::wrd::sherry::test {

using Bytes = std::vector<std::uint8_t>;

// Parameter bytes of one event, little-endian.
struct Params {
  Bytes bytes;
  Params& u8(int value);
  Params& u16(int value);
  Params& text(const std::string& value);
  Params& raw(const Bytes& value);
};

// A variable-length number (up to three bytes of seven bits, most significant first).
Bytes varNumber(std::uint32_t value);
// Length, code and parameters of one event.
Bytes encodeEvent(int code, const Params& params);

class SherryWriter {
 public:
  // A header with a timebase event when `timebase` is not negative.
  explicit SherryWriter(int timebase = 480);

  SherryWriter& version(std::uint32_t value);
  SherryWriter& headerEvent(int code, const Params& params = {});
  // A body event; its delta time is 0 until wait() sets it.
  SherryWriter& event(int code, const Params& params = {});
  // Raw bytes standing for a whole event (odd lengths and the like).
  SherryWriter& rawEvent(const Bytes& bytes);
  SherryWriter& wait(std::uint32_t delta);
  SherryWriter& startTiming() { return event(0x01); }
  SherryWriter& end() { return event(0x00); }
  // Timing starts and the script ends one unit later, so that what the events before made is
  // still there after a reset.
  SherryWriter& hold() { return startTiming().wait(1).end(); }

  Bytes bytes() const;

 private:
  struct Body {
    Bytes event;
    std::uint32_t delta = 0;
  };
  std::uint32_t version_ = 0;
  Bytes header_;
  std::vector<Body> body_;
};

// Common events.
Params ids(std::initializer_list<int> list);
Params newScreen(int id, int width, int height, int fill);
Params setColour(int palette, int index, int red, int green, int blue);
Params showRect(int screen, int sx, int sy, int dx, int dy, int width, int height);
Params box(int screen, int mask, int x1, int y1, int x2, int y2, int colour);
Params copy(int source, int dest, int mask, int x1, int y1, int x2, int y2, int dx, int dy);

}  // namespace volta::wrd::sherry::test
