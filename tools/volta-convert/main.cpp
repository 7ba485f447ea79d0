// volta-convert: turns RCP and G36 songs into Standard MIDI Files through libmorph.
//
//   volta-convert SONG.RCP [OUT.MID] [SONG2.G36 [OUT2.MID]] ...
//
// An argument ending in .mid names the output of the song before it; otherwise the
// output is the song's name with the extension .mid.

#include <strings.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "converter/morph.h"
#include "platform/usage.h"

namespace {

struct Job {
  std::string input;
  std::string output;
};

bool isMidiName(const std::string& name) {
  const auto dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  const char* ext = name.c_str() + dot;
  return strcasecmp(ext, ".mid") == 0 || strcasecmp(ext, ".midi") == 0;
}

constexpr const char* kUsage = "usage: volta-convert SONG.RCP [OUT.MID] [SONG2.G36 [OUT2.MID]] ...\n";

// No jobs when an argument is an option: the program has none besides --help.
std::vector<Job> jobsOf(int argc, char** argv) {
  std::vector<Job> jobs;
  for (int i = 1; i < argc; ++i) {
    if (volta::platform::looksLikeOption(argv[i])) return {};
    const std::string arg = argv[i];
    if (isMidiName(arg) && !jobs.empty() && jobs.back().output.empty()) {
      jobs.back().output = arg;
    } else {
      jobs.push_back({arg, {}});
    }
  }
  for (Job& job : jobs) {
    if (job.output.empty()) job.output = std::filesystem::path(job.input).replace_extension(".mid").string();
  }
  return jobs;
}

const char* familyName(int fileType) {
  switch (fileType) {
    case 2:
      return "RCP song";
    case 3:
      return "RCP (first version) or G36 song";
    case 4:
      return "G36 song with RCFW marker";
    default:
      return "song";
  }
}

bool writeAll(const std::string& name, const uint8_t* data, uint32_t length) {
  std::FILE* file = std::fopen(name.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(data, 1, length, file) == length;
  return std::fclose(file) == 0 && written;
}

bool convert(const Job& job) {
  if (job.input == job.output) {
    std::fprintf(stderr, "volta-convert: %s: the output would overwrite the song\n", job.input.c_str());
    return false;
  }
  void* object = morphConvertFile(job.input.c_str(), MORPH_NOTIFY_NONE, nullptr, 0, 0);
  if (object == nullptr) {
    const bool exists = std::filesystem::exists(job.input);
    std::fprintf(stderr, "volta-convert: %s: %s\n", job.input.c_str(),
                 exists ? "not a song that can be converted (expected .rcp, .r36, .g36 or .g18 with a whole header)"
                        : "no such file");
    return false;
  }
  const uint8_t* smf = morphGetSMF(object);
  const uint32_t length = morphGetSMFLength(object);
  const int tracks = length >= 12 ? (smf[10] << 8 | smf[11]) : 0;
  const bool written = writeAll(job.output, smf, length);
  if (written) {
    std::printf("%s -> %s: %s, %d tracks, %u bytes\n", job.input.c_str(), job.output.c_str(),
                familyName(morphGetOriginalFileType(object)), tracks, length);
  } else {
    std::fprintf(stderr, "volta-convert: cannot write %s: %s\n", job.output.c_str(), std::strerror(errno));
  }
  morphDeleteObject(object);
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  if (volta::platform::asksForHelp(argc, argv)) return volta::platform::printUsage(kUsage);
  const std::vector<Job> jobs = jobsOf(argc, argv);
  if (jobs.empty()) return volta::platform::refuseUsage(kUsage);
  int failed = 0;
  for (const Job& job : jobs)
    failed += convert(job) ? 0 : 1;
  if (failed > 0 && jobs.size() > 1)
    std::fprintf(stderr, "volta-convert: %d of %zu songs failed\n", failed, jobs.size());
  return failed > 0 ? 1 : 0;
}
