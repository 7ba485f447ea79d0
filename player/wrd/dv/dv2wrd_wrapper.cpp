#include "player/wrd/dv/dv2wrd_wrapper.h"

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace volta::wrd::dv {
namespace {

using ConvertFunction = std::int32_t(char* output, const char* input, std::int32_t length);
using VersionFunction = std::int32_t(void* record);
using DialogFunction = std::int32_t(std::int32_t value);
using BufferFunction = std::int32_t(std::int32_t first, std::int32_t second);

// The version record: a u16 number and a zero-terminated description.
constexpr std::size_t kVersionRecordSize = 1024;

}  // namespace

DV2WRDWrapper::~DV2WRDWrapper() {
  unload();
}

bool DV2WRDWrapper::load(const std::filesystem::path& programFolder) {
  const std::filesystem::path local = programFolder / kLibraryName;
  std::error_code error;
  if (!programFolder.empty() && std::filesystem::exists(local, error) && loadFile(local)) return true;
  return adopt(dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL));
}

bool DV2WRDWrapper::loadFile(const std::filesystem::path& file) {
  return adopt(dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL));
}

bool DV2WRDWrapper::adopt(void* handle) {
  if (handle == nullptr) return false;
  unload();
  handle_ = handle;
  showDialog(0);
  return true;
}

void DV2WRDWrapper::unload() {
  if (handle_ != nullptr) dlclose(handle_);
  handle_ = nullptr;
}

template <typename Function>
Function* DV2WRDWrapper::entry(const char* name) const {
  return handle_ == nullptr ? nullptr : reinterpret_cast<Function*>(dlsym(handle_, name));
}

int DV2WRDWrapper::convertDVtoWRD(std::span<std::uint8_t> output, std::span<const std::uint8_t> input) const {
  auto* convert = entry<ConvertFunction>("convertDVtoWRD");
  if (convert == nullptr || input.size() > INT32_MAX) return -1;
  return convert(reinterpret_cast<char*>(output.data()), reinterpret_cast<const char*>(input.data()),
                 static_cast<std::int32_t>(input.size()));
}

std::optional<DV2WRDVersion> DV2WRDWrapper::version() const {
  auto* getVersion = entry<VersionFunction>("DV2WRD_GetVersion");
  if (getVersion == nullptr) return std::nullopt;
  std::array<char, kVersionRecordSize> record{};
  getVersion(record.data());
  record.back() = '\0';
  std::uint16_t number = 0;
  std::memcpy(&number, record.data(), sizeof number);
  return DV2WRDVersion{number / 100, number % 100, std::string(record.data() + sizeof number)};
}

void DV2WRDWrapper::showDialog(int value) const {
  if (auto* dialog = entry<DialogFunction>("DV2WRD_ShowDialog")) dialog(value);
}

int DV2WRDWrapper::getBuffer(int first, int second) const {
  auto* getBufferEntry = entry<BufferFunction>("DV2WRD_GetBuffer");
  return getBufferEntry == nullptr ? -1 : getBufferEntry(first, second);
}

std::string aboutLine(const DV2WRDWrapper& converter) {
  const auto version = converter.version();
  if (!version) return {};
  char line[512];
  std::snprintf(line, sizeof line, "DV2WRD32.DLL Ver.%d.%d %s", version->major, version->minor,
                version->description.c_str());
  return line;
}

std::optional<std::string> convertDvScript(const DV2WRDWrapper& converter, std::span<const std::uint8_t> input) {
  std::vector<std::uint8_t> output(kOutputBufferSize, 0);
  const int length = converter.convertDVtoWRD(output, input);
  if (length < 0) return std::nullopt;
  // A converter claiming more than the buffer holds is not believed beyond the buffer.
  const auto end = output.begin() + std::min<std::ptrdiff_t>(length, static_cast<std::ptrdiff_t>(output.size()));
  std::string text;
  std::copy_if(output.begin(), end, std::back_inserter(text), [](std::uint8_t c) { return c != '\r'; });
  return text;
}

}  // namespace volta::wrd::dv
