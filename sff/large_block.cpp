#include "sff/large_block.h"

#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace pelvaro::sff {

namespace {

// Whole huge pages: only those can be advised.
std::size_t RoundedUp(std::size_t bytes) {
  if (bytes > SIZE_MAX - kLargeBlockBytes) throw std::bad_alloc();
  return (bytes + kLargeBlockBytes - 1) & ~(kLargeBlockBytes - 1);
}

}  // namespace

void* AllocateLargeBlock(std::size_t bytes) {
  const std::size_t rounded = RoundedUp(bytes);
  void* block = ::operator new(rounded, std::align_val_t{kLargeBlockBytes});
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // The advice is a wish: where it is refused the memory works all the same.
  (void)::madvise(block, rounded, MADV_HUGEPAGE);
#endif
  return block;
}

void FreeLargeBlock(void* block, std::size_t bytes) noexcept {
  ::operator delete(block, RoundedUp(bytes), std::align_val_t{kLargeBlockBytes});
}

}  // namespace pelvaro::sff
