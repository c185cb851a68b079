#pragma once

// The archive's bytes in memory: a byte vector whose new elements are left
// uninitialised. The file is read straight into it; zero-filling a 100 MB
// image before the read would cost a third as much again as the read itself.

#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace pelvaro::sff {

// std::allocator, except that an element made without a value is
// default-initialised (for bytes: not written at all) instead of zeroed.
template <class T>
class DefaultInitAllocator : public std::allocator<T> {
 public:
  template <class U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  using std::allocator<T>::allocator;

  template <class U>
  void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

using ByteImage = std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>>;

}  // namespace pelvaro::sff
