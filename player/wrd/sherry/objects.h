#pragma once
// The numbered objects of a Sherry script: palettes of 256 colours and virtual screens of
// one palette index per pixel, each kept in a table by its id.

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace volta::wrd::sherry {

struct SColour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const SColour&) const = default;
};

using SPalette = std::array<SColour, 256>;

// width x height bytes, rows top-down, and the colour the screen was filled with.
struct SVirtualScreen {
  int width = 0;
  int height = 0;
  std::uint8_t fill = 0;
  std::vector<std::uint8_t> pixels;

  bool contains(int x, int y) const { return x >= 0 && x < width && y >= 0 && y < height; }
  std::uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width); }
  const std::uint8_t* row(int y) const {
    return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
  }
  std::uint8_t at(int x, int y) const { return row(y)[x]; }
};

class SPalettes {
 public:
  // False when the id is taken.
  bool create(int id);
  // False when the id is free.
  bool remove(int id);
  SPalette* find(int id);
  void clear() { table_.clear(); }
  std::size_t count() const { return table_.size(); }

 private:
  std::map<int, std::unique_ptr<SPalette>> table_;
};

class SScreens {
 public:
  enum class Result { kCreated, kTaken, kTooLarge };

  // Scripts cannot be trusted with memory: all screens together hold at most this many pixels.
  static constexpr std::size_t kDefaultPixelBudget = std::size_t{64} << 20;

  void setPixelBudget(std::size_t pixels) { budget_ = pixels; }
  bool fits(int width, int height) const;
  Result create(int id, int width, int height, std::uint8_t fill);
  // Takes over a screen built elsewhere (a picture); same results as create.
  Result adopt(int id, SVirtualScreen screen);
  bool remove(int id);
  SVirtualScreen* find(int id);
  void clear();
  std::size_t count() const { return table_.size(); }

 private:
  std::map<int, std::unique_ptr<SVirtualScreen>> table_;
  std::size_t budget_ = kDefaultPixelBudget;
  std::size_t used_ = 0;
};

}  // namespace volta::wrd::sherry
