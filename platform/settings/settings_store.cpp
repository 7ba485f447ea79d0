#include "platform/settings/settings_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <utility>

#include "platform/atomic_file.h"
#include "platform/text.h"

namespace volta::platform::settings {
namespace {

namespace fs = std::filesystem;

// The group path ("" for the main key, "Album", "A/B") of a registry key, or none
// for a key outside "Software\QZ\VOLTA" or with an empty component.
std::optional<std::string> groupOf(std::string_view key) {
  if (key.size() < kMainKey.size() || !text::equalsIgnoringCase(key.substr(0, kMainKey.size()), kMainKey)) return {};
  std::string_view rest = key.substr(kMainKey.size());
  if (rest.empty()) return std::string{};
  if (rest.front() != '\\') return {};
  std::string group;
  while (!rest.empty()) {
    rest.remove_prefix(1);
    const std::size_t end = rest.find('\\');
    const std::string_view part = rest.substr(0, end);
    if (part.empty() || part.find('/') != std::string_view::npos) return {};
    if (!group.empty()) group += '/';
    group += part;
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end);
  }
  return group;
}

std::optional<std::string> entryPath(std::string_view key, std::string_view name) {
  const auto group = groupOf(key);
  if (!group || name.empty() || name.find_first_of("/\\") != std::string_view::npos) return {};
  return group->empty() ? std::string(name) : *group + '/' + std::string(name);
}

// Registry DWORDs are written as signed decimal; unsigned spellings up to 2^32-1
// and QSettings' booleans are read too.
std::optional<std::int32_t> parseInt(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  if (text == "true") return 1;
  if (text == "false") return 0;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || text.empty()) return {};
  if (value < INT32_MIN || value > UINT32_MAX) return {};
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

bool lockExclusive(int fd) {
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// The file's text; empty when it is missing or not a readable regular file.
std::string readWhole(const fs::path& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return {};
  try {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  } catch (const std::ios_base::failure&) {
    return {};
  }
}

fs::path withSuffix(const fs::path& file, std::string_view suffix) {
  return fs::path(file.string() + std::string(suffix));
}

}  // namespace

std::string subKey(std::string_view name) {
  return std::string(kMainKey) + '\\' + std::string(name);
}

std::string midiTemplateKey(int index) {
  return subKey("MIDITemplate" + std::to_string(index));
}

// ---- SettingsBatch ----

SettingsBatch& SettingsBatch::add(Change change) {
  changes_.push_back(std::move(change));
  return *this;
}

SettingsBatch& SettingsBatch::setInt(std::string_view key, std::string_view name, std::int32_t value) {
  return add({Change::Op::kSet, std::string(key), std::string(name), {IniValue::Kind::kText, std::to_string(value)}});
}

SettingsBatch& SettingsBatch::setString(std::string_view key, std::string_view name, std::string_view value) {
  return add({Change::Op::kSet, std::string(key), std::string(name), {IniValue::Kind::kText, std::string(value)}});
}

SettingsBatch& SettingsBatch::setBinary(std::string_view key, std::string_view name,
                                        const std::vector<std::uint8_t>& value) {
  return add({Change::Op::kSet,
              std::string(key),
              std::string(name),
              {IniValue::Kind::kBinary, std::string(value.begin(), value.end())}});
}

SettingsBatch& SettingsBatch::removeValue(std::string_view key, std::string_view name) {
  return add({Change::Op::kRemoveValue, std::string(key), std::string(name), {}});
}

SettingsBatch& SettingsBatch::removeKey(std::string_view key) {
  return add({Change::Op::kRemoveKey, std::string(key), {}, {}});
}

void SettingsBatch::applyTo(IniEntries& entries) const {
  for (const Change& change : changes_) {
    if (change.op == Change::Op::kRemoveKey) {
      const auto group = groupOf(change.key);
      if (!group) continue;
      const std::string prefix = group->empty() ? std::string{} : text::upperAscii(*group) + '/';
      std::erase_if(entries, [&](const auto& item) { return item.first.starts_with(prefix); });
      continue;
    }
    const auto path = entryPath(change.key, change.name);
    if (!path) continue;
    const std::string folded = text::upperAscii(*path);
    if (change.op == Change::Op::kRemoveValue) {
      entries.erase(folded);
    } else if (auto found = entries.find(folded); found != entries.end()) {
      found->second.value = change.value;  // an existing value keeps its spelling
    } else {
      entries.emplace(folded, IniEntry{*path, change.value});
    }
  }
}

// ---- SettingsStore ----

fs::path SettingsStore::defaultPath() {
  fs::path base;
  if (const char* dir = std::getenv("VOLTA_CONFIG_HOME"); dir && *dir) {
    base = dir;
  } else if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = fs::path(home && *home ? home : ".") / ".config";
  }
  return base / "QZ" / "VOLTA.conf";
}

SettingsStore::SettingsStore(fs::path file) : file_(std::move(file)) {}

