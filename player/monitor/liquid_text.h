#pragma once
// The text items of an LCD-style status panel. Every change reports whether it
// changed anything, so the view repaints only that item's rectangle, and only when
// the item really changed.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace volta::monitor {

struct PanelRect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  bool operator==(const PanelRect&) const = default;
};

// Kind 0 draws each character from the panel's digit bitmap; other kinds name the
// font of the text (see ItemFont).
struct LiquidText {
  int kind = 0;
  PanelRect rect;
  int foreground = 0;  // palette index
  int background = 0;
  std::string text;  // UTF-8
  bool centred = true;
};

class LiquidTextModel {
 public:
  explicit LiquidTextModel(std::size_t count) : items_(count) {}

  std::size_t size() const { return items_.size(); }
  // An index outside the panel reads as an empty item and changes nothing.
  const LiquidText& item(std::size_t index) const;

  // Each returns true when the item must be repainted; define always repaints.
  bool define(std::size_t index, const LiquidText& item);
  bool setText(std::size_t index, std::string_view text);
  bool setForeground(std::size_t index, int paletteIndex);
  bool setBackground(std::size_t index, int paletteIndex);

 private:
  std::vector<LiquidText> items_;
};

}  // namespace volta::monitor
