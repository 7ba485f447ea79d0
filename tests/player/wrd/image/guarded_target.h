#pragma once
// A page for the decoder tests that fails the test on any write outside it.

#include <gtest/gtest.h>

#include "player/wrd/image/indexed_image.h"

namespace volta::wrd::image::test {

inline constexpr std::uint8_t kUntouched = 0xEE;

class GuardedTarget final : public ImageTarget {
 public:
  explicit GuardedTarget(int width = 640, int height = 480) : page_(width, height, kUntouched) {}
  int width() const override { return page_.width(); }
  int height() const override { return page_.height(); }
  void writeSpan(int x, int y, std::span<const std::uint8_t> pixels) override {
    const bool inside = x >= 0 && y >= 0 && y < height() && x + static_cast<long long>(pixels.size()) <= width();
    if (!inside) {
      ADD_FAILURE() << "write of " << pixels.size() << " pixels at (" << x << ", " << y << ") outside the page";
      return;
    }
    page_.writeSpan(x, y, pixels);
  }
  std::uint8_t at(int x, int y) const { return page_.image().at(x, y); }
  bool untouched() const {
    for (const std::uint8_t byte : page_.image().pixels) {
      if (byte != kUntouched) return false;
    }
    return true;
  }

 private:
  BufferTarget page_;
};

}  // namespace volta::wrd::image::test
