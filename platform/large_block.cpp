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

void* AllocateLargeBlock(std::size_t bytes) {
  const std::size_t rounded = RoundedUp(bytes);
  void* block = ::operator new(rounded, std::align_val_t{kLargeBlockBytes});
  AdviseHugePages(block, rounded);
  return block;
}

void FreeLargeBlock(void* block, std::size_t bytes) noexcept {
  ::operator delete(block, RoundedUp(bytes), std::align_val_t{kLargeBlockBytes});
}

}  // namespace pelvaro::platform
