#include "player/core/smfk/smfk_worker.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "tests/player/core/smfk/smfk_messages.h"
#include "tests/support/smf_writer.h"
#include "tests/support/test_support.h"

namespace volta::core::smfk {
namespace {

namespace fs = std::filesystem;
using test::OwnerMessage;

// The stand-in's own switches, reached through a second reference to the loaded library.
template <typename Function>
Function* fakeEntry(const char* name) {
  static void* const handle = dlopen(VOLTA_FAKE_SMFK_FOLDER "/libsmfk32.so", RTLD_NOW | RTLD_LOCAL);
  return handle ? reinterpret_cast<Function*>(dlsym(handle, name)) : nullptr;
}

class SmfkWorkerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(library_.load(VOLTA_FAKE_SMFK_FOLDER)); }

  SmfkLibrary library_;
  test::MessageLog log_;
  test::TempDir dir_;
};

TEST_F(SmfkWorkerTest, TellsItsStartProgressAndResult) {
  SmfkWorker worker(library_, log_.target());
  EXPECT_EQ(worker.state(), ThreadState::kNotStarted);
  ASSERT_EQ(worker.start(dir_ / "a.mid", dir_ / "a.mid.smfk", dir_ / "result-4.cfg"), 0);
  ASSERT_TRUE(log_.waitFor(kEnded));
  ASSERT_TRUE(worker.waitFor(std::chrono::seconds(20)));
  EXPECT_EQ(log_.messages(),
            (std::vector<OwnerMessage>{{kMessage, kStarted, 0}, {kMessage, kProgress, 50}, {kMessage, kEnded, 4}}));
  EXPECT_EQ(worker.state(), ThreadState::kFinished);
  EXPECT_EQ(worker.exitCode(), 4);
  EXPECT_FALSE(worker.aborted());
  EXPECT_EQ(fakeEntry<std::uint32_t()>("FakeSmfkLastRecordSize")(), 24u);
}

TEST_F(SmfkWorkerTest, AStartWhileRunningIsRefusedAndAStopAborts) {
  SmfkWorker worker(library_, log_.target());
  ASSERT_EQ(worker.start(dir_ / "a.mid", dir_ / "a.mid.smfk", dir_ / "busy.cfg"), 0);
  ASSERT_TRUE(log_.waitFor(kProgress));
  EXPECT_EQ(worker.start(dir_ / "a.mid", dir_ / "a.mid.smfk", dir_ / "busy.cfg"), kAlreadyRunning);
  worker.requestStop();
  ASSERT_TRUE(worker.waitFor(std::chrono::seconds(20)));
  EXPECT_TRUE(worker.aborted());
  EXPECT_EQ(worker.exitCode(), 7);
  const auto aborted = log_.waitFor(kAborted);
  ASSERT_TRUE(aborted);
  EXPECT_EQ(aborted->lParam, 7);
  for (const OwnerMessage& m : log_.messages())
    EXPECT_NE(m.wParam, kEnded);
  // A finished worker may run again.
  EXPECT_EQ(worker.start(dir_ / "a.mid", dir_ / "a.mid.smfk", dir_ / "result-1.cfg"), 0);
  ASSERT_TRUE(worker.waitFor(std::chrono::seconds(20)));
  EXPECT_EQ(worker.exitCode(), 1);
  EXPECT_FALSE(worker.aborted());
}

TEST_F(SmfkWorkerTest, AWorkerGoneWhileItsThreadRunsSendsNothingMore) {
  auto worker = std::make_unique<SmfkWorker>(library_, log_.target());
  ASSERT_EQ(worker->start(dir_ / "a.mid", dir_ / "a.mid.smfk", dir_ / "stuck.cfg"), 0);
  ASSERT_TRUE(log_.waitFor(kProgress));
  EXPECT_FALSE(worker->waitFor(std::chrono::milliseconds(0)));
  EXPECT_EQ(worker->state(), ThreadState::kRunning);
  worker.reset();
  fakeEntry<void()>("FakeSmfkRelease")();
  library_.unload();  // joins the thread it was handed
  EXPECT_EQ(log_.messages(), (std::vector<OwnerMessage>{{kMessage, kStarted, 0}, {kMessage, kProgress, 10}}));
}

TEST(SmfkWorker, TheRealConverterWritesTheOutput) {
  test::TempDir dir;
  test::SmfTrack track;
  track.program(0, 0, 0).noteOn(0, 0, 60, 100).noteOff(48, 0, 60).endOfTrack(0);
  test::writeFile(dir / "A.MID", test::SmfWriter(0, 48).track(track).build());
  const std::string rules = "program 1 1 41\n";
  test::writeFile(dir / "violin.cfg", std::vector<std::uint8_t>(rules.begin(), rules.end()));
  SmfkLibrary library;
  ASSERT_TRUE(library.load(test::binDir()));
  test::MessageLog log;
  SmfkWorker worker(library, log.target());
  ASSERT_EQ(worker.start(dir / "A.MID", dir / "A.MID.smfk", dir / "violin.cfg"), 0);
  const auto ended = log.waitFor(kEnded);
  ASSERT_TRUE(ended);
  EXPECT_LT(ended->lParam, 0);
  const auto bytes = test::readFile(dir / "A.MID.smfk");
  const std::vector<std::uint8_t> programChange{0x00, 0xC0, 40};
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), programChange.begin(), programChange.end()), bytes.end());
}

}  // namespace
}  // namespace volta::core::smfk
