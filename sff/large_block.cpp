#include "sff/large_block.h"

#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace pelvaro::sff {

void* AllocateLargeBlock(std::size_t bytes) {
  void* block = ::operator new(bytes, std::align_val_t{kLargeBlockBytes});
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // Only whole huge pages can be advised; the tail stays in small ones. The
  // advice is a wish: where it is refused the memory works all the same.
  const std::size_t whole = bytes & ~(kLargeBlockBytes - 1);
  if (whole > 0) (void)::madvise(block, whole, MADV_HUGEPAGE);
#endif
  return block;
}

void FreeLargeBlock(void* block, std::size_t bytes) noexcept {
  ::operator delete(block, bytes, std::align_val_t{kLargeBlockBytes});
}

}  // namespace pelvaro::sff
