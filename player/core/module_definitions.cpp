#include "player/core/module_definitions.h"

#include <algorithm>
#include <climits>

#include "platform/text.h"
#include "player/core/file_bytes.h"

namespace volta::core {

using platform::text::equalsIgnoringCase;
using platform::text::isBlank;
using platform::text::upperAscii;

namespace {

namespace fs = std::filesystem;

// Includes nest at most this deep, and one load follows at most this many and
// keeps at most this much included text, so a file that includes itself, or fans
// out, can neither hang the player nor exhaust its memory.
constexpr std::size_t kMaxIncludeDepth = 16;
constexpr int kMaxIncludesPerLoad = 256;
constexpr std::size_t kMaxIncludedBytesPerLoad = std::size_t{64} << 20;
constexpr std::string_view kInclude = "#include";

bool isLineBlank(char c) {
  return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
  return c == '\r' || c == '\n';
}

// Definition files written on Windows name files with either slash and in any case.
fs::path locate(std::string_view name, const fs::path& baseFolder) {
  std::string portable(name);
  std::replace(portable.begin(), portable.end(), '\\', '/');
  const fs::path path = fs::path(portable).is_absolute() ? fs::path(portable) : baseFolder / portable;
  return findFileIgnoringCase(path).value_or(path);
}

// A small scanner over one definition text.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}
  bool done() const { return pos_ >= text_.size(); }
  char peek() const { return text_[pos_]; }
  void advance() { ++pos_; }
  void skip(bool (*pred)(char)) {
    while (!done() && pred(peek()))
      ++pos_;
  }
  // Up to (not including) the first character that meets `stop`.
  std::string_view takeUntil(bool (*stop)(char)) {
    const std::size_t start = pos_;
    while (!done() && !stop(peek()))
      ++pos_;
    return text_.substr(start, pos_ - start);
  }
  std::string_view restOfLine() { return takeUntil(isLineEnd); }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

// ---- TINIValues ----

std::size_t TINIValues::bucketOf(std::string_view key) {
  std::uint32_t hash = 0;
  for (const char c : key)
    hash = hash * 31 + static_cast<std::uint8_t>(upperAscii(c));
  return hash % kBuckets;
}

const TINIValues::Entry* TINIValues::findEntry(std::string_view key) const {
  for (const std::uint32_t index : buckets_[bucketOf(key)]) {
    if (equalsIgnoringCase(entries_[index].key, key)) return &entries_[index];
  }
  return nullptr;
}

std::optional<std::string_view> TINIValues::find(std::string_view key) const {
  const Entry* entry = findEntry(key);
  if (!entry) return {};
  return entry->value;
}

void TINIValues::set(std::string_view key, std::string_view value) {
  if (const Entry* entry = findEntry(key)) {
    entries_[static_cast<std::size_t>(entry - entries_.data())].value = value;
    return;
  }
  buckets_[bucketOf(key)].push_back(static_cast<std::uint32_t>(entries_.size()));
  entries_.push_back({key, value});
}

// ---- TINICritical ----

struct TINICritical::IncludeState {
  std::vector<fs::path> open;  // the files being parsed, outermost first
  int includes = 0;
  std::size_t includedBytes = 0;
};

void TINICritical::clear() {
  auto guard = lock();
  sections_.clear();
  buffers_.clear();
}

std::string_view TINICritical::retain(std::string text) {
  buffers_.push_back(std::make_unique<const std::string>(std::move(text)));
  return *buffers_.back();
}

TINIValues& TINICritical::sectionFor(std::string_view name) {
  auto& slot = sections_[upperAscii(name)];
  if (!slot) slot = std::make_unique<TINIValues>(std::string(name));
  return *slot;
}

void TINICritical::loadText(std::string_view text, const fs::path& baseFolder) {
  auto guard = lock();
  IncludeState state;
  parse(retain(std::string(text)), baseFolder, state);
}

bool TINICritical::loadFile(const fs::path& path) {
  auto guard = lock();
  IncludeState state;
  return loadFileWith(path, state);
}

bool TINICritical::loadFileWith(const fs::path& path, IncludeState& state) {
  std::optional<std::string> text = readFileBytes(path);
  if (!text) return false;
  if (!state.open.empty()) {
    state.includedBytes += text->size();
    if (state.includedBytes > kMaxIncludedBytesPerLoad) return false;
  }
  std::error_code error;
  fs::path identity = fs::weakly_canonical(path, error);
  if (error) identity = path;
  state.open.push_back(identity);
  parse(retain(std::move(*text)), path.parent_path(), state);
  state.open.pop_back();
  return true;
}

void TINICritical::include(std::string_view name, const fs::path& baseFolder, IncludeState& state) {
  if (name.empty() || state.open.size() >= kMaxIncludeDepth || state.includes >= kMaxIncludesPerLoad) return;
  ++state.includes;
  const fs::path path = locate(name, baseFolder);
  std::error_code error;
  fs::path identity = fs::weakly_canonical(path, error);
  if (error) identity = path;
  if (std::find(state.open.begin(), state.open.end(), identity) != state.open.end()) return;  // a cycle
  loadFileWith(path, state);
}

void TINICritical::parse(std::string_view text, const fs::path& baseFolder, IncludeState& state) {
  Cursor cursor(text);
  TINIValues* section = nullptr;
  while (true) {
    cursor.skip(isBlank);
    if (cursor.done()) return;
    const char first = cursor.peek();
    if (first == '#') {
      const std::string_view line = cursor.restOfLine();
      if (line.size() > kInclude.size() && equalsIgnoringCase(line.substr(0, kInclude.size()), kInclude) &&
          isLineBlank(line[kInclude.size()])) {
        Cursor rest(line.substr(kInclude.size()));
        rest.skip(isLineBlank);
        include(rest.takeUntil(isBlank), baseFolder, state);
      }
    } else if (first == ';') {
      cursor.restOfLine();
    } else if (first == '[') {
      const std::string_view line = cursor.restOfLine();
      const std::size_t close = line.find(']');
      if (close != std::string_view::npos && close > 1) section = &sectionFor(line.substr(1, close - 1));
    } else {
      // key [blanks] "=" [blanks] value; a key without "=" adds nothing and the
      // scan goes on with the next word.
      const std::string_view key = cursor.takeUntil([](char c) { return c == '=' || isBlank(c); });
      cursor.skip(isLineBlank);
      if (cursor.done() || cursor.peek() != '=') continue;
      cursor.advance();
      cursor.skip(isLineBlank);
      const std::string_view value = cursor.restOfLine();
      if (section && !key.empty()) section->set(key, value);
    }
  }
}

std::string TINICritical::getValue(std::string_view section, std::string_view key, std::string_view fallback) const {
  auto guard = lock();
  const TINIValues* values = findSection(section);
  const auto value = values ? values->find(key) : std::nullopt;
  return std::string(value.value_or(fallback));
}

int TINICritical::getInteger(std::string_view section, std::string_view key, int fallback) const {
  auto guard = lock();
  const TINIValues* values = findSection(section);
  const auto value = values ? values->find(key) : std::nullopt;
  if (!value) return fallback;
  return parseDecimal(*value).value_or(fallback);
}

const TINIValues* TINICritical::findSection(std::string_view name) const {
  auto guard = lock();
  const auto found = sections_.find(upperAscii(name));
  return found == sections_.end() ? nullptr : found->second.get();
}

std::string TINICritical::resolveAlias(std::string_view name) const {
  return getValue("alias", name, name);
}

std::optional<int> parseDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i]))
    ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  if (i >= text.size() || text[i] < '0' || text[i] > '9') return {};
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<long long>(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
  }
  value = negative ? -value : std::min<long long>(value, INT_MAX);
  return static_cast<int>(value);
}

TINICritical& moduleDefinitions() {
  static TINICritical store;
  return store;
}

}  // namespace volta::core
