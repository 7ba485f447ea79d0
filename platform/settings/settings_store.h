#pragma once
// The per-user settings that stand for the registry key "Software\QZ\VOLTA" and
// its sub-keys. Values are typed (32-bit integer, string, binary); a value that is
// missing or cannot be read as the asked type yields the caller's default, so
// reading one value is one call. The file is QSettings' INI format
// ($VOLTA_CONFIG_HOME, else $XDG_CONFIG_HOME, else ~/.config, then "QZ/VOLTA.conf").
//
// Every write is a read-modify-write under an exclusive lock on a companion lock
// file, and replaces the file by rename after the new text reached the disk, so
// two programs writing at once never lose each other's values and a crash leaves
// either the old or the new file. Lines that cannot be read are skipped; when a
// write replaces such a file, its previous text is kept beside it as "VOLTA.conf.bad.1"
// (the three latest such texts, newest first), and standard error says so.

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/settings/ini_codec.h"

namespace volta::platform::settings {

inline constexpr std::string_view kMainKey = "Software\\QZ\\VOLTA";

// "Software\QZ\VOLTA\" + name, e.g. subKey("Album").
std::string subKey(std::string_view name);
// "Software\QZ\VOLTA\MIDITemplate%d".
std::string midiTemplateKey(int index);

// A set of changes written together in one atomic replacement of the file.
class SettingsBatch {
 public:
  SettingsBatch& setInt(std::string_view key, std::string_view name, std::int32_t value);
  SettingsBatch& setString(std::string_view key, std::string_view name, std::string_view value);
  SettingsBatch& setBinary(std::string_view key, std::string_view name, const std::vector<std::uint8_t>& value);
  // Removes one value; removing a key removes its values and its sub-keys.
  SettingsBatch& removeValue(std::string_view key, std::string_view name);
  SettingsBatch& removeKey(std::string_view key);

  // Applies the changes to entries in memory; changes naming keys outside the main key are skipped.
  void applyTo(IniEntries& entries) const;
  bool empty() const { return changes_.empty(); }

 private:
  struct Change {
    enum class Op { kSet, kRemoveValue, kRemoveKey } op;
    std::string key;
    std::string name;
    IniValue value;
  };
  SettingsBatch& add(Change change);
  std::vector<Change> changes_;
};

class SettingsStore {
 public:
  static std::filesystem::path defaultPath();
  SettingsStore() : SettingsStore(defaultPath()) {}
  explicit SettingsStore(std::filesystem::path file);

  std::int32_t readInt(std::string_view key, std::string_view name, std::int32_t fallback) const;
  std::string readString(std::string_view key, std::string_view name, std::string_view fallback) const;
  std::vector<std::uint8_t> readBinary(std::string_view key, std::string_view name,
                                       std::vector<std::uint8_t> fallback) const;
  bool contains(std::string_view key, std::string_view name) const;
  // Names of the values directly under a key, sorted without regard to case.
  std::vector<std::string> valueNames(std::string_view key) const;

  // Each returns false when the file could not be written (the change is lost).
  bool apply(const SettingsBatch& batch);
  bool writeInt(std::string_view key, std::string_view name, std::int32_t value);
  bool writeString(std::string_view key, std::string_view name, std::string_view value);
  bool writeBinary(std::string_view key, std::string_view name, const std::vector<std::uint8_t>& value);
  bool removeValue(std::string_view key, std::string_view name);
  bool removeKey(std::string_view key);

  const std::filesystem::path& path() const { return file_; }
  // Where a write last set an unreadable file's text aside, once; none since the last call.
  std::optional<std::filesystem::path> takeSetAside();
  static constexpr int kBadCopies = 3;

 private:
  struct FileStamp {
    std::uintmax_t device = 0, inode = 0, size = 0;
    std::int64_t modifiedNs = 0;
    bool exists = false;
    bool operator==(const FileStamp&) const = default;
  };
  std::optional<IniValue> find(std::string_view key, std::string_view name) const;
  const IniEntries& current() const;  // with mutex_ held
  FileStamp stamp() const;

  void setAside(const std::string& text);
  std::filesystem::path badCopy(int n) const;

  std::filesystem::path file_;
  std::optional<std::filesystem::path> setAside_;
  mutable std::mutex mutex_;
  mutable IniEntries cache_;
  mutable std::optional<FileStamp> cachedStamp_;
};

}  // namespace volta::platform::settings
