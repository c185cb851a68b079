#pragma once

// Vectors of many elements: new elements are left uninitialised rather than
// zeroed (they are filled right after), and a vector of kLargeBlockFrom bytes
// or more lives in a large block, in huge pages where the system has them.

#include "platform/large_block.h"

#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace pelvaro::platform {

// std::allocator, except that an element made without a value is
// default-initialised (for bytes: not written at all) instead of zeroed, and
// that blocks of kLargeBlockFrom bytes or more are large blocks.
template <class T>
class DefaultInitAllocator : public std::allocator<T> {
 public:
  template <class U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  using std::allocator<T>::allocator;

  T* allocate(std::size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
    if (n * sizeof(T) < kLargeBlockFrom) return std::allocator<T>::allocate(n);
    return static_cast<T*>(AllocateLargeBlock(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept {
    if (n * sizeof(T) < kLargeBlockFrom) return std::allocator<T>::deallocate(p, n);
    FreeLargeBlock(p, n * sizeof(T));
  }

  template <class U>
  void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

// A vector of many elements, made without zero-filling them first: the
// archive's bytes (filled by the read), its records (made by their own
// default constructor), the display order (filled by the sort), a decoded
// sprite's pixels (filled by the decoder).
template <class T>
using LargeVector = std::vector<T, DefaultInitAllocator<T>>;

}  // namespace pelvaro::platform
