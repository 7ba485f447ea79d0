#pragma once
// The program's command line, evaluated before any window exists.

#include <filesystem>
#include <string>
#include <vector>

namespace volta::app {

struct CommandLine {
  enum class Kind {
    kNormal,      // restore the last list
    kEmptyList,   // "/n": start with an empty list
    kDdeCommand,  // "dde" COMMAND: hand the command to a running player
    kDdeRequest,  // "dde-request" ITEM [N]: ask a running player and print the reply
    kFile,        // a song or list to play, with an optional "/M:" module
    kHelp,        // "--help" or "-h": print the usage
    kVersion,     // "--version": print the version
    kMisuse,      // an unknown option (text): print the usage and fail
  };
  Kind kind = Kind::kNormal;
  std::string text;    // kDdeCommand: the command; kDdeRequest: the item with its argument; kFile: the absolute path
  std::string module;  // kFile: the text after "/M:" (empty when none was given)
  bool hasModule = false;

  // kFile: the execute command that hands the file to a running player:
  // PlayFile "<path>" directly followed by the module when one was given.
  std::string handOverCommand() const;
  // kFile: the name is a list file (".TOR" or ".TO2", any case).
  bool isListFile() const;
};

// args are the arguments after the program's name; relative file names are made
// absolute against currentFolder.
CommandLine parseCommandLine(const std::vector<std::string>& args, const std::filesystem::path& currentFolder);

}  // namespace volta::app
