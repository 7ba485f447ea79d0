#include "player/core/dde/dde_wire.h"

#include <gtest/gtest.h>

namespace volta::dde {
namespace {

std::string frame(FrameType type, std::string_view payload) {
  return encodeFrame(type, payload).value();
}

TEST(DdeWire, HeaderIsLittleEndianLengthThenType) {
  EXPECT_EQ(frame(FrameType::Execute, "Stop"), std::string("\x04\0\0\0\x02Stop", 9));
  EXPECT_EQ(frame(FrameType::NoData, ""), std::string("\0\0\0\0\x85", 5));
  const std::string big = frame(FrameType::Data, std::string(0x1234, 'x'));
  EXPECT_EQ(big.substr(0, 5), std::string("\x34\x12\0\0\x84", 5));
}

TEST(DdeWire, FramesArriveWhateverTheSplit) {
  const std::string stream =
      frame(FrameType::Connect, "VOLTA") + frame(FrameType::Request, "GetCount") + frame(FrameType::Acknowledged, "");
  FrameDecoder decoder;
  for (const char byte : stream)
    ASSERT_TRUE(decoder.feed(std::string_view(&byte, 1)));
  EXPECT_EQ(decoder.next(), (Frame{FrameType::Connect, "VOLTA"}));
  EXPECT_EQ(decoder.next(), (Frame{FrameType::Request, "GetCount"}));
  EXPECT_EQ(decoder.next(), (Frame{FrameType::Acknowledged, ""}));
  EXPECT_FALSE(decoder.next().has_value());
  EXPECT_EQ(decoder.pending(), 0u);
}

TEST(DdeWire, PayloadLimit) {
  EXPECT_TRUE(encodeFrame(FrameType::Data, std::string(kMaxPayload, 'a')).has_value());
  EXPECT_FALSE(encodeFrame(FrameType::Data, std::string(kMaxPayload + 1, 'a')).has_value());
  FrameDecoder decoder;
  EXPECT_TRUE(decoder.feed(frame(FrameType::Data, std::string(kMaxPayload, 'a'))));
  EXPECT_EQ(decoder.next()->payload.size(), kMaxPayload);
}

TEST(DdeWire, OversizedFrameIsRefusedFromItsHeaderAlone) {
  FrameDecoder decoder;
  const std::uint32_t length = kMaxPayload + 1;
  const char header[] = {static_cast<char>(length & 0xFF), static_cast<char>((length >> 8) & 0xFF),
                         static_cast<char>(length >> 16), 0, 0x02};
  EXPECT_FALSE(decoder.feed(std::string_view(header, 5)));
  EXPECT_TRUE(decoder.broken());
  EXPECT_NE(decoder.error().find("over the limit"), std::string::npos);
  EXPECT_EQ(decoder.pending(), 0u);
}

TEST(DdeWire, GarbageBreaksTheStreamForGoodButKeepsEarlierFrames) {
  FrameDecoder decoder;
  EXPECT_FALSE(decoder.feed(frame(FrameType::Execute, "Stop") + std::string("\x01\0\0\0\x7Fz", 6) +
                            frame(FrameType::Execute, "Play")));
  EXPECT_EQ(decoder.error(), "unknown frame type 0x7F");
  EXPECT_EQ(decoder.next(), (Frame{FrameType::Execute, "Stop"}));
  EXPECT_FALSE(decoder.next().has_value());
  EXPECT_FALSE(decoder.feed(frame(FrameType::Execute, "Play")));
  EXPECT_FALSE(decoder.next().has_value());
}

}  // namespace
}  // namespace volta::dde
