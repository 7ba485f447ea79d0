// The library's entry points: open archives live in a table, so a stale or made-up
// handle is answered with an error instead of being followed.

#include "outside/unlha32/unlha32.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "outside/unlha32/archive.h"
#include "outside/unlha32/command_line.h"
#include "outside/unlha32/extraction.h"
#include "outside/unlha32/member_names.h"
#include "platform/text.h"

namespace {

using volta::unlha::Member;

constexpr int kVersion = 100;

struct OpenArchive {
  std::vector<Member> members;
  std::string wildcard;
  std::size_t next = 0;
};

std::mutex& tableLock() {
  static std::mutex lock;
  return lock;
}

std::unordered_map<void*, std::unique_ptr<OpenArchive>>& table() {
  static std::unordered_map<void*, std::unique_ptr<OpenArchive>> archives;
  return archives;
}

template <std::size_t N>
void copyText(char (&to)[N], const std::string& text) {
  const std::size_t size = std::min(text.size(), N - 1);
  std::memcpy(to, text.data(), size);
  to[size] = '\0';
}

void dosStamp(std::uint32_t timestamp, UnlhaMemberInfo& info) {
  const std::time_t time = timestamp;
  std::tm parts{};
  if (!gmtime_r(&time, &parts) || parts.tm_year < 80) return;
  info.date = static_cast<std::uint16_t>((parts.tm_year - 80) << 9 | (parts.tm_mon + 1) << 5 | parts.tm_mday);
  info.time = static_cast<std::uint16_t>(parts.tm_hour << 11 | parts.tm_min << 5 | parts.tm_sec / 2);
}

void fill(const Member& member, UnlhaMemberInfo& info) {
  std::memset(&info, 0, sizeof info);
  info.originalSize = member.length;
  info.compressedSize = member.compressedLength;
  info.crc = member.crc;
  info.flag = member.problem.empty() ? 0 : 1;
  info.osType = member.os;
  info.ratio = member.length == 0 ? 0
                                  : static_cast<std::uint16_t>(std::min<std::uint64_t>(
                                        std::uint64_t{member.compressedLength} * 1000 / member.length, 0xFFFF));
  dosStamp(member.timestamp, info);
  copyText(info.fileName, member.name);
  copyText(info.attribute, member.folder ? "d" : member.link ? "l" : "-");
  copyText(info.mode, member.method);
}

// The next member of an open archive matching its wildcard.
int findNext(void* handle, UnlhaMemberInfo* info) {
  std::lock_guard lock(tableLock());
  const auto found = table().find(handle);
  if (found == table().end() || info == nullptr) return UNLHA_BAD_HANDLE;
  OpenArchive& archive = *found->second;
  while (archive.next < archive.members.size()) {
    const Member& member = archive.members[archive.next++];
    if (!volta::unlha::matchesPattern(archive.wildcard, member.name)) continue;
    fill(member, *info);
    return UNLHA_FOUND;
  }
  return UNLHA_NO_MORE;
}

// Lines of text into the caller's buffer, cut to its size.
void writeOutput(const std::vector<std::string>& lines, char* output, std::uint32_t size) {
  if (output == nullptr || size == 0) return;
  std::string text;
  for (const std::string& line : lines)
    text += line + "\n";
  const std::size_t length = std::min<std::size_t>(text.size(), size - 1);
  std::memcpy(output, text.data(), length);
  output[length] = '\0';
}

volta::unlha::ExtractionReport run(const char* commandLine) {
  volta::unlha::ExtractionReport report;
  const auto command = commandLine ? volta::unlha::parseCommandLine(commandLine) : std::nullopt;
  const bool extracting = command && (volta::platform::text::equalsIgnoringCase(command->command, "e") ||
                                      volta::platform::text::equalsIgnoringCase(command->command, "x"));
  if (!extracting || command->arguments.size() < 2) {
    report.result = UNLHA_ERROR_COMMAND;
    report.messages.emplace_back("usage: e [switches] \"ARCHIVE\" \"FOLDER/\" \"PATTERN\" ...");
    return report;
  }
  std::vector<std::string> patterns(command->arguments.begin() + 2, command->arguments.end());
  if (patterns.empty()) patterns.emplace_back("*.*");
  return volta::unlha::extractMembers(command->arguments[0], command->arguments[1], patterns);
}

}  // namespace

extern "C" {

int UnlhaGetVersion(void) {
  return kVersion;
}

int UnlhaSetBackGroundMode(int) {
  return 1;
}

UNLHA_ARCHIVE UnlhaOpenArchive(void*, const char* archive, std::uint32_t) {
  if (archive == nullptr) return nullptr;
  auto members = volta::unlha::readMembers(archive);
  if (!members) return nullptr;
  auto open = std::make_unique<OpenArchive>();
  open->members = std::move(*members);
  void* handle = open.get();
  std::lock_guard lock(tableLock());
  table().emplace(handle, std::move(open));
  return handle;
}

int UnlhaCloseArchive(UNLHA_ARCHIVE archive) {
  std::lock_guard lock(tableLock());
  return table().erase(archive) == 1 ? 0 : UNLHA_BAD_HANDLE;
}

int UnlhaFindFirst(UNLHA_ARCHIVE archive, const char* wildcard, UnlhaMemberInfo* info) {
  {
    std::lock_guard lock(tableLock());
    const auto found = table().find(archive);
    if (found == table().end()) return UNLHA_BAD_HANDLE;
    found->second->wildcard = wildcard && *wildcard ? wildcard : "*.*";
    found->second->next = 0;
  }
  return findNext(archive, info);
}

int UnlhaFindNext(UNLHA_ARCHIVE archive, UnlhaMemberInfo* info) {
  return findNext(archive, info);
}

int Unlha(void*, const char* commandLine, char* output, std::uint32_t outputSize) {
  const volta::unlha::ExtractionReport report = run(commandLine);
  writeOutput(report.messages, output, outputSize);
  return report.result;
}

}  // extern "C"
