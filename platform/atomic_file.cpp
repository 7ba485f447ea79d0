#include "platform/atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <optional>
#include <string>
#include <utility>

namespace volta::platform {

namespace {

bool writeAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::filesystem::path folderOf(const std::filesystem::path& file) {
  return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

std::string temporaryPrefix(const std::filesystem::path& file) {
  return "." + file.filename().string() + ".";
}

// The process id of a temporary name "<prefix><pid>.<n>"; none when the name is not one.
std::optional<::pid_t> writerOf(std::string_view name, std::string_view prefix) {
  if (!name.starts_with(prefix)) return std::nullopt;
  name.remove_prefix(prefix.size());
  const std::size_t dot = name.find('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size()) return std::nullopt;
  ::pid_t pid = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + dot, pid);
  if (error != std::errc{} || end != name.data() + dot || pid <= 0) return std::nullopt;
  if (name.substr(dot + 1).find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
  return pid;
}

bool running(::pid_t pid) {
  return ::kill(pid, 0) == 0 || errno == EPERM;
}

// A new hidden file beside `file`, named after it, so that a rename stays within one file system.
std::pair<int, std::string> createTemporary(const std::filesystem::path& file, ::mode_t mode) {
  static std::atomic<unsigned> counter{0};
  const std::string prefix = (folderOf(file) / temporaryPrefix(file)).string() + std::to_string(::getpid());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temp = prefix + "." + std::to_string(counter++);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return {fd, std::move(temp)};
  }
  return {-1, {}};
}

// The replaced file's permissions carry over to its replacement.
void keepMode(int fd, const std::filesystem::path& file) {
  struct stat old {};
  if (::stat(file.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
}

}  // namespace

bool replaceFile(const std::filesystem::path& target, std::string_view text, FileAccess access) {
  const auto [fd, temp] = createTemporary(target, access == FileAccess::kPrivate ? 0600 : 0666);
  if (fd < 0) return false;
  if (access == FileAccess::kShared) keepMode(fd, target);
  const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  // The rename itself reaches the disk with the folder.
  const int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return true;
}

int removeLeftoverTemporaries(const std::filesystem::path& target) {
  const std::string prefix = temporaryPrefix(target);
  std::error_code error;
  int removed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folderOf(target), error)) {
    const auto pid = writerOf(entry.path().filename().string(), prefix);
    if (pid && !running(*pid) && std::filesystem::remove(entry.path(), error)) ++removed;
  }
  return removed;
}

}  // namespace volta::platform
