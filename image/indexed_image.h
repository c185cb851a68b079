#pragma once

// A 256-colour picture as the sprites store it: one palette index per pixel and
// the palette beside it.

#include "base/palette.h"

#include <cstdint>
#include <vector>

namespace pelvaro::image {

// The largest picture the decoder makes. Sprites are at most a few hundred
// pixels a side; the cap only keeps a damaged header from asking for gigabytes.
// 64 Mi pixels is 64 MiB of indices.
inline constexpr int kMaxSide = 16384;
inline constexpr std::int64_t kMaxPixels = std::int64_t{64} * 1024 * 1024;

struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width * height palette indices, row by row from the top
  Palette palette{};
};

}  // namespace pelvaro::image
