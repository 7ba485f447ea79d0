#include "platform/usage.h"

#include <cstdio>
#include <cstring>

namespace volta::platform {

bool asksForHelp(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
  return false;
}

bool looksLikeOption(const char* argument) {
  return argument[0] == '-' && argument[1] != '\0';
}

int printUsage(const char* usage) {
  std::fputs(usage, stdout);
  return 0;
}

int refuseUsage(const char* usage) {
  std::fputs(usage, stderr);
  return kMisuseStatus;
}

}  // namespace volta::platform
