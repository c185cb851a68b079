#pragma once

// Decodes the PCX images stored in sprite archives into palette indices.
//
// Layout (all numbers little-endian):
//
//   offset  size  field
//        0     1  manufacturer, always 0x0A
//        1     1  version (not examined: writers disagree on it)
//        2     1  encoding, 1 = run-length
//        3     1  bits per pixel in one plane
//    4..11   2x4  xmin, ymin, xmax, ymax (inclusive bounds: width = xmax - xmin + 1)
//       65     1  number of colour planes
//       66     2  bytes per scanline of one plane (at least the width; the rest is padding)
//      128     -  run-length data, up to the palette
//  size-768  768  the 256-colour palette, red, green, blue each
//
// Run-length data: a byte of 0xC0 or more repeats the byte after it (count in
// its low six bits, 0 to 63; a count of 0 yields nothing); any other byte is one
// pixel. The data is a stream of scanlines of `bytes per line` bytes each: a
// run may carry on into the next scanline, and the bytes past the width are
// padding and dropped. Decoding ends with the last pixel of the last line, so
// that line's padding may be missing, and whatever follows is ignored.
//
// The palette is always the file's last 768 bytes. Files written on their own
// put a marker byte 0x0C before it; a sprite that uses the archive's shared
// palette gets those 768 bytes appended straight after its image data, with no
// marker. So no marker is looked for: a marker byte lies past the last pixel.
//
// Only 256-colour images (8 bits per pixel, one plane) are decoded. Anything
// else, and anything that would make an image wider or taller than kMaxSide or
// of more than kMaxPixels pixels, is refused with its reason. Nothing is
// allocated before the header has been checked against the size of the data:
// each two bytes of data make at most 63 pixels.

#include "base/result.h"
#include "image/indexed_image.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pelvaro::image {

inline constexpr std::size_t kPcxHeaderBytes = 128;
inline constexpr std::size_t kPcxPaletteBytes = kPaletteBytes;

enum class DecodeFault {
  kTooShort,          // fewer bytes than header and palette take: `fileBytes`
  kNotPcx,            // the first byte is not 0x0A: `value`
  kNotRunLength,      // an encoding other than 1: `value`
  kUnsupportedDepth,  // not 8 bits per pixel in one plane: `bitsPerPixel`, `planes`
  kBadBounds,         // xmax below xmin or ymax below ymin: `left`, `top`, `right`, `bottom`
  kTooLarge,          // past kMaxSide or kMaxPixels: `width`, `height`
  kShortLines,        // bytes per line below the width: `bytesPerLine`, `width`
  kDataTooSmall,      // the data could not fill the image even in the longest runs: `dataBytes`, `width`, `height`
  kDataEnds,          // the data ends before the image is full: `row` (from 1) of `height`
};

// What kept an image from being decoded, with the numbers that say why; the
// fields that a fault does not name stay 0.
struct DecodeError {
  DecodeFault fault = DecodeFault::kTooShort;
  std::int64_t fileBytes = 0;
  std::int64_t dataBytes = 0;
  int value = 0;
  int bitsPerPixel = 0;
  int planes = 0;
  int left = 0, top = 0, right = 0, bottom = 0;
  int width = 0;
  int height = 0;
  int bytesPerLine = 0;
  int row = 0;
};

Result<IndexedImage, DecodeError> DecodePcx(std::span<const std::uint8_t> file);

// What DecodePcx would say of `file`, without making the picture: Done where
// it decodes, its DecodeError where it does not. A check of every sprite of
// an archive is mostly this, at a fraction of a decode's cost. With
// `paletteAppended`, the file is `file` followed by a palette of
// kPcxPaletteBytes, as a sprite that uses the shared palette is written: only
// the palette's size counts, so it need not be put there.
Result<Done, DecodeError> CheckPcx(std::span<const std::uint8_t> file, bool paletteAppended = false);

// The refusal in the program's words, one line per element: a heading, then the reason.
std::vector<std::string> DecodeErrorLines(const DecodeError& error);

}  // namespace pelvaro::image
