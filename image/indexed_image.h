#pragma once

// A 256-colour picture as the sprites store it: one palette index per pixel and
// the palette beside it.

#include "base/palette.h"
#include "platform/large_vector.h"

#include <cstdint>

namespace pelvaro::image {

// The largest picture the decoder makes. Sprites are at most a few hundred
// pixels a side; the cap only keeps a damaged header from asking for gigabytes.
// 64 Mi pixels is 64 MiB of indices.
inline constexpr int kMaxSide = 16384;
inline constexpr std::int64_t kMaxPixels = std::int64_t{64} * 1024 * 1024;

// The pixels are left unwritten when made, as the decoder fills each one, and
// a large picture's are in huge pages: a 1280 x 720 picture in 4 KiB pages
// would take 225 page faults, which cost more than decoding it.
using Pixels = platform::LargeVector<std::uint8_t>;

struct IndexedImage {
  int width = 0;
  int height = 0;
  Pixels pixels;  // width * height palette indices, row by row from the top
  Palette palette{};
};

}  // namespace pelvaro::image
