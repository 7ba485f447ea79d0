// A stand-in for the outside DV converter: it answers every entry point the player binds and
// remembers how it was called, so the tests can see the binding at work.

#include <cstdint>
#include <cstring>

namespace {
int gDialogValue = -1;
int gDialogCalls = 0;
int gLastLength = -1;
}  // namespace

extern "C" {

// "DV" input becomes "@REM <input>\r\n@END\r\n"; input starting with '!' fails.
__attribute__((visibility("default"))) std::int32_t convertDVtoWRD(char* output, const char* input,
                                                                   std::int32_t length) {
  gLastLength = length;
  if (length > 0 && input[0] == '!') return -3;
  const char head[] = "@REM ";
  const char tail[] = "\r\n@END\r\n";
  char* at = output;
  std::memcpy(at, head, sizeof head - 1);
  at += sizeof head - 1;
  std::memcpy(at, input, static_cast<std::size_t>(length));
  at += length;
  std::memcpy(at, tail, sizeof tail - 1);
  at += sizeof tail - 1;
  return static_cast<std::int32_t>(at - output);
}

__attribute__((visibility("default"))) std::int32_t DV2WRD_GetVersion(void* record) {
  const std::uint16_t number = 123;
  std::memcpy(record, &number, sizeof number);
  std::strcpy(static_cast<char*>(record) + sizeof number, "fake converter");
  return 1;
}

__attribute__((visibility("default"))) std::int32_t DV2WRD_ShowDialog(std::int32_t value) {
  gDialogValue = value;
  ++gDialogCalls;
  return 0;
}

__attribute__((visibility("default"))) std::int32_t DV2WRD_GetBuffer(std::int32_t first, std::int32_t second) {
  return first * 1000 + second;
}

// For the tests: what the converter saw.
__attribute__((visibility("default"))) std::int32_t fakeDialogValue() {
  return gDialogValue;
}
__attribute__((visibility("default"))) std::int32_t fakeDialogCalls() {
  return gDialogCalls;
}
__attribute__((visibility("default"))) std::int32_t fakeLastLength() {
  return gLastLength;
}
}
