#pragma once

// The sprite viewer's state, the same for every window that draws it: the row
// on show and what was worked out for it (commands/viewed_sprite.h), the zoom
// (fitted to the room until a zoom is picked), the checkerboard and axis
// toggles, and what hovering tells. A window draws from it and forwards its
// input to it; nothing here knows a toolkit.

#include "commands/browser_state.h"
#include "commands/viewed_sprite.h"
#include "sff/archive.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace pelvaro::commands {

// A rectangle in sprite pixels, the picture's top-left at (0, 0).
struct SceneRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const SceneRect&) const = default;
};

inline constexpr int kSceneMargin = 8;       // screen pixels around the area shown
inline constexpr int kAxisReach = 256;       // sprite pixels an axis may lie outside the picture and be shown
inline constexpr int kMaxZoom = 32;
inline constexpr std::array<int, 10> kZoomSteps{1, 2, 3, 4, 6, 8, 12, 16, 24, kMaxZoom};

// The area a sprite is shown in: its picture, and its axis when the axis lies
// outside the picture but within kAxisReach of it, so the crosshair stays in
// view. Empty for a picture of no pixels.
SceneRect SpriteScene(int width, int height, int axisX, int axisY);
// The largest zoom (1 at least, kMaxZoom at most) at which `scene` and its
// margin fit into a room of the given size in screen pixels.
int FitZoom(const SceneRect& scene, int roomWidth, int roomHeight);

class ViewerState {
 public:
  bool open() const { return open_; }
  void SetOpen(bool open) { open_ = open; }

  // Shows display row `row` of `archive`; with no archive or no row, that
  // there is nothing to show. The same row of the same archive is not worked
  // out again.
  void Show(const sff::Archive* archive, std::optional<std::size_t> row);
  // Forgets the row on show: its archive is about to go.
  void Forget();

  const ViewedSprite* shown() const { return shown_ ? &*shown_ : nullptr; }
  // Changes whenever another sprite (or none) comes on show, so a window
  // knows when to take the picture anew.
  std::size_t showing() const { return showing_; }
  // The picture on show; null when the row has none or there is no row.
  const image::IndexedImage* picture() const;
  const sff::Archive* archive() const { return archive_; }
  std::optional<std::size_t> row() const { return shown_ ? std::optional(shown_->row) : std::nullopt; }

  std::string Title() const;
  std::string Status() const;
  // What stands in place of the picture when there is none.
  std::vector<std::string> Message() const;

  // Zoom. While fitting, the zoom follows the room and the sprite on show.
  bool fitting() const { return fit_; }
  int zoom() const { return zoom_; }
  std::string ZoomText() const;
  // The room the picture is shown in, in screen pixels.
  void SetRoom(int width, int height);
  void Fit();
  void ZoomTo(int zoom);
  void ZoomIn();
  void ZoomOut();
  // The area shown of the sprite on show, in sprite pixels.
  SceneRect Scene() const;

  bool transparencyShown = true;  // index 0 over a checkerboard
  bool axisShown = true;

  // The pointer over the picture's pixel (x, y), or off it: the hover text and
  // the marked palette cell follow. A point outside the picture counts as off.
  void HoverPixel(std::optional<std::array<int, 2>> pixel);
  // The pointer over palette cell `index` (0..255), or off the grid.
  void HoverColour(std::optional<int> index);
  const std::string& hoverText() const { return hoverText_; }
  // The palette cell to mark: the one under the pointer, or the colour of the pixel under it.
  std::optional<int> markedColour() const { return marked_; }

  // The browser around the sprite: filter, groups, items and selection.
  const BrowserState& browser() const { return browser_; }
  BrowserState& browser() { return browser_; }

  // A line after the status line: what the last Save as PNG did.
  const std::string& note() const { return note_; }
  void SetNote(std::string note) { note_ = std::move(note); }

 private:
  void Refit();

  bool open_ = false;
  const sff::Archive* archive_ = nullptr;
  std::optional<ViewedSprite> shown_;
  std::size_t showing_ = 0;
  bool fit_ = true;
  int zoom_ = 1;
  int roomWidth_ = 0;
  int roomHeight_ = 0;
  std::string hoverText_;
  std::optional<int> marked_;
  std::string note_;
  BrowserState browser_;
};

}  // namespace pelvaro::commands
