// The C interface: entry points, recognition, ownership and progress notifications.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "platform/message_target.h"
#include "tests/converter/converter_fixture.h"
#include "tests/support/test_support.h"

namespace volta::converter::testing {
namespace {

using test::RcpWriter;

std::vector<std::uint8_t> smallSong(bool g36) {
  RcpWriter writer(g36);
  writer.title = "Small";
  writer.addTrack().add(0x3C, 10, 5, 100).end();
  writer.addTrack(0x01).add(0x40, 10, 5, 100).end();
  return writer.build();
}

TEST(MorphApi, VersionAndNullObjects) {
  EXPECT_EQ(morphGetVersionMajor(), 1);
  EXPECT_EQ(morphGetVersionMinor(), 6);
  EXPECT_THAT(morphGetCopyright(), ::testing::HasSubstr("1.6"));
  EXPECT_EQ(morphGetSMF(nullptr), nullptr);
  EXPECT_EQ(morphGetSMFLength(nullptr), 0u);
  EXPECT_EQ(morphGetOriginalFileType(nullptr), 0);
  morphDeleteObject(nullptr);
}

TEST(MorphApi, FilesAreChosenByExtension) {
  test::TempDir dir;
  const auto rcp = smallSong(false);
  const auto g36 = smallSong(true);
  test::writeFile(dir / "song.rcp", rcp);
  test::writeFile(dir / "song.R36", rcp);
  test::writeFile(dir / "song.g18", g36);
  test::writeFile(dir / "song.MID", rcp);
  test::writeFile(dir / "song", rcp);
  for (const char* name : {"song.rcp", "song.R36", "song.g18"}) {
    void* object = morphConvertFile((dir / name).c_str(), 0, nullptr, 0, 0);
    ASSERT_NE(object, nullptr) << name;
    EXPECT_TRUE(readSmf(morphGetSMF(object), morphGetSMFLength(object)).error.empty());
    morphDeleteObject(object);
  }
  for (const char* name : {"song.MID", "song", "missing.rcp"}) {
    EXPECT_EQ(morphConvertFile((dir / name).c_str(), 0, nullptr, 0, 0), nullptr) << name;
  }
  EXPECT_EQ(morphConvertFile(nullptr, 0, nullptr, 0, 0), nullptr);
}

TEST(MorphApi, BuffersAreRecognisedByContentOrTakenAsTold) {
  const auto rcp = smallSong(false);
  EXPECT_EQ(convertBytes(rcp).fileType, 2);
  EXPECT_EQ(convertBytes(smallSong(true)).fileType, 3);
  // Long enough to hold a G36 header: read as one when told so.
  auto padded = rcp;
  padded.resize(4000, 0);
  EXPECT_EQ(convertBytes(padded, MORPH_SOURCE_G36).fileType, 3);
  EXPECT_EQ(convertBytes(rcp, MORPH_SOURCE_RCP).fileType, 2);
  EXPECT_FALSE(convertBytes(rcp, 7).ok);
  std::vector<std::uint8_t> unknown(2000, 'x');
  EXPECT_FALSE(convertBytes(unknown).ok);
  EXPECT_EQ(morphConvertFileFromBuffer(nullptr, 100, 0, 0, nullptr, 0, 0), nullptr);
  EXPECT_EQ(morphConvertFileFromBuffer(rcp.data(), 0, 0, 0, nullptr, 0, 0), nullptr);
}

TEST(MorphApi, TruncatedHeadersAreRefused) {
  auto rcp = smallSong(false);
  rcp.resize(1000);
  EXPECT_FALSE(convertBytes(rcp).ok);
  auto g36 = smallSong(true);
  g36.resize(3000);
  EXPECT_FALSE(convertBytes(g36).ok);
}

std::vector<std::array<std::int32_t, 4>> gRecords;

void onProgress(const std::int32_t* record) {
  gRecords.push_back({record[0], record[1], record[2], record[3]});
}

TEST(MorphApi, ProgressByCallback) {
  gRecords.clear();
  RcpWriter writer(false);
  for (int i = 0; i < 4; ++i)
    writer.addTrack().end();
  const auto bytes = writer.build();
  void* object = morphConvertFileFromBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()), 0, MORPH_NOTIFY_CALLBACK,
                                            reinterpret_cast<void*>(&onProgress), 0, 77);
  ASSERT_NE(object, nullptr);
  morphDeleteObject(object);
  using Record = std::array<std::int32_t, 4>;
  EXPECT_THAT(gRecords, ::testing::ElementsAre(Record{0, 4, 0, 77}, Record{1, 4, 25, 77}, Record{2, 4, 50, 77},
                                               Record{3, 4, 75, 77}, Record{3, 4, 99, 77}));
}

TEST(MorphApi, ProgressByMessageTarget) {
  struct Seen {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 1;
    std::vector<std::int32_t> percents;
  } seen;
  platform::MessageTarget target;
  target.context = &seen;
  target.send = [](void* context, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    auto* s = static_cast<Seen*>(context);
    s->message = message;
    s->wParam = wParam;
    s->percents.push_back(reinterpret_cast<const std::int32_t*>(lParam)[2]);
  };
  const auto bytes = smallSong(true);
  void* object = morphConvertFileFromBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()), 0, MORPH_NOTIFY_MESSAGE,
                                            &target, 0x400, 5);
  ASSERT_NE(object, nullptr);
  morphDeleteObject(object);
  EXPECT_EQ(seen.message, 0x400u);
  EXPECT_EQ(seen.wParam, 0u);
  EXPECT_THAT(seen.percents, ::testing::ElementsAre(0, 50, 99));
}

TEST(MorphApi, RealSongsConvert) {
  const auto dir = test::corpusDir("rcp");
  if (dir.empty()) GTEST_SKIP() << "no RCP corpus";
  int converted = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    void* object = morphConvertFile(entry.path().c_str(), 0, nullptr, 0, 0);
    if (object == nullptr) continue;
    ++converted;
    const SmfFile smf = readSmf(morphGetSMF(object), morphGetSMFLength(object));
    EXPECT_TRUE(smf.error.empty()) << entry.path() << ": " << smf.error;
    std::size_t notes = 0;
    for (const auto& track : smf.tracks) {
      for (const auto& e : track)
        notes += (e.status & 0xF0) == 0x90 && e.data[1] != 0;
    }
    EXPECT_GT(notes, 0u) << entry.path();
    morphDeleteObject(object);
  }
  EXPECT_GT(converted, 0);
}

}  // namespace
}  // namespace volta::converter::testing
