#include "platform/low_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define VOLTA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VOLTA_ASAN 1
#endif
#endif
#ifdef VOLTA_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace volta::platform {
namespace {

// Each block is its own mapping: a header page, the user bytes right-aligned against
// a guard page, so that a read past the end of a buffer faults instead of reading a
// neighbour. Under AddressSanitizer the slack in front of the block is poisoned too.
struct Header {
  std::size_t mappingSize;
  std::size_t userSize;
  std::uintptr_t userStart;
};

constexpr std::uintptr_t kFourGiB = std::uintptr_t{1} << 32;
constexpr std::size_t kAlign = 16;

std::size_t pageSize() {
  static const std::size_t size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  return size;
}

std::size_t roundUp(std::size_t value, std::size_t unit) {
  return (value + unit - 1) / unit * unit;
}

void* mapLow(std::size_t size) {
#if defined(__x86_64__) && defined(MAP_32BIT)
  void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
  if (p != MAP_FAILED) return p;
#endif
  // Elsewhere: walk hints upwards from 256 MiB until one is free.
  for (std::uintptr_t hint = std::uintptr_t{1} << 28; hint + size < kFourGiB; hint += std::uintptr_t{1} << 26) {
    void* q = mmap(reinterpret_cast<void*>(hint), size, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
    if (q != MAP_FAILED) return q;
  }
  return nullptr;
}

}  // namespace

void* allocateLow(std::size_t size) {
  const std::size_t page = pageSize();
  const std::size_t aligned = roundUp(size == 0 ? 1 : size, kAlign);
  if (aligned > (std::size_t{1} << 31)) return nullptr;
  const std::size_t body = roundUp(aligned, page);
  const std::size_t mapping = page + body + page;  // header page, body, guard page
  void* base = mapLow(mapping);
  if (!base) return nullptr;
  auto start = reinterpret_cast<std::uintptr_t>(base);
  if (start + mapping > kFourGiB) {
    munmap(base, mapping);
    return nullptr;
  }
  mprotect(reinterpret_cast<void*>(start + page + body), page, PROT_NONE);
  const std::uintptr_t user = start + page + body - aligned;
  auto* header = reinterpret_cast<Header*>(user - sizeof(Header));
  header->mappingSize = mapping;
  header->userSize = size;
  header->userStart = start;
#ifdef VOLTA_ASAN
  ASAN_POISON_MEMORY_REGION(reinterpret_cast<void*>(user + size), aligned - size);
#endif
  return reinterpret_cast<void*>(user);
}

void freeLow(void* block) {
  if (!block) return;
  auto* header = reinterpret_cast<Header*>(static_cast<char*>(block) - sizeof(Header));
  const std::size_t mapping = header->mappingSize;
  void* start = reinterpret_cast<void*>(header->userStart);
#ifdef VOLTA_ASAN
  ASAN_UNPOISON_MEMORY_REGION(start, mapping);
#endif
  munmap(start, mapping);
}

std::uint32_t lowAddress(const void* block) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(block));
}

}  // namespace volta::platform
