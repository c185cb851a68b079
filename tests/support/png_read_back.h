#pragma once

// PNG files read back through libpng, an independent reader that checks the
// signature, the chunk order and every chunk's CRC on the way. Linux only: the
// Windows cross build has no libpng.

#include "image/indexed_image.h"

#include <string>

namespace pelvaro::testing {

// Checks with gtest that `file`, the bytes of a PNG file, is `sprite` as the
// PNG writer promises: 8-bit indexed, not interlaced, all 256 colours, index 0
// alone transparent, the same indices, and nothing after IEND.
void ExpectPngOf(const std::string& file, const image::IndexedImage& sprite);

}  // namespace pelvaro::testing
