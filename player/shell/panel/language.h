#pragma once

namespace volta::shell {

// The language of the texts and menus; it is added to a text's even identifier.
enum Language : int { kJapanese = 0, kEnglish = 1 };

}  // namespace volta::shell
