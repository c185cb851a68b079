#pragma once

// Memory for the archive's bytes and other blocks of megabytes. Such a block
// is asked of the system in huge pages where it has them (Linux, with
// transparent huge pages on request): a 100 MB archive is then 50 pages
// rather than 25,000. Filling it costs a fraction of the page faults, and the
// walk over its subfile headers, one per page or so, stops missing the TLB at
// every step. Elsewhere it is ordinary memory, aligned all the same.

#include <cstddef>

namespace pelvaro::platform {

// The size of a huge page, to which large blocks are aligned and rounded up.
inline constexpr std::size_t kLargeBlockBytes = std::size_t{2} << 20;
// From this size on a block is worth its own huge pages: 32 pages of 4 KiB
// or more. Under a hypervisor the first touch of a page can cost 10 to 15 us,
// and zeroing a whole huge page less than a tenth of a millisecond; on bare
// metal the pages cost a few tens of microseconds more than they save.
inline constexpr std::size_t kLargeBlockFrom = std::size_t{128} << 10;

// `bytes` of uninitialised memory, aligned to kLargeBlockBytes; throws
// std::bad_alloc as operator new does.
void* AllocateLargeBlock(std::size_t bytes);
void FreeLargeBlock(void* block, std::size_t bytes) noexcept;

// The system's half (posix/, win32/): asks for huge pages behind a block of
// whole huge pages where the system has them on request, and does nothing
// where it has not.
void AdviseHugePages(void* block, std::size_t bytes) noexcept;

}  // namespace pelvaro::platform
