#include "outside/unlha32/archive.h"

#include <lhasa.h>

#include <cstdio>
#include <cstring>

#include "outside/unlha32/member_names.h"
#include "outside/unlha32/unlha32.h"

namespace volta::unlha {

namespace {

bool isLink(const LHAFileHeader& header) {
  const bool folderMethod = std::strcmp(header.compress_method, LHA_COMPRESS_TYPE_DIR) == 0;
  // A "folder" with a file name is how links are stored.
  return header.symlink_target != nullptr || (folderMethod && header.filename != nullptr && *header.filename != '\0');
}

Member describe(const LHAFileHeader& header) {
  Member member;
  MemberName name = memberName(std::span<const std::uint8_t>(header.raw_data, header.raw_data_len), header.header_level,
                               header.os_type);
  member.name = std::move(name.name);
  member.problem = std::move(name.problem);
  member.method.assign(header.compress_method, strnlen(header.compress_method, sizeof header.compress_method));
  member.length = static_cast<std::uint32_t>(header.length);
  member.compressedLength = static_cast<std::uint32_t>(header.compressed_length);
  member.crc = header.crc;
  member.os = header.os_type;
  member.timestamp = header.timestamp;
  member.link = isLink(header);
  member.folder = !member.link && member.method == LHA_COMPRESS_TYPE_DIR;
  if (member.link) member.problem = "it is a symbolic link";
  if (header.length > UNLHA_MAX_MEMBER_SIZE) member.problem = "it claims " + std::to_string(header.length) + " bytes";
  return member;
}

}  // namespace

struct ArchiveReader::Lhasa {
  FILE* file = nullptr;
  LHAInputStream* stream = nullptr;
  LHAReader* reader = nullptr;
  ~Lhasa() {
    if (reader) lha_reader_free(reader);
    if (stream) lha_input_stream_free(stream);
    if (file) std::fclose(file);
  }
};

std::unique_ptr<ArchiveReader> ArchiveReader::open(const std::filesystem::path& archive) {
  auto lhasa = std::make_unique<Lhasa>();
  lhasa->file = std::fopen(archive.c_str(), "rbe");
  if (!lhasa->file) return nullptr;
  lhasa->stream = lha_input_stream_from_FILE(lhasa->file);
  if (!lhasa->stream) return nullptr;
  lhasa->reader = lha_reader_new(lhasa->stream);
  if (!lhasa->reader) return nullptr;
  // Folders come back once, where they stand; this library sets no folder times.
  lha_reader_set_dir_policy(lhasa->reader, LHA_READER_DIR_PLAIN);
  return std::unique_ptr<ArchiveReader>(new ArchiveReader(std::move(lhasa)));
}

ArchiveReader::ArchiveReader(std::unique_ptr<Lhasa> lhasa) : lhasa_(std::move(lhasa)) {}

ArchiveReader::~ArchiveReader() = default;

std::optional<Member> ArchiveReader::next() {
  const LHAFileHeader* header = lha_reader_next_file(lhasa_->reader);
  if (!header) return std::nullopt;
  return describe(*header);
}

std::size_t ArchiveReader::read(std::span<std::uint8_t> buffer) {
  return lha_reader_read(lhasa_->reader, buffer.data(), buffer.size());
}

std::optional<std::vector<Member>> readMembers(const std::filesystem::path& archive) {
  const auto reader = ArchiveReader::open(archive);
  if (!reader) return std::nullopt;
  std::vector<Member> members;
  while (auto member = reader->next())
    members.push_back(std::move(*member));
  if (members.empty()) return std::nullopt;
  return members;
}

}  // namespace volta::unlha
