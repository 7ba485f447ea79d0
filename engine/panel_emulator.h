#pragma once
// The emulated front panel of a sound module: a 16-character text line that shows,
// centres or scrolls the texts a song sends, and a 16 x 16 dot image with ten dot
// pages that a song fills and shows for a while.

#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/protocol/records.h"

namespace volta::engine {

class PanelEmulator {
 public:
  static constexpr char kSavedText[] = "- VOLTA Canvas -";
  static constexpr int kPages = 10;
  static constexpr std::int32_t kDefaultDotTime = 2880;
  static constexpr std::int32_t kScrollStepMs = 300;
  static constexpr std::int32_t kMessageTimeMs = 3000;

  explicit PanelEmulator(protocol::PanelImage* image) : image_(image) {}

  // The standing panel: saved text, a clear dot image with its bottom row lit and,
  // when meterRow, the middle row as the meter's base line.
  void reset(bool meterRow);
  // A display data set of the module (address 10 xx xx) with its data bytes.
  void display(std::uint32_t address, const std::uint8_t* data, std::size_t count);
  // One character of the part's patch name, which becomes the standing text.
  void setPatchNameCharacter(int position, std::uint8_t character);
  // Advances the dot and message timers.
  void clock(std::int32_t elapsedMs);

 private:
  void showText(const std::uint8_t* data, std::size_t count);
  void showPage(int page);
  void writeDots(int block, int offset, const std::uint8_t* data, std::size_t count);
  void setTextLine(const char* text);
  void scrollStep();

  protocol::PanelImage* image_;
  std::array<std::array<std::uint8_t, 256>, kPages> pages_{};
  // Saved text, "<", up to 256 characters, "<", saved text, terminator.
  std::array<char, 303> message_{};
  std::array<char, 17> saved_{};
  std::int32_t dotTimer_ = 0;
  std::int32_t dotDisplayTime_ = kDefaultDotTime;
  std::int32_t messageTimer_ = 0;
  // Index of the next character to scroll in; -1 = restore the saved text; 0 = idle.
  std::int32_t scrollPosition_ = 0;
};

}  // namespace volta::engine
