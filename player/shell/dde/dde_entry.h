#pragma once
// What a second start of the program does before it becomes a player itself: hand its
// request to the player that runs already. Each returns no value when no player
// answered, and the program then starts normally.

#include <iosfwd>
#include <optional>
#include <string>

namespace volta::dde {

// `volta dde "COMMAND"`: the command as one execute transaction. The exit status is 0
// when the player acknowledged it, 1 when it refused it or did not answer in time.
std::optional<int> runDdeCommand(const std::string& command);

// `volta FILE [/M:MODULE]`: the execute command "PlayFile" with the absolute path in
// double quotes and the text after "/M:" of the second argument right after the closing
// quote; none when the path cannot be written that way (it holds a double quote).
std::optional<std::string> handOverCommand(const std::string& absolutePath, const std::string& secondArgument);
// Sends handOverCommand to a running player. The exit status is that of runDdeCommand;
// none when no player answered or the path cannot be handed over.
std::optional<int> handOver(const std::string& absolutePath, const std::string& secondArgument = {});

// `volta dde-request ITEM [N]`: writes the reply and a newline to out and returns 0;
// returns 1 when the player has no data or none runs (saying so on err).
int runDdeRequest(const std::string& item, const std::optional<std::string>& argument, std::ostream& out,
                  std::ostream& err);

}  // namespace volta::dde
