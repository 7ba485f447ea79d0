// Arbitrary bytes as a Sherry script, processed over a range of song positions with a jump
// back: every fault must end the script through its error, and nothing may draw outside.

#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "player/wrd/sherry/process_wrd.h"

namespace {

using volta::wrd::sherry::SDisplay;
using volta::wrd::sherry::SProcessWRD;

constexpr std::array<std::uint8_t, 16> kHeader{'S', 'h', 'e', 'r', 'r', 'y', ' ', 'W', 'R', 'D', 0, 0, 0, 0, 0, 0};
// A 1x1 GIF that scripts may load as "a.gif".
constexpr std::array<std::uint8_t, 35> kTinyGif{'G', 'I',  'F',  '8',  '9', 'a', 1, 0,   1, 0, 0x80, 0,
                                                0,   0xFF, 0xFF, 0xFF, 0,   0,   0, ',', 0, 0, 0,    0,
                                                1,   0,    1,    0,    0,   2,   2, 'D', 1, 0, ';'};
constexpr int kSongTimebase = 48;
constexpr int kSteps = 64;
constexpr std::int64_t kTicksPerStep = 97;

// A folder with the picture, removed when the process ends.
class PictureFolder {
 public:
  PictureFolder() {
    char name[] = "/tmp/wrd_sherry_fuzz_XXXXXX";
    if (mkdtemp(name) == nullptr) std::abort();
    path_ = name;
    std::ofstream(path_ / "a.gif", std::ios::binary)
        .write(reinterpret_cast<const char*>(kTinyGif.data()), kTinyGif.size());
  }
  ~PictureFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

const std::filesystem::path& pictureFolder() {
  static const PictureFolder folder;
  return folder.path();
}

void run(std::vector<std::uint8_t> bytes) {
  static SDisplay display;
  static SProcessWRD processor(display);
  processor.setScreenBudget(std::size_t{1} << 20);
  if (!processor.openBuffer(std::move(bytes), pictureFolder())) return;
  processor.reset(kSongTimebase);
  for (int step = 0; step < kSteps; ++step) {
    if (step == kSteps / 2) processor.reset();  // a jump back
    processor.processTick(step * kTicksPerStep);
    const bool ended = processor.state() == SProcessWRD::State::kEnded;
    if (!processor.lastError().empty() && !ended) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  run(std::vector<std::uint8_t>(data, data + size));
  // The same bytes behind a valid header, so that the body is reached without finding it.
  std::vector<std::uint8_t> withHeader(kHeader.begin(), kHeader.end());
  withHeader.insert(withHeader.end(), data, data + size);
  run(std::move(withHeader));
  return 0;
}
