#pragma once

// Counting what run-length data makes without making it: how a check of a
// whole archive gets through tens of megabytes of image data in a few
// milliseconds.

#include <cstdint>
#include <span>

namespace pelvaro::image {

// A byte of run-length data is a pixel of its own, or, with its top two bits
// set, the count of a run (its low six bits) of the byte after it.
inline constexpr std::uint8_t kRunFlag = 0xC0;
inline constexpr std::uint8_t kCountMask = 0x3F;

// The bytes of scanline (padding included) that the run-length `data` makes,
// followed from its first byte until they reach `needed` or the data ends.
// At least `needed` when the data fills that much. Otherwise, where the data
// ran out: a run's count byte without the byte it repeats counts as the end.
std::int64_t CountRunLengthBytes(std::span<const std::uint8_t> data, std::int64_t needed);

}  // namespace pelvaro::image
