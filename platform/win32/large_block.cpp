#include "platform/large_block.h"

namespace pelvaro::platform {

// Large pages on Windows need a privilege no user has by default: a large
// block is ordinary memory, aligned all the same.
void AdviseHugePages(void*, std::size_t) noexcept {}

}  // namespace pelvaro::platform
