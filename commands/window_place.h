#pragma once

// Where the browser window goes: its remembered place when that place is on a
// screen that exists now, else beside the main window, inside the available
// area of the main window's screen. Screen pixels, in the desktop's
// coordinates; the same for every front end.

#include <optional>
#include <span>

namespace pelvaro::commands {

struct ScreenRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const ScreenRect&) const = default;
};

// `saved` when enough of it (its top edge, where the title bar is, and a
// part a user can grab) lies on one of `screens`' available areas.
std::optional<ScreenRect> RestoredPlace(const ScreenRect& saved, std::span<const ScreenRect> screens);

// A window of `width` x `height` beside `owner`: to its right when it fits
// there, else to its left, else as far right as the area allows; shrunk to
// the area when larger than it, and never outside it.
ScreenRect PlaceBeside(const ScreenRect& owner, int width, int height, const ScreenRect& area);

}  // namespace pelvaro::commands
