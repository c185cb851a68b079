#pragma once

// Writes an indexed image as a PNG file's bytes: 8-bit colour type 3 (palette),
// a PLTE chunk with all 256 colours, a tRNS chunk that makes index 0 fully
// transparent (sprites use it for the background) and every other index
// opaque, one IDAT chunk of rows filtered with type 0 (none) and compressed with
// zlib, and IEND. Nothing varies from run to run (no time chunk), so the same
// image always gives the same bytes.

#include "image/indexed_image.h"

#include <string>

namespace pelvaro::image {

// The compression level for exports: on the benchmark archive's sprites level 1
// makes files about a tenth larger than level 6 in a third of the time
// (bench/image_bench.cpp has both figures).
inline constexpr int kPngLevel = 1;

// `zlibLevel` is zlib's: 0 (stored) to 9, or -1 for zlib's default.
// Throws std::invalid_argument for an image whose pixels do not match its size,
// one past the decoder's caps (kMaxSide, kMaxPixels) or a level outside that
// range, and std::bad_alloc when memory runs out. Each thread keeps one zlib
// compressor (about 256 KiB) from one image to the next.
std::string EncodeIndexedPng(const IndexedImage& image, int zlibLevel);

}  // namespace pelvaro::image
