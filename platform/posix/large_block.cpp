#include "platform/large_block.h"

#include <sys/mman.h>

namespace pelvaro::platform {

void AdviseHugePages(void* block, std::size_t bytes) noexcept {
#ifdef MADV_HUGEPAGE
  // Linux's transparent huge pages, on request. The advice is a wish: where
  // it is refused the memory works all the same.
  (void)::madvise(block, bytes, MADV_HUGEPAGE);
#else
  (void)block;
  (void)bytes;
#endif
}

}  // namespace pelvaro::platform
