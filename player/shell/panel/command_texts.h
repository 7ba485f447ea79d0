#pragma once
// Names of the commands in both languages: the menu texts, and the names the button
// and key settings show for commands without a menu item.

#include <span>
#include <string>
#include <string_view>

#include "player/shell/panel/language.h"

namespace volta::shell {

struct CommandText {
  int id;
  std::string_view japanese;
  std::string_view english;
  bool checkable = false;  // the menu shows a check for the state it toggles or selects
};

std::span<const CommandText> commandTexts();
// Null for an unknown identifier.
const CommandText* findCommand(int id);
// The text in a language (English for any language but Japanese); empty when unknown.
std::string_view commandText(int id, int language);
// The text without its accelerator and dots, for buttons and lists: "停止(&S)" reads
// "停止", "&Configuration..." reads "Configuration".
std::string plainCommandName(int id, int language);

}  // namespace volta::shell
