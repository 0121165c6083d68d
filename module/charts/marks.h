// Per-point 0/1 marks (the points left out of a chart), zero when made: the
// block comes from calloc and the elements are not written again, so that
// the marks of a chart with nothing left out take no memory until one is set
// (the system backs a fresh block that is only read by one page of zeros).
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

namespace ztq {

template <class T>
struct ZeroedAllocator {
  using value_type = T;
  ZeroedAllocator() = default;
  template <class U>
  ZeroedAllocator(const ZeroedAllocator<U>&) noexcept {}  // NOLINT: rebinding

  T* allocate(std::size_t n) {
    if (void* p = std::calloc(n, sizeof(T)); p != nullptr) return static_cast<T*>(p);
    if (n == 0) return nullptr;
    throw std::bad_alloc();
  }
  void deallocate(T* p, std::size_t) noexcept { std::free(p); }

  // A new element is zero: read, and written only where the memory is not
  // zero already (room left by elements removed before).
  template <class U>
  void construct(U* p) {
    if (*reinterpret_cast<const unsigned char*>(p) != 0 || sizeof(U) > 1) ::new (p) U();
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (p) U(std::forward<Args>(args)...);
  }

  friend bool operator==(const ZeroedAllocator&, const ZeroedAllocator&) { return true; }
};

using Marks = std::vector<char, ZeroedAllocator<char>>;

}  // namespace ztq
