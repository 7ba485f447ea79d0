#include "player/wrd/sherry/objects.h"

#include <algorithm>

namespace volta::wrd::sherry {
namespace {

std::size_t area(int width, int height) {
  return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

}  // namespace

bool SPalettes::create(int id) {
  return table_.emplace(id, std::make_unique<SPalette>()).second;
}

bool SPalettes::remove(int id) {
  return table_.erase(id) != 0;
}

SPalette* SPalettes::find(int id) {
  const auto it = table_.find(id);
  return it == table_.end() ? nullptr : it->second.get();
}

bool SScreens::fits(int width, int height) const {
  return width >= 0 && height >= 0 && area(width, height) <= budget_ - std::min(used_, budget_);
}

SScreens::Result SScreens::create(int id, int width, int height, std::uint8_t fill) {
  if (table_.contains(id)) return Result::kTaken;
  if (!fits(width, height)) return Result::kTooLarge;
  SVirtualScreen screen;
  screen.width = width;
  screen.height = height;
  screen.fill = fill;
  screen.pixels.assign(area(width, height), fill);
  return adopt(id, std::move(screen));
}

SScreens::Result SScreens::adopt(int id, SVirtualScreen screen) {
  if (table_.contains(id)) return Result::kTaken;
  if (!fits(screen.width, screen.height)) return Result::kTooLarge;
  used_ += area(screen.width, screen.height);
  table_.emplace(id, std::make_unique<SVirtualScreen>(std::move(screen)));
  return Result::kCreated;
}

bool SScreens::remove(int id) {
  const auto it = table_.find(id);
  if (it == table_.end()) return false;
  used_ -= area(it->second->width, it->second->height);
  table_.erase(it);
  return true;
}

SVirtualScreen* SScreens::find(int id) {
  const auto it = table_.find(id);
  return it == table_.end() ? nullptr : it->second.get();
}

void SScreens::clear() {
  table_.clear();
  used_ = 0;
}

}  // namespace volta::wrd::sherry
