#pragma once

// The chosen group's rows as a grid of thumbnails, drawn aligned on their
// axes: every sprite of the group sits in one frame (commands/thumbnail_frame.h),
// so stepping through an animation's thumbnails shows its motion. A
// thumbnail is decoded when it first comes into view and kept until the rows
// change. The selected rows are framed, the current one in the highlight
// colour; a click tells which thumbnail, with Ctrl and Shift.

#include "commands/viewer_state.h"
#include "sff/archive.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace pelvaro::win32 {

inline constexpr const wchar_t* kThumbnailClass = L"PelvaroThumbnails";
inline constexpr int kThumbnailSize = 64;  // a cell's side, in screen pixels at 96 DPI
inline constexpr COLORREF kThumbnailBackground = RGB(0x80, 0x80, 0x80);

// Display row `row` in a `cell` x `cell` thumbnail showing `frame`: 32-bit
// pixels, top-down, index 0 as the background; a cross when the row has no
// picture.
std::vector<std::uint32_t> ThumbnailPixels(const sff::Archive& archive, std::size_t row,
                                           const commands::SceneRect& frame, int cell);

class ThumbnailGrid {
 public:
  ThumbnailGrid(HWND parent, int id);
  HWND hwnd() const { return window_; }

  // Shows `rows` of `archive`, all in the frame of their boxes.
  void SetRows(const sff::Archive* archive, std::vector<std::size_t> rows);
  // Which thumbnails are framed: `selected` by index, `current` in the highlight colour.
  void SetMarks(std::vector<bool> selected, std::optional<std::size_t> current);
  void ScrollTo(std::size_t index);

  const commands::SceneRect& frame() const { return frame_; }
  const std::vector<bool>& selected() const { return selected_; }
  // The thumbnail at `point` of the client area, if any.
  std::optional<std::size_t> IndexAt(POINT point) const;
  // Where thumbnail `index` is in the client area now.
  RECT CellRect(std::size_t index) const;

  std::function<void(std::size_t index, bool control, bool shift)> onClick;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint(HDC dc, const RECT& client);
  int Columns() const;
  int Pitch() const;
  void UpdateScrollBar();
  void ScrollBy(int pixels);

  HWND window_ = nullptr;
  int cell_ = kThumbnailSize;
  const sff::Archive* archive_ = nullptr;
  std::vector<std::size_t> rows_;
  commands::SceneRect frame_;
  std::vector<std::vector<std::uint32_t>> pixels_;  // by index; empty until first shown
  std::vector<bool> selected_;
  std::optional<std::size_t> current_;
  int scroll_ = 0;
};

}  // namespace pelvaro::win32
