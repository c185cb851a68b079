#pragma once

// The archive's bytes in memory: a byte vector whose new elements are left
// uninitialised. The file is read straight into it; zero-filling a 100 MB
// image before the read would cost a third as much again as the read itself.
// A large image lives in huge pages where the system has them.

#include "platform/large_vector.h"

#include <cstdint>

namespace pelvaro::sff {

using platform::DefaultInitAllocator;
using platform::kLargeBlockBytes;
using platform::kLargeBlockFrom;
using platform::LargeVector;

using ByteImage = LargeVector<std::uint8_t>;

}  // namespace pelvaro::sff