SettingsStore::FileStamp SettingsStore::stamp() const {
  struct stat info {};
  if (::stat(file_.c_str(), &info) != 0) return {};
  return {static_cast<std::uintmax_t>(info.st_dev), static_cast<std::uintmax_t>(info.st_ino),
          static_cast<std::uintmax_t>(info.st_size),
          static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec, true};
}

const IniEntries& SettingsStore::current() const {
  const FileStamp now = stamp();
  if (!cachedStamp_ || !(*cachedStamp_ == now)) {
    cache_ = now.exists ? parseIni(readWhole(file_)).entries : IniEntries{};
    cachedStamp_ = now;
  }
  return cache_;
}

std::optional<IniValue> SettingsStore::find(std::string_view key, std::string_view name) const {
  const auto path = entryPath(key, name);
  if (!path) return {};
  std::lock_guard guard(mutex_);
  const IniEntries& entries = current();
  const auto found = entries.find(text::upperAscii(*path));
  if (found == entries.end()) return {};
  return found->second.value;
}

std::int32_t SettingsStore::readInt(std::string_view key, std::string_view name, std::int32_t fallback) const {
  const auto value = find(key, name);
  if (!value || value->kind != IniValue::Kind::kText) return fallback;
  return parseInt(value->data).value_or(fallback);
}

std::string SettingsStore::readString(std::string_view key, std::string_view name, std::string_view fallback) const {
  const auto value = find(key, name);
  if (!value || value->kind != IniValue::Kind::kText) return std::string(fallback);
  return value->data;
}

std::vector<std::uint8_t> SettingsStore::readBinary(std::string_view key, std::string_view name,
                                                    std::vector<std::uint8_t> fallback) const {
  const auto value = find(key, name);
  if (!value || value->kind != IniValue::Kind::kBinary) return fallback;
  return {value->data.begin(), value->data.end()};
}

bool SettingsStore::contains(std::string_view key, std::string_view name) const {
  return find(key, name).has_value();
}

std::vector<std::string> SettingsStore::valueNames(std::string_view key) const {
  const auto group = groupOf(key);
  if (!group) return {};
  const std::string prefix = group->empty() ? std::string{} : text::upperAscii(*group) + '/';
  std::lock_guard guard(mutex_);
  std::vector<std::string> names;
  for (const auto& [folded, entry] : current()) {
    if (!folded.starts_with(prefix) || folded.find('/', prefix.size()) != std::string::npos) continue;
    names.push_back(entry.path.substr(prefix.size()));
  }
  return names;
}

bool SettingsStore::apply(const SettingsBatch& batch) {
  std::lock_guard guard(mutex_);
  std::error_code ignored;
  fs::create_directories(file_.parent_path(), ignored);
  FileDescriptor lock(::open(withSuffix(file_, ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (lock.get() < 0 || !lockExclusive(lock.get())) return false;

  const std::string before = readWhole(file_);
  IniDocument doc = parseIni(before);
  batch.applyTo(doc.entries);
  const std::string after = formatIni(doc.entries);
  // Saved often (a crash should lose little): an unchanged file is left alone.
  if (after == before && doc.malformedLines == 0) return true;
  if (doc.malformedLines > 0) setAside(before);
  const bool written = replaceFile(file_, after, FileAccess::kPrivate);
  cachedStamp_.reset();
  return written;
}

// The unreadable text goes to "<file>.bad.1", the earlier ones move up to ".bad.3".
void SettingsStore::setAside(const std::string& text) {
  std::error_code ignored;
  for (int n = kBadCopies; n > 1; --n)
    fs::rename(badCopy(n - 1), badCopy(n), ignored);
  replaceFile(badCopy(1), text, FileAccess::kPrivate);
  setAside_ = badCopy(1);
  std::fprintf(stderr, "volta: %s could not be read whole; its text was set aside as %s\n", file_.c_str(),
               setAside_->c_str());
}

fs::path SettingsStore::badCopy(int n) const {
  return withSuffix(file_, ".bad." + std::to_string(n));
}

std::optional<fs::path> SettingsStore::takeSetAside() {
  std::lock_guard guard(mutex_);
  return std::exchange(setAside_, std::nullopt);
}

bool SettingsStore::writeInt(std::string_view key, std::string_view name, std::int32_t value) {
  return apply(SettingsBatch().setInt(key, name, value));
}

bool SettingsStore::writeString(std::string_view key, std::string_view name, std::string_view value) {
  return apply(SettingsBatch().setString(key, name, value));
}

bool SettingsStore::writeBinary(std::string_view key, std::string_view name, const std::vector<std::uint8_t>& value) {
  return apply(SettingsBatch().setBinary(key, name, value));
}

bool SettingsStore::removeValue(std::string_view key, std::string_view name) {
  return apply(SettingsBatch().removeValue(key, name));
}

bool SettingsStore::removeKey(std::string_view key) {
  return apply(SettingsBatch().removeKey(key));
}

}  // namespace volta::platform::settings
