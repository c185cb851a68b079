#pragma once

// Thumbnails of a group drawn aligned on their axes: every sprite of the
// group sits in one frame, the same for all, at the place its axis gives it,
// so that stepping through an animation's thumbnails shows its motion.

#include "commands/viewer_state.h"
#include "sff/archive.h"

#include <cstddef>
#include <optional>
#include <span>

namespace pelvaro::commands {

struct SpriteBox {
  int width = 0;
  int height = 0;
  int axisX = 0;
  int axisY = 0;
};

// Display row `row`'s size, read from its image's header without decoding
// it, and its axis; nothing when the row's image is too short to say.
std::optional<SpriteBox> BoxOfRow(const sff::Archive& archive, std::size_t row);

// The smallest frame, in pixels relative to the axis, that holds every box
// with its axis at (0, 0); empty for no boxes or boxes of no pixels.
SceneRect AxisFrame(std::span<const SpriteBox> boxes);

// Where a sprite goes in a thumbnail cell of `cell` x `cell` pixels showing
// `frame`: the scale (no more than 1 unless the frame is smaller than the
// cell, then at most 4) and the sprite's top-left corner in the cell.
struct ThumbnailPlace {
  double scale = 1;
  double x = 0;
  double y = 0;
};
ThumbnailPlace PlaceInCell(const SpriteBox& box, const SceneRect& frame, int cell);

}  // namespace pelvaro::commands
