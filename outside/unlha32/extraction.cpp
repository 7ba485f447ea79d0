#include "outside/unlha32/extraction.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>
#include <span>

#include "outside/unlha32/archive.h"
#include "outside/unlha32/member_names.h"
#include "outside/unlha32/unlha32.h"

namespace volta::unlha {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Descriptor& operator=(Descriptor&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now, so a late write error (full disk on some file systems) is seen.
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

Descriptor openFolderAt(int parent, const char* name) {
  return Descriptor(::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

std::vector<std::string> partsOf(const std::string& name) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (at <= name.size()) {
    const std::size_t end = std::min(name.find('/', at), name.size());
    if (end > at) parts.push_back(name.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

// Makes and enters the folders of `parts`, each a real folder; none when one is not.
std::optional<Descriptor> enterFolders(int root, std::span<const std::string> parts, std::string& why) {
  Descriptor current(::dup(root));
  for (const std::string& part : parts) {
    if (::mkdirat(current.get(), part.c_str(), 0700) != 0 && errno != EEXIST) {
      why = "its folder \"" + part + "\" cannot be made: " + std::strerror(errno);
      return std::nullopt;
    }
    Descriptor next = openFolderAt(current.get(), part.c_str());
    if (!next.valid()) {
      why = "\"" + part + "\" is not a real folder";
      return std::nullopt;
    }
    current = std::move(next);
  }
  return current;
}

// A new file of ours alone beside the target, under a name no member has.
std::optional<std::pair<Descriptor, std::string>> createTemporary(int folder) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name =
        ".unlha-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1)) + ".part";
    Descriptor fd(::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (fd.valid()) return std::make_pair(std::move(fd), name);
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t done = ::write(fd, data, size);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    data += done;
    size -= static_cast<std::size_t>(done);
  }
  return true;
}

// Copies the member's data; the reason when it could not be written whole and right.
std::string copyData(ArchiveReader& reader, const Member& member, int fd) {
  std::vector<std::uint8_t> buffer(kChunk);
  std::uint16_t crc = 0;
  std::size_t total = 0;
  while (const std::size_t got = reader.read(buffer)) {
    if (!writeAll(fd, buffer.data(), got)) return std::string("it cannot be written: ") + std::strerror(errno);
    crc = lzhCrc(crc, buffer.data(), got);
    total += got;
  }
  // liblhasa stops early on data it cannot decode, and on methods it lacks (-lh2-, -lh3-).
  if (total < member.length) return "its data cannot be decoded (method " + member.method + ")";
  if (total != member.length || crc != member.crc) return "its data are damaged (CRC error)";
  return {};
}

// The member's file at its name below the folder; the reason when it is not written.
std::string writeMember(ArchiveReader& reader, const Member& member, int root) {
  const std::vector<std::string> parts = partsOf(member.name);
  std::string why;
  auto folder = enterFolders(root, std::span(parts).first(parts.size() - 1), why);
  if (!folder) return why;
  auto temporary = createTemporary(folder->get());
  if (!temporary) return std::string("no file can be made beside it: ") + std::strerror(errno);
  auto& [fd, name] = *temporary;
  why = copyData(reader, member, fd.get());
  if (!fd.close() && why.empty()) why = std::string("it cannot be written: ") + std::strerror(errno);
  if (why.empty() && ::renameat(folder->get(), name.c_str(), folder->get(), parts.back().c_str()) != 0)
    why = std::string("it cannot take its name: ") + std::strerror(errno);
  if (!why.empty()) ::unlinkat(folder->get(), name.c_str(), 0);
  return why;
}

std::string place(ArchiveReader& reader, const Member& member, int root) {
  if (!member.problem.empty()) return "refused: " + member.problem;
  if (member.folder) {
    std::string why;
    const std::vector<std::string> parts = partsOf(member.name);
    return enterFolders(root, parts, why) ? std::string() : why;
  }
  return writeMember(reader, member, root);
}

bool matchesAny(const std::vector<std::string>& patterns, const std::string& name) {
  for (const std::string& pattern : patterns)
    if (matchesPattern(pattern, name)) return true;
  return false;
}

}  // namespace

std::uint16_t lzhCrc(std::uint16_t crc, const std::uint8_t* data, std::size_t size) {
  static const auto table = [] {
    std::array<std::uint16_t, 256> t{};
    for (unsigned i = 0; i < 256; ++i) {
      unsigned c = i;
      for (int bit = 0; bit < 8; ++bit)
        c = c & 1 ? (c >> 1) ^ 0xA001 : c >> 1;
      t[i] = static_cast<std::uint16_t>(c);
    }
    return t;
  }();
  for (std::size_t i = 0; i < size; ++i)
    crc = static_cast<std::uint16_t>((crc >> 8) ^ table[(crc ^ data[i]) & 0xFF]);
  return crc;
}

ExtractionReport extractMembers(const std::filesystem::path& archive, const std::filesystem::path& folder,
                                const std::vector<std::string>& patterns) {
  ExtractionReport report;
  // A trailing "/" would make the last part followed even when it is a link.
  std::string path = folder.string();
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  const Descriptor root(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!root.valid()) {
    report.result = UNLHA_ERROR_FOLDER;
    report.messages.push_back(folder.string() + ": not a real folder");
    return report;
  }
  const auto reader = ArchiveReader::open(archive);
  if (!reader) {
    report.result = UNLHA_ERROR_ARCHIVE;
    report.messages.push_back(archive.string() + ": cannot be opened");
    return report;
  }
  bool matched = false;
  while (const auto member = reader->next()) {
    if (!matchesAny(patterns, member->name)) continue;
    matched = true;
    const std::string why = place(*reader, *member, root.get());
    if (why.empty()) {
      report.written += member->folder ? 0 : 1;
      continue;
    }
    report.messages.push_back(member->name + ": " + why);
    report.result = UNLHA_ERROR_REFUSED;
  }
  if (!matched) report.result = UNLHA_ERROR_NO_MEMBER;
  return report;
}

}  // namespace volta::unlha
