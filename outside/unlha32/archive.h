#pragma once
// An LZH archive read through liblhasa: its members in order, and the data of each in
// turn. liblhasa decodes every header level and method; names come from member_names.h.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace volta::unlha {

struct Member {
  std::string name;     // UTF-8, "/" between folders
  std::string problem;  // why it would be refused; empty when it can be extracted
  std::string method;   // "-lh5-", ...
  std::uint32_t length = 0;
  std::uint32_t compressedLength = 0;
  std::uint16_t crc = 0;
  std::uint8_t os = 0;
  std::uint32_t timestamp = 0;  // Unix time
  bool folder = false;
  bool link = false;
};

// Reads the archive from its start, one member at a time.
class ArchiveReader {
 public:
  // None when the file cannot be opened.
  static std::unique_ptr<ArchiveReader> open(const std::filesystem::path& archive);
  ~ArchiveReader();
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  // The next member; none at the end, or at a header that cannot be read.
  std::optional<Member> next();
  // The current member's data, decoded: the bytes read into `buffer`, 0 at its end.
  std::size_t read(std::span<std::uint8_t> buffer);

 private:
  struct Lhasa;
  explicit ArchiveReader(std::unique_ptr<Lhasa> lhasa);
  std::unique_ptr<Lhasa> lhasa_;
};

// Every member the reader gets to; none when the file cannot be opened or holds no member.
std::optional<std::vector<Member>> readMembers(const std::filesystem::path& archive);

}  // namespace volta::unlha
