#pragma once
// What every program of the project does with its command line's misuse: "--help" (or "-h")
// prints the usage on standard output and ends with status 0; an unknown option prints it on
// standard error and ends with status 2.

namespace volta::platform {

inline constexpr int kMisuseStatus = 2;

// "--help" or "-h" is among the arguments after the program's name.
bool asksForHelp(int argc, char** argv);
// The name is an option: it starts with '-' (a lone "-" is no option).
bool looksLikeOption(const char* argument);
// The usage on standard output; status 0.
int printUsage(const char* usage);
// The usage on standard error; status 2.
int refuseUsage(const char* usage);

}  // namespace volta::platform
