#include "platform/large_block.h"

#include <cstdint>
#include <new>

namespace pelvaro::platform {
namespace {

// Whole huge pages: only those can be advised.
std::size_t RoundedUp(std::size_t bytes) {
  if (bytes > SIZE_MAX - kLargeBlockBytes) throw std::bad_alloc();
  return (bytes + kLargeBlockBytes - 1) & ~(kLargeBlockBytes - 1);
}

}  // namespace

// Large pages on Windows need a privilege no user has by default: the block
// is ordinary memory.
void* AllocateLargeBlock(std::size_t bytes) {
  return ::operator new(RoundedUp(bytes), std::align_val_t{kLargeBlockBytes});
}

void FreeLargeBlock(void* block, std::size_t bytes) noexcept {
  ::operator delete(block, RoundedUp(bytes), std::align_val_t{kLargeBlockBytes});
}

}  // namespace pelvaro::platform
