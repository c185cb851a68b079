#include "commands/window_place.h"

#include <algorithm>
#include <cstdint>

namespace pelvaro::commands {
namespace {

// How much of a window's top edge must be on a screen to be grabbed and moved.
constexpr int kGrabWidth = 100;
constexpr int kGrabHeight = 24;

// In 64 bits: a remembered place is read from settings that anyone may have
// edited, and its edges must not overflow.
bool TopEdgeOn(const ScreenRect& window, const ScreenRect& area) {
  using Wide = std::int64_t;
  const Wide left = std::max<Wide>(window.x, area.x);
  const Wide right = std::min(Wide{window.x} + window.width, Wide{area.x} + area.width);
  const Wide grabbable = std::min(window.width, kGrabWidth);
  return right - left >= grabbable && window.y >= area.y && Wide{window.y} + kGrabHeight <= Wide{area.y} + area.height;
}

}  // namespace

std::optional<ScreenRect> RestoredPlace(const ScreenRect& saved, std::span<const ScreenRect> screens) {
  if (saved.width <= 0 || saved.height <= 0) return std::nullopt;
  for (const ScreenRect& area : screens)
    if (TopEdgeOn(saved, area)) return saved;
  return std::nullopt;
}

ScreenRect PlaceBeside(const ScreenRect& owner, int width, int height, const ScreenRect& area) {
  ScreenRect place;
  place.width = std::clamp(width, 1, std::max(1, area.width));
  place.height = std::clamp(height, 1, std::max(1, area.height));
  const int areaRight = area.x + area.width;
  if (owner.x + owner.width + place.width <= areaRight) {
    place.x = owner.x + owner.width;
  } else if (owner.x - place.width >= area.x) {
    place.x = owner.x - place.width;
  } else {
    place.x = areaRight - place.width;
  }
  place.x = std::clamp(place.x, area.x, areaRight - place.width);
  place.y = std::clamp(owner.y, area.y, area.y + area.height - place.height);
  return place;
}

}  // namespace pelvaro::commands
