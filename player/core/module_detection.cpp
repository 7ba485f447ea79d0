#include "player/core/module_detection.h"

#include <algorithm>
#include <vector>

#include "platform/text.h"

namespace volta::core {

using platform::text::equalsIgnoringCase;
using platform::text::isShiftJisLead;
using platform::text::upperShiftJis;

namespace {

constexpr int kDefaultSearchLength = 65536;
constexpr std::string_view kFullWidthSpace = "\x81\x40";

// The delimiter's characters, split into single-byte and double-byte ones.
struct Delimiters {
  std::string single;
  std::vector<std::string> doubles;

  explicit Delimiters(std::string_view delimiter) {
    for (std::size_t i = 0; i < delimiter.size(); ++i) {
      if (isShiftJisLead(delimiter[i]) && i + 1 < delimiter.size()) {
        doubles.emplace_back(delimiter.substr(i++, 2));
      } else {
        single += delimiter[i];
      }
    }
  }
  bool separatesSingle(char c) const {
    return c == ' ' || c == '\r' || c == '\n' || c == '\x1A' || c == '\t' || single.find(c) != std::string::npos;
  }
  bool separatesDouble(std::string_view pair) const {
    return pair == kFullWidthSpace || std::find(doubles.begin(), doubles.end(), pair) != doubles.end();
  }
};

std::string normalise(std::string_view text, const Delimiters& delimiters) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (isShiftJisLead(out[i]) && i + 1 < out.size()) {
      if (delimiters.separatesDouble(std::string_view(out).substr(i, 2))) out[i] = out[i + 1] = ' ';
      ++i;
    } else if (delimiters.separatesSingle(out[i])) {
      out[i] = ' ';
    }
  }
  return out;
}

// Whether a word running to the end of the searched bytes goes on beyond them.
bool cutByLimit(std::string_view text, std::size_t limit, const Delimiters& delimiters) {
  if (limit >= text.size()) return false;
  if (limit > 0 && isShiftJisLead(text[limit - 1])) {
    // The limit splits a double-byte character unless the previous byte was a trail byte.
    std::size_t start = limit - 1;
    while (start > 0 && isShiftJisLead(text[start - 1]))
      --start;
    if ((limit - 1 - start) % 2 == 0) return true;
  }
  if (isShiftJisLead(text[limit]) && limit + 1 < text.size()) {
    return !delimiters.separatesDouble(text.substr(limit, 2));
  }
  return !delimiters.separatesSingle(text[limit]);
}

std::vector<std::string_view> wordsOf(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = text.find_first_not_of(' ', pos);
    if (start == std::string_view::npos) break;
    const std::size_t end = std::min(text.find(' ', start), text.size());
    words.push_back(text.substr(start, end - start));
    pos = end;
  }
  return words;
}

bool isSetting(std::string_view key) {
  return equalsIgnoringCase(key, "length") || equalsIgnoringCase(key, "delimiter");
}

// The module of the first word that equals a keyword (ignoring case), or none.
std::optional<std::string> findKeyword(const TINICritical& store, std::string_view searchText) {
  auto guard = store.lock();
  const int length = store.getInteger("keyword", "length", kDefaultSearchLength);
  const Delimiters delimiters(store.getValue("keyword", "delimiter"));
  const TINIValues* keywords = store.findSection("keyword");
  if (!keywords || length <= 0) return {};

  std::vector<std::pair<std::string, std::string_view>> patterns;
  for (const auto& entry : keywords->entries()) {
    if (!isSetting(entry.key)) patterns.emplace_back(upperShiftJis(entry.key), entry.value);
  }
  const std::size_t limit = std::min(searchText.size(), static_cast<std::size_t>(length));
  const std::string normalised = normalise(searchText.substr(0, limit), delimiters);
  std::vector<std::string_view> words = wordsOf(normalised);
  if (!words.empty() && words.back().data() + words.back().size() == normalised.data() + normalised.size() &&
      cutByLimit(searchText, limit, delimiters)) {
    words.pop_back();  // only part of this word lies within the searched bytes
  }
  for (const std::string_view word : words) {
    const std::string upper = upperShiftJis(word);
    for (const auto& [pattern, module] : patterns) {
      if (pattern == upper) return std::string(module);
    }
  }
  return {};
}

}  // namespace

std::string normaliseForKeywords(std::string_view text, std::size_t length, std::string_view delimiter) {
  return normalise(text.substr(0, std::min(length, text.size())), Delimiters(delimiter));
}

Detection detectModule(const TINICritical& store, const DetectionInput& input) {
  if (!input.autoScan) return {std::string(input.defaultModule), {}};
  if (!input.givenModule.empty()) return {std::string(input.givenModule), {}};
  std::string searchText(input.songPath);
  if (!input.title.empty()) searchText += ' ' + std::string(input.title);
  if (!input.document.empty()) searchText += ' ' + std::string(input.document);
  if (auto module = findKeyword(store, searchText)) return {std::move(*module), "*"};
  return {std::string(input.defaultModule), {}};
}

}  // namespace volta::core
