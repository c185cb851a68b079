#pragma once

// Builds SFF archives in memory for tests, the sample archive, benchmarks and fuzz seeds. Subfiles follow
// one another, each next offset naming the following one and the last 0; any field can be overridden.

#include "base/palette.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelvaro::testing {

using Bytes = std::vector<std::uint8_t>;

struct SpriteSpec {
  std::uint16_t group = 0;
  std::uint16_t item = 0;
  std::int16_t axisX = 0;
  std::int16_t axisY = 0;
  std::uint16_t link = 0;          // chain position whose image is reused; 0 = own
  std::uint8_t palFlag = 0;        // 1 = uses the shared palette
  Bytes payload;                   // the stored PCX bytes
  std::optional<std::int32_t> next;    // next-subfile offset; default: the following subfile (0 for the last)
  std::optional<std::int32_t> length;  // subfile length field; default: payload size
};

class SffBuilder {
 public:
  SffBuilder& PaletteType(std::uint8_t type) { paletteType_ = type; return *this; }
  SffBuilder& ImageCount(std::int32_t count) { imageCount_ = count; return *this; }
  SffBuilder& Add(SpriteSpec sprite) { sprites_.push_back(std::move(sprite)); return *this; }

  // Offset of the subfile at chain position `i` in the default layout.
  std::int64_t OffsetOf(std::size_t i) const;
  Bytes Build() const;

 private:
  std::uint8_t paletteType_ = 1;
  std::optional<std::int32_t> imageCount_;
  std::vector<SpriteSpec> sprites_;
};

void PutU16(Bytes& b, std::size_t at, std::uint16_t v);
void PutI32(Bytes& b, std::size_t at, std::int32_t v);

// The program's own palette type, for code that names this namespace only.
using pelvaro::Palette;

// A recognisable palette: colour i is (i, 255 - i, seed + i).
Palette TestPalette(std::uint8_t seed);

// The less usual ways of laying out an image, for the decoder's tests.
struct PcxShape {
  int bytesPerLine = 0;          // 0: the width rounded up to even
  std::uint8_t padding = 0;      // the bytes past the width
  bool runsAcrossLines = false;  // runs carry on into the next scanline
  bool emptyRuns = false;        // a run of count 0 (0xC0 and a byte) before every run of scanlines
  bool paletteMarker = true;     // the byte 12 before the palette
};

// An 8-bit run-length-encoded PCX image; with a palette, the marker byte 12 and the 768 palette bytes follow.
Bytes MakePcx(int width, int height, const std::vector<std::uint8_t>& pixels, const Palette* palette,
              const PcxShape& shape = {});

// A patterned picture of width x height (pixels vary with `seed`).
std::vector<std::uint8_t> PatternPixels(int width, int height, int seed);

void WriteBytes(const std::string& path, const Bytes& bytes);
Bytes ReadBytes(const std::string& path);

}  // namespace pelvaro::testing
