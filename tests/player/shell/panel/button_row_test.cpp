#include "player/shell/panel/button_row.h"

#include <gtest/gtest.h>

#include "player/shell/panel/commands.h"
#include "tests/support/test_support.h"

namespace volta::shell {
namespace {

namespace settings = platform::settings;

TEST(ButtonRow, DefaultRowWhenTheSettingIsAbsent) {
  test::TempDir dir;
  settings::SettingsStore store(dir / "VOLTA.conf");
  EXPECT_EQ(readButtonRow(store),
            (std::vector<int>{cmd::kStop, cmd::kPause, cmd::kPlay, cmd::kSlow, cmd::kFast, cmd::kPrevious, cmd::kNext,
                              cmd::kFullScreen, cmd::kPaneWrd, cmd::kPaneDocument, cmd::kPaneList, cmd::kPaneMonitor,
                              cmd::kMini}));
}

TEST(ButtonRow, StoredRowIsLittleEndianAndEndsAtZero) {
  test::TempDir dir;
  settings::SettingsStore store(dir / "VOLTA.conf");
  std::vector<std::uint8_t> value(128, 0);
  const std::uint8_t words[] = {0x2C, 0x23, 0, 0,   // 9004
                                0x28, 0x23, 0, 0,   // 9000
                                0x01, 0x02, 3, 4,   // 0x04030201
                                0,    0,    0, 0,   // end
                                0x2A, 0x23, 0, 0};  // never read
  std::copy(std::begin(words), std::end(words), value.begin());
  ASSERT_TRUE(store.writeBinary(settings::kMainKey, "NewButtons", value));
  EXPECT_EQ(readButtonRow(store), (std::vector<int>{9004, 9000, 0x04030201}));

  ASSERT_TRUE(store.writeBinary(settings::kMainKey, "NewButtons", std::vector<std::uint8_t>(128, 0)));
  EXPECT_TRUE(readButtonRow(store).empty());
}

TEST(ButtonRow, ShortAndLongValues) {
  // A partial last identifier is not read.
  EXPECT_EQ(decodeButtonRow(std::vector<std::uint8_t>{0x28, 0x23, 0, 0, 0x2A, 0x23}), (std::vector<int>{9000}));
  EXPECT_TRUE(decodeButtonRow({}).empty());
  // 33 identifiers without a 0: only the 32 slots of the value count.
  std::vector<int> many(33, cmd::kPlay);
  std::vector<std::uint8_t> value = encodeButtonRow(many);
  ASSERT_EQ(value.size(), 128u);
  value.insert(value.end(), {0x2C, 0x23, 0, 0});
  EXPECT_EQ(decodeButtonRow(value).size(), 32u);
}

TEST(ButtonRow, EncodeDecodeRoundTrip) {
  const std::vector<int> row{cmd::kNext, cmd::kMini, cmd::kRepeat};
  const auto value = encodeButtonRow(row);
  EXPECT_EQ(value[0], 0x32);
  EXPECT_EQ(value[1], 0x23);
  EXPECT_EQ(decodeButtonRow(value), row);
}

TEST(ButtonRow, PicturesFollowTheState) {
  ButtonState state;
  EXPECT_FALSE(buttonActive(cmd::kPlay, state));
  state.playing = true;
  EXPECT_TRUE(buttonActive(cmd::kPlay, state));
  state.speed = 1;
  EXPECT_TRUE(buttonActive(cmd::kFast, state));
  EXPECT_FALSE(buttonActive(cmd::kSlow, state));
  state.speed = -1;
  EXPECT_FALSE(buttonActive(cmd::kFast, state));
  EXPECT_TRUE(buttonActive(cmd::kSlow, state));
  state.selecting = true;
  EXPECT_TRUE(buttonActive(cmd::kPrevious, state));
  EXPECT_TRUE(buttonActive(cmd::kNext, state));
  EXPECT_FALSE(buttonActive(cmd::kStop, state));
}

TEST(ButtonRow, EnablingRules) {
  ButtonState state;
  state.entries = 3;
  EXPECT_FALSE(buttonEnabled(cmd::kStop, state));
  EXPECT_FALSE(buttonEnabled(cmd::kFast, state));
  EXPECT_TRUE(buttonEnabled(cmd::kPlay, state));
  EXPECT_TRUE(buttonEnabled(cmd::kPrevious, state));
  EXPECT_TRUE(buttonEnabled(cmd::kNext, state));
  state.position = 2;  // the last entry
  EXPECT_FALSE(buttonEnabled(cmd::kNext, state));
  state.playing = true;
  EXPECT_TRUE(buttonEnabled(cmd::kStop, state));
  EXPECT_TRUE(buttonEnabled(cmd::kSlow, state));
  state.locked = true;
  for (int id : {cmd::kStop, cmd::kPause, cmd::kPlay, cmd::kPlayPause, cmd::kFast, cmd::kSlow, cmd::kNext,
                 cmd::kPrevious, cmd::kRepeat}) {
    EXPECT_FALSE(buttonEnabled(id, state)) << id;
  }
  EXPECT_TRUE(buttonEnabled(cmd::kPaneList, state));
  state = ButtonState{};
  EXPECT_FALSE(buttonEnabled(cmd::kPrevious, state));  // empty list
}

}  // namespace
}  // namespace volta::shell
