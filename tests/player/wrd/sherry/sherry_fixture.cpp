#include "tests/player/wrd/sherry/sherry_fixture.h"

#include <cstdio>
#include <stdexcept>

namespace volta::wrd::sherry::test {
namespace {

std::string repeat(const std::string& text, int count) {
  std::string out;
  for (int i = 0; i < count; ++i)
    out += text;
  return out;
}

}  // namespace

std::shared_ptr<const UnifontFace> sherryTestFace() {
  static const auto face = UnifontFace::parse("0041:FF" + repeat("00", 15) + "\n3042:" + repeat("8000", 16) + "\n");
  return face;
}

SherryTest::SherryTest() : display(sherryTestFace()), processor(display) {
  processor.setErrorHook([this](std::string_view message) { errors.emplace_back(message); });
}

bool SherryTest::load(const SherryWriter& writer) {
  return processor.openBuffer(writer.bytes(), directory) && processor.reset();
}

std::string SherryTest::errorAfter(const SherryWriter& writer, std::int64_t time) {
  if (load(writer)) processor.process(time);
  EXPECT_EQ(processor.state(), SProcessWRD::State::kEnded);
  return processor.lastError();
}

SVirtualScreen& SherryTest::screen(int id) {
  SVirtualScreen* found = processor.screens().find(id);
  if (found == nullptr) throw std::runtime_error("no screen " + std::to_string(id));
  return *found;
}

SPalette& SherryTest::palette(int id) {
  SPalette* found = processor.palettes().find(id);
  if (found == nullptr) throw std::runtime_error("no palette " + std::to_string(id));
  return *found;
}

SherryWriter withScreen(int width, int height, int fill) {
  SherryWriter writer;
  writer.event(0x21, ids({1})).event(0x25, newScreen(1, width, height, fill));
  return writer;
}

std::size_t nextEventOffset(const SherryWriter& writer) {
  return writer.bytes().size();
}

std::string hex8(std::size_t offset) {
  char text[16];
  std::snprintf(text, sizeof text, "%08zX", offset);
  return text;
}

}  // namespace volta::wrd::sherry::test
