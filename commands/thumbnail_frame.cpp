#include "commands/thumbnail_frame.h"

#include "sff/byte_reader.h"

#include <algorithm>

namespace pelvaro::commands {

std::optional<SpriteBox> BoxOfRow(const sff::Archive& archive, std::size_t row) {
  const sff::SpriteRecord& record = archive.RecordOfRow(row);
  if (record.DataEnd < record.DataStart) return std::nullopt;
  const sff::ByteReader reader(archive.SffBytes());
  // The image header's inclusive bounds xmin, ymin, xmax, ymax at bytes 4 to 11.
  const std::int64_t at = record.DataStart;
  if (record.DataEnd - record.DataStart + 1 < 12) return std::nullopt;
  const auto xmin = reader.U16le(at + 4), ymin = reader.U16le(at + 6), xmax = reader.U16le(at + 8),
             ymax = reader.U16le(at + 10);
  if (!xmin || !ymin || !xmax || !ymax || *xmax < *xmin || *ymax < *ymin) return std::nullopt;
  return SpriteBox{*xmax - *xmin + 1, *ymax - *ymin + 1, record.AxisX, record.AxisY};
}

SceneRect AxisFrame(std::span<const SpriteBox> boxes) {
  bool any = false;
  int left = 0, top = 0, right = 0, bottom = 0;
  for (const SpriteBox& b : boxes) {
    if (b.width <= 0 || b.height <= 0) continue;
    const int l = -b.axisX, t = -b.axisY, r = l + b.width, d = t + b.height;
    if (!any) {
      left = l, top = t, right = r, bottom = d, any = true;
      continue;
    }
    left = std::min(left, l), top = std::min(top, t), right = std::max(right, r), bottom = std::max(bottom, d);
  }
  if (!any) return {};
  return {left, top, right - left, bottom - top};
}

ThumbnailPlace PlaceInCell(const SpriteBox& box, const SceneRect& frame, int cell) {
  ThumbnailPlace place;
  if (frame.width <= 0 || frame.height <= 0 || cell <= 0) return place;
  constexpr double kMostEnlarged = 4;
  const double fit = std::min(double(cell) / frame.width, double(cell) / frame.height);
  place.scale = std::min(fit, kMostEnlarged);
  // The frame centred in the cell, the sprite at its axis's place in the frame.
  const double offsetX = (cell - frame.width * place.scale) / 2;
  const double offsetY = (cell - frame.height * place.scale) / 2;
  place.x = offsetX + (-box.axisX - frame.x) * place.scale;
  place.y = offsetY + (-box.axisY - frame.y) * place.scale;
  return place;
}

}  // namespace pelvaro::commands
