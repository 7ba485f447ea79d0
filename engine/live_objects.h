#pragma once
// Handles are addresses of engine objects. Before a command touches one, the handle
// is looked up among the live objects of its kind and its validity word is checked,
// so a stale or garbage handle is refused without being dereferenced.

#include <cstdint>
#include <map>
#include <mutex>

#include "engine/protocol/records.h"
#include "platform/low_memory.h"

namespace volta::engine {

template <class T>
class LiveObjects {
 public:
  void add(T* object) {
    std::lock_guard lock(mutex_);
    objects_[platform::lowAddress(object)] = object;
  }
  void remove(T* object) {
    std::lock_guard lock(mutex_);
    objects_.erase(platform::lowAddress(object));
  }
  // Calls f on every live object, holding the registry so none is removed meanwhile.
  template <class F>
  void forEach(F f) {
    std::lock_guard lock(mutex_);
    for (auto& [handle, object] : objects_)
      f(object);
  }
  // The object behind a handle, or nullptr when the handle names no live, valid one.
  T* find(std::uint32_t handle) {
    std::lock_guard lock(mutex_);
    auto it = objects_.find(handle);
    if (it == objects_.end() || it->second->validity() != protocol::kValidityWord) return nullptr;
    return it->second;
  }

 private:
  std::mutex mutex_;
  std::map<std::uint32_t, T*> objects_;
};

}  // namespace volta::engine
