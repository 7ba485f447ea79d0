#pragma once

#include <cstdlib>
#include <string_view>

namespace volta::shell {

// The language of the texts and menus; it is added to a text's even identifier.
enum Language : int { kJapanese = 0, kEnglish = 1 };

// The language of the messages' locale, as the C library picks it (LC_ALL, LC_MESSAGES, LANG):
// Japanese under "ja*", English otherwise.
inline Language languageOfLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return std::string_view(value).substr(0, 2) == "ja" ? kJapanese : kEnglish;
  }
  return kEnglish;
}

}  // namespace volta::shell
