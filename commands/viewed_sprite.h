#pragma once

// What the sprite viewer shows for one row of the list, worked out from the
// archive when the row is shown: the picture decoded from the row's PCX file
// (the bytes the exports write), or the lines that say why there is none, and
// the numbers of its status line. Holds nothing of the archive, so the viewer
// never points into an archive that a new load has replaced.

#include "base/result.h"
#include "export/write_error.h"
#include "image/indexed_image.h"
#include "sff/archive.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelvaro::commands {

struct ViewedSprite {
  std::size_t row = 0;   // display row, from 0
  std::size_t rows = 0;  // rows in the list
  std::uint16_t group = 0;
  std::uint16_t item = 0;
  std::int16_t axisX = 0;
  std::int16_t axisY = 0;
  bool sharedPalette = false;          // the palette flag is 1: the shared palette is appended
  std::optional<std::size_t> linkRow;  // for a linked sprite, the display row of the image it reuses
  std::string pcxName;                 // empty: the row has no image
  std::string pngName;                 // what Save as PNG proposes
  std::optional<sff::FileIdentity> archiveFile;  // the open archive's file, which Save as PNG must not replace
  std::optional<image::IndexedImage> image;
  std::vector<std::string> message;  // in place of a picture: why there is none
};

// Display row `row` (below the archive's row count).
ViewedSprite ViewRow(const sff::Archive& archive, std::size_t row);

// The status line: row, group, item, size, axis, palette, and the row a linked
// sprite takes its image from.
std::string StatusLine(const ViewedSprite& sprite);

// What hovering tells: a colour of the palette, and a pixel of the picture.
std::string ColourText(const image::IndexedImage& image, int index);
std::string PixelText(const image::IndexedImage& image, int x, int y);

// The window's title for the sprite shown (null: none).
std::string ViewerTitle(const ViewedSprite* sprite);

// Writes the sprite's picture as the PNG export writes it, replacing `path`
// safely, unless that is the open archive's own file.
Result<Done, exporter::WriteError> WriteSpritePng(const std::string& path, const ViewedSprite& sprite);

}  // namespace pelvaro::commands
