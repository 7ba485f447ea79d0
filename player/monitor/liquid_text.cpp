#include "player/monitor/liquid_text.h"

namespace volta::monitor {
namespace {

template <typename Value>
bool assignChanged(Value& field, const Value& value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace

const LiquidText& LiquidTextModel::item(std::size_t index) const {
  static const LiquidText kNone;
  return index < items_.size() ? items_[index] : kNone;
}

bool LiquidTextModel::define(std::size_t index, const LiquidText& item) {
  if (index >= items_.size()) return false;
  items_[index] = item;
  return true;
}

bool LiquidTextModel::setText(std::size_t index, std::string_view text) {
  if (index >= items_.size() || items_[index].text == text) return false;
  items_[index].text = text;
  return true;
}

bool LiquidTextModel::setForeground(std::size_t index, int paletteIndex) {
  return index < items_.size() && assignChanged(items_[index].foreground, paletteIndex);
}

bool LiquidTextModel::setBackground(std::size_t index, int paletteIndex) {
  return index < items_.size() && assignChanged(items_[index].background, paletteIndex);
}

}  // namespace volta::monitor
