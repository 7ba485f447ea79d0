#include "tests/support/lzh_writer.h"

#include <numeric>
#include <stdexcept>

namespace volta::test {

namespace {

constexpr std::uint32_t kDosTime = (10u << 11) | (30u << 5);                // 10:30:00
constexpr std::uint32_t kDosDate = ((1996u - 1980u) << 9) | (4u << 5) | 1;  // 1996-04-01
constexpr std::uint32_t kUnixTime = 828354600;                              // the same moment, UTC
constexpr std::size_t kBlockSymbols = 0xFFFF;

void put(Bytes& out, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i)
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void put(Bytes& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
}

// Most significant bit first, as the Huffman methods read.
class BitWriter {
 public:
  void bits(std::uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
      current_ = static_cast<std::uint8_t>(current_ << 1 | ((value >> i) & 1));
      if (++filled_ == 8) flushByte();
    }
  }
  Bytes finish() {
    while (filled_ != 0)
      bits(0, 1);
    return std::move(out_);
  }

 private:
  void flushByte() {
    out_.push_back(current_);
    current_ = 0;
    filled_ = 0;
  }
  Bytes out_;
  std::uint8_t current_ = 0;
  int filled_ = 0;
};

// Blocks whose code table gives all 256 bytes the length 8 (written through a temporary
// table holding the single symbol "length 8") and whose offset table is a single unused
// symbol; each byte is then its own code.
Bytes literalsOnly(const Bytes& data, int offsetBits) {
  BitWriter out;
  for (std::size_t at = 0; at < data.size(); at += kBlockSymbols) {
    const std::size_t count = std::min(kBlockSymbols, data.size() - at);
    out.bits(static_cast<std::uint32_t>(count), 16);
    out.bits(0, 5);           // temporary table: one symbol...
    out.bits(8 + 2, 5);       // ...the code length 8
    out.bits(256, 9);         // 256 code lengths follow, each the temporary table's symbol
    out.bits(0, offsetBits);  // offset table: one symbol...
    out.bits(0, offsetBits);  // ...never used
    for (std::size_t i = 0; i < count; ++i)
      out.bits(data[at + i], 8);
  }
  return out.finish();
}

std::string withSeparator(const std::string& name, char separator) {
  std::string out = name;
  for (char& c : out)
    if (c == '/') c = separator;
  return out;
}

std::string folderPart(const std::string& name) {
  const auto slash = name.rfind('/');
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

std::string filePart(const LzhMember& member) {
  const auto slash = member.name.rfind('/');
  std::string file = slash == std::string::npos ? member.name : member.name.substr(slash + 1);
  if (!member.symlinkTarget.empty()) file += "|" + member.symlinkTarget;
  return file;
}

// Extended headers: type, data and the size of the next one (2 or 4 bytes wide).
Bytes extendedHeaders(const LzhMember& member, int sizeWidth, bool withName) {
  Bytes out;
  const auto add = [&](std::uint8_t type, const std::string& data) {
    put(out, static_cast<std::uint32_t>(1 + data.size() + sizeWidth), sizeWidth);
    out.push_back(type);
    put(out, data);
  };
  if (withName) add(0x01, filePart(member));
  const std::string folder = folderPart(member.name);
  if (!folder.empty()) add(0x02, withSeparator(folder, '\xFF'));
  put(out, 0, sizeWidth);
  return out;
}

std::uint8_t checksum(const Bytes& header) {
  return static_cast<std::uint8_t>(std::accumulate(header.begin() + 2, header.end(), 0u));
}

void commonFields(Bytes& out, const LzhMember& member, std::uint32_t packed, std::uint32_t time) {
  put(out, member.method);
  put(out, packed, 4);
  put(out, member.claimedSize.value_or(static_cast<std::uint32_t>(member.data.size())), 4);
  put(out, time, 4);
}

Bytes level0(const LzhMember& member, const Bytes& packed) {
  Bytes out{0, 0};
  commonFields(out, member, static_cast<std::uint32_t>(packed.size()), kDosTime | kDosDate << 16);
  out.push_back(0x20);
  out.push_back(0);
  const std::string name = withSeparator(member.name, '\\');
  out.push_back(static_cast<std::uint8_t>(name.size()));
  put(out, name);
  put(out, lzhCrc(member.data), 2);
  out[0] = static_cast<std::uint8_t>(out.size() - 2);
  out[1] = checksum(out);
  return out;
}

// The base header holds the file's name; the folder goes into an extended header, and the
// packed size counts the extended headers too.
Bytes level1(const LzhMember& member, const Bytes& packed) {
  const Bytes extended = extendedHeaders(member, 2, false);
  Bytes out{0, 0};
  commonFields(out, member, static_cast<std::uint32_t>(packed.size() + extended.size() - 2), kDosTime | kDosDate << 16);
  out.push_back(0x20);
  out.push_back(1);
  const std::string name = filePart(member);
  out.push_back(static_cast<std::uint8_t>(name.size()));
  put(out, name);
  put(out, lzhCrc(member.data), 2);
  out.push_back(static_cast<std::uint8_t>(member.os));
  out[0] = static_cast<std::uint8_t>(out.size() - 2 + 2);  // up to the first extended size
  out[1] = static_cast<std::uint8_t>(checksum(out) + extended[0] + extended[1]);
  out.insert(out.end(), extended.begin(), extended.end());
  return out;
}

Bytes level2(const LzhMember& member, const Bytes& packed) {
  Bytes extended = extendedHeaders(member, 2, true);
  // A header whose size ends in a zero byte would read as the end mark: a comment pads it.
  if (((26 + extended.size() - 2) & 0xFF) == 0) {
    extended.resize(extended.size() - 2);
    put(extended, 4, 2);
    extended.push_back(0x3F);
    extended.push_back(' ');
    put(extended, 0, 2);
  }
  Bytes out;
  put(out, static_cast<std::uint32_t>(24 + extended.size()), 2);
  commonFields(out, member, static_cast<std::uint32_t>(packed.size()), kUnixTime);
  out.push_back(0x20);
  out.push_back(2);
  put(out, lzhCrc(member.data), 2);
  out.push_back(static_cast<std::uint8_t>(member.os));
  out.insert(out.end(), extended.begin(), extended.end());
  return out;
}

Bytes level3(const LzhMember& member, const Bytes& packed) {
  const Bytes extended = extendedHeaders(member, 4, true);
  Bytes out;
  put(out, 4, 2);
  commonFields(out, member, static_cast<std::uint32_t>(packed.size()), kUnixTime);
  out.push_back(0x20);
  out.push_back(3);
  put(out, lzhCrc(member.data), 2);
  out.push_back(static_cast<std::uint8_t>(member.os));
  put(out, static_cast<std::uint32_t>(28 + extended.size()), 4);
  out.insert(out.end(), extended.begin(), extended.end());
  return out;
}

Bytes header(const LzhMember& member, const Bytes& packed) {
  switch (member.level) {
    case 0:
      return level0(member, packed);
    case 1:
      return level1(member, packed);
    case 2:
      return level2(member, packed);
    case 3:
      return level3(member, packed);
    default:
      throw std::invalid_argument("no such header level");
  }
}

}  // namespace

std::uint16_t lzhCrc(const Bytes& data) {
  std::uint16_t crc = 0;
  for (std::uint8_t byte : data) {
    crc ^= byte;
    for (int i = 0; i < 8; ++i)
      crc = static_cast<std::uint16_t>(crc & 1 ? (crc >> 1) ^ 0xA001 : crc >> 1);
  }
  return crc;
}

Bytes lzhCompress(const std::string& method, const Bytes& data) {
  if (method == "-lh0-" || method == "-lz4-" || method == "-pm0-" || method == "-lhd-") return data;
  if (method == "-lh5-") return literalsOnly(data, 4);
  if (method == "-lh6-" || method == "-lh7-") return literalsOnly(data, 5);
  throw std::invalid_argument("no encoder for " + method);
}

Bytes buildLzh(const std::vector<LzhMember>& members) {
  Bytes out;
  for (const LzhMember& member : members) {
    const Bytes packed = lzhCompress(member.method, member.data);
    const Bytes head = header(member, packed);
    out.insert(out.end(), head.begin(), head.end());
    out.insert(out.end(), packed.begin(), packed.end());
  }
  out.push_back(0);
  return out;
}

}  // namespace volta::test
