#pragma once

// PNG files read back through libpng, an independent reader: once with its
// low-level reader for the header, the palette, the transparency chunk and
// the indices as stored, and once with its simplified reader for the colours a
// viewer shows. libpng checks the signature, the chunk order and every chunk's
// CRC on the way. Linux only: the Windows cross build has no libpng.

#include "image/indexed_image.h"
#include "tests/support/sff_builder.h"

#include <png.h>

#include <string>
#include <vector>

namespace pelvaro::testing {

struct StoredPng {
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colourType = 0, interlace = 0;
  std::vector<png_color> palette;
  std::vector<std::uint8_t> alphas;  // the tRNS entries
  Bytes indices;                     // read only for 8-bit images of one byte a pixel
  std::size_t bytesRead = 0;         // up to the end of IEND
};

// False when libpng refuses the file.
bool ReadStoredPng(const std::string& file, StoredPng& out);

// The picture as a viewer shows it: red, green, blue, alpha per pixel; empty
// when libpng refuses the file.
Bytes ShownColours(const std::string& file);

// Checks with gtest that `file` is `sprite` as the PNG writer promises: 8-bit
// indexed, not interlaced, all 256 colours, index 0 fully transparent, the
// same indices, and nothing after IEND.
void ExpectPngOf(const std::string& file, const image::IndexedImage& sprite);

}  // namespace pelvaro::testing
