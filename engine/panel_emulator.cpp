#include "engine/panel_emulator.h"

#include <algorithm>
#include <cstring>

namespace volta::engine {
namespace {

constexpr int kTextWidth = 16;
constexpr std::size_t kMaxScrollText = 256;
constexpr std::uint32_t kTextBlock = 0x100000;
constexpr std::uint32_t kShowPage = 0x102000;
constexpr std::uint32_t kDotTime = 0x102001;
// A display time from the song counts in steps of 0.48 s, the unit of the default.
constexpr std::int32_t kDotTimeUnitMs = 480;
constexpr int kBytesPerPage = 0x40;
constexpr int kDotsPerByte = 5;

char printable(std::uint8_t c) {
  return c < 0x20 || c == 0x7F ? ' ' : static_cast<char>(c);
}

}  // namespace

void PanelEmulator::reset(bool meterRow) {
  std::memcpy(saved_.data(), kSavedText, sizeof kSavedText);
  setTextLine(saved_.data());
  message_.fill(0);
  auto& standing = pages_[0];
  standing.fill(0);
  auto light = [&standing](int row) { std::fill_n(standing.begin() + row * 16, 16, 1); };
  light(15);
  if (meterRow) light(7);
  std::copy(standing.begin(), standing.end(), image_->dots);
  image_->dotShown = 0;
  dotTimer_ = 0;
  messageTimer_ = 0;
  scrollPosition_ = 0;
  dotDisplayTime_ = kDefaultDotTime;
}

void PanelEmulator::display(std::uint32_t address, const std::uint8_t* data, std::size_t count) {
  const int block = (address >> 8) & 0xFF;
  if ((address & 0xFFFF00) == kTextBlock) {
    showText(data, count);
  } else if (address == kShowPage && (count == 1 || count == 2)) {
    if (count == 2) dotDisplayTime_ = data[1] * kDotTimeUnitMs;
    showPage(data[0]);
  } else if (address == kDotTime && count >= 1) {
    dotDisplayTime_ = data[0] * kDotTimeUnitMs;
  } else if ((address & 0xFF0000) == kTextBlock && block >= 1 && block <= kPages / 2) {
    writeDots(block, address & 0xFF, data, count);
  }
}

void PanelEmulator::setPatchNameCharacter(int position, std::uint8_t character) {
  if (position < 0 || position >= kTextWidth) return;
  saved_[position] = printable(character);
  if (scrollPosition_ == 0) image_->text[position] = saved_[position];
}

void PanelEmulator::clock(std::int32_t elapsedMs) {
  if (dotTimer_ > 0) {
    dotTimer_ -= elapsedMs;
    if (dotTimer_ <= 0) {
      dotTimer_ = 0;
      image_->dotShown = 0;
    }
  }
  if (messageTimer_ > 0 && scrollPosition_ != 0) {
    messageTimer_ -= elapsedMs;
    if (messageTimer_ <= 0) scrollStep();
  }
}

void PanelEmulator::showText(const std::uint8_t* data, std::size_t count) {
  const std::size_t length = std::min(count, kMaxScrollText);
  auto out = message_.begin();
  if (count <= static_cast<std::size_t>(kTextWidth)) {
    out = std::fill_n(out, std::max<int>(0, (kTextWidth - 1 - static_cast<int>(count)) / 2), ' ');
    out = std::transform(data, data + length, out, printable);
    out = std::fill_n(out, kTextWidth - (out - message_.begin()), ' ');
    messageTimer_ = kMessageTimeMs;
    scrollPosition_ = -1;
  } else {
    out = std::copy_n(saved_.begin(), kTextWidth, out);
    *out++ = '<';
    out = std::transform(data, data + length, out, printable);
    *out++ = '<';
    out = std::copy_n(saved_.begin(), kTextWidth, out);
    messageTimer_ = kScrollStepMs;
    scrollPosition_ = kTextWidth;
  }
  std::fill(out, message_.end(), '\0');
  setTextLine(message_.data());
}

void PanelEmulator::showPage(int page) {
  if (page < 0 || page >= kPages) return;
  std::copy(pages_[page].begin(), pages_[page].end(), image_->dots);
  dotTimer_ = dotDisplayTime_;
  image_->dotShown = 1;
}

// Each byte carries five dots of one row; 64 bytes fill a page, the next 64 the
// block's second page.
void PanelEmulator::writeDots(int block, int offset, const std::uint8_t* data, std::size_t count) {
  const int firstPage = 2 * block - 2;
  const int end =
      std::min<int>(offset + static_cast<int>(std::min<std::size_t>(count, kBytesPerPage)), 2 * kBytesPerPage);
  bool standingChanged = false;
  for (int z = offset; z < end; ++z) {
    const int page = firstPage + z / kBytesPerPage;
    const int within = z % kBytesPerPage;
    const int row = within & 0x0F, firstColumn = (within >> 4) * kDotsPerByte;
    for (int bit = 0; bit < kDotsPerByte && firstColumn + bit < kTextWidth; ++bit) {
      pages_[page][row * 16 + firstColumn + bit] = (data[z - offset] >> (kDotsPerByte - 1 - bit)) & 1;
    }
    standingChanged |= page == 0;
  }
  if (standingChanged) showPage(0);
}

void PanelEmulator::setTextLine(const char* text) {
  std::memcpy(image_->text, text, kTextWidth);
}

void PanelEmulator::scrollStep() {
  messageTimer_ = 0;
  if (scrollPosition_ == -1) {
    setTextLine(saved_.data());
    scrollPosition_ = 0;
  } else if (message_[scrollPosition_] == '\0') {
    scrollPosition_ = 0;
  } else {
    std::memmove(image_->text, image_->text + 1, kTextWidth - 1);
    image_->text[kTextWidth - 1] = message_[scrollPosition_++];
    messageTimer_ = kScrollStepMs;
  }
}

}  // namespace volta::engine
