#pragma once
// Builds LZH archives for tests: header levels 0 to 3, the stored methods (-lh0-,
// -lz4-, -pm0-) and -lh5-/-lh6-/-lh7- streams of literals only (every byte its own
// 8-bit code, a valid stream that any reader must decode). Members may be folders,
// symbolic links, or lie about their sizes, so readers can be tried on hostile archives.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace volta::test {

using Bytes = std::vector<std::uint8_t>;

struct LzhMember {
  LzhMember(std::string name, Bytes data, std::string method = "-lh0-", int level = 2, char os = 'M',
            std::string symlinkTarget = {}, std::optional<std::uint32_t> claimedSize = {})
      : name(std::move(name)),
        data(std::move(data)),
        method(std::move(method)),
        level(level),
        os(os),
        symlinkTarget(std::move(symlinkTarget)),
        claimedSize(claimedSize) {}

  // Bytes as stored (Shift-JIS allowed); '/' separates folders and is written as each
  // level writes folders (level 0 keeps the name whole, with "\" for "/").
  std::string name;
  Bytes data;
  std::string method;  // -lh0-, -lz4-, -pm0-, -lh5-, -lh6-, -lh7-, -lhd- (folder)
  int level;
  char os;
  std::string symlinkTarget;                 // non-empty: a symbolic link member (levels 1 to 3)
  std::optional<std::uint32_t> claimedSize;  // the original size written in place of the true one
};

// The CRC-16 of LZH archives (polynomial 0xA001, reflected, starting at 0).
std::uint16_t lzhCrc(const Bytes& data);

// The compressed bytes of a method.
Bytes lzhCompress(const std::string& method, const Bytes& data);

// The whole archive, members in order, ending with the end mark.
Bytes buildLzh(const std::vector<LzhMember>& members);

}  // namespace volta::test
