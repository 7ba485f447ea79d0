#pragma once
// Shareable low memory: blocks whose addresses fit the 32-bit address fields of the
// engine's shared records. Every block is zero-filled.

#include <cstddef>
#include <cstdint>

namespace volta::platform {

// Returns nullptr when no memory below 4 GiB is left.
void* allocateLow(std::size_t size);
// Accepts nullptr and blocks from allocateLow only.
void freeLow(void* block);

// The 32-bit form of an address from allocateLow (0 for nullptr).
std::uint32_t lowAddress(const void* block);

template <class T>
T* fromLowAddress(std::uint32_t address) {
  return reinterpret_cast<T*>(static_cast<std::uintptr_t>(address));
}

// Objects constructed in low memory; the engine's handles are their addresses.
template <class T, class... Args>
T* newLow(Args&&... args) {
  void* memory = allocateLow(sizeof(T));
  return memory ? new (memory) T(static_cast<Args&&>(args)...) : nullptr;
}

template <class T>
void deleteLow(T* object) {
  if (object) {
    object->~T();
    freeLow(object);
  }
}

}  // namespace volta::platform
