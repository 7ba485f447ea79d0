#pragma once
// The module definition store: everything the player knows about sound modules,
// read from INI-like definition texts (the built-in ones and the user's file).
// One process-wide store of named sections; keys ignore case, and each section
// keeps its entries in file order beside a small hash table for lookup.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace volta::core {

// The entries of one section. Keys and values are views into texts that the
// owning store keeps alive until it is cleared.
class TINIValues {
 public:
  struct Entry {
    std::string_view key;
    std::string_view value;
  };

  explicit TINIValues(std::string name) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  std::optional<std::string_view> find(std::string_view key) const;
  // File order: a replaced key keeps its place, a new key is appended.
  const std::vector<Entry>& entries() const { return entries_; }
  void set(std::string_view key, std::string_view value);

 private:
  static constexpr std::size_t kBuckets = 32;
  static std::size_t bucketOf(std::string_view key);
  const Entry* findEntry(std::string_view key) const;

  std::string name_;
  std::vector<Entry> entries_;
  std::array<std::vector<std::uint32_t>, kBuckets> buckets_;
};

class TINICritical {
 public:
  using Lock = std::unique_lock<std::recursive_mutex>;

  // Compound operations hold this across several lookups; single lookups take it themselves.
  Lock lock() const { return Lock(mutex_); }

  void clear();
  // Parses a copy of the text; relative "#include" names are taken from baseFolder.
  void loadText(std::string_view text, const std::filesystem::path& baseFolder);
  // A file that cannot be read adds nothing and gives false.
  bool loadFile(const std::filesystem::path& path);

  std::string getValue(std::string_view section, std::string_view key, std::string_view fallback = {}) const;
  int getInteger(std::string_view section, std::string_view key, int fallback) const;
  // The section or null; hold lock() while using it.
  const TINIValues* findSection(std::string_view name) const;
  // The value of the name in "alias", or the name itself.
  std::string resolveAlias(std::string_view name) const;

 private:
  struct IncludeState;
  void parse(std::string_view text, const std::filesystem::path& baseFolder, IncludeState& state);
  bool loadFileWith(const std::filesystem::path& path, IncludeState& state);
  void include(std::string_view name, const std::filesystem::path& baseFolder, IncludeState& state);
  std::string_view retain(std::string text);
  TINIValues& sectionFor(std::string_view name);

  mutable std::recursive_mutex mutex_;
  std::vector<std::unique_ptr<const std::string>> buffers_;
  // Section names ignore case too: a user's "[Keyword]" continues the built-in "[keyword]".
  std::unordered_map<std::string, std::unique_ptr<TINIValues>> sections_;
};

// The decimal number at the start of a value (after blanks, with a sign), or none.
std::optional<int> parseDecimal(std::string_view text);

// The process-wide store.
TINICritical& moduleDefinitions();

}  // namespace volta::core
