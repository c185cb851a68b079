#pragma once

// The browser's side of the viewer window: the filter field with its count
// and, under it, what it could not read; the groups the filter keeps; the
// chosen group's rows as a list and as thumbnails (one selection for both);
// the go-to field; and the exports of what is selected, filtered or grouped.
// Both lists are virtual: their cells are formatted from the browser's state
// when Windows asks for them. It draws the browser's state and forwards every
// change to the commands.

#include "commands/main_commands.h"
#include "commands/viewer_state.h"
#include "win32/thumbnail_grid.h"

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelvaro::win32 {

enum BrowserControlId : int {
  kTxtFilter = 451,
  kLblCount,
  kLblFilterNote,
  kLstGroups,
  kLstItems,
  kPicThumbs,
  kTxtGoTo,
  kCmdExport,
  kBrowserControlEnd
};
// The export menu's entries: this, then the index in commands::kExportEntries.
inline constexpr int kMnuExportFirst = 480;

inline constexpr COLORREF kUnreadableText = RGB(0xC0, 0x00, 0x00);
inline constexpr COLORREF kUnreadableBackground = RGB(0xFF, 0xE8, 0xE8);

class BrowserPanel {
 public:
  BrowserPanel(HWND parent, commands::MainCommands& commands);
  ~BrowserPanel();
  BrowserPanel(const BrowserPanel&) = delete;
  BrowserPanel& operator=(const BrowserPanel&) = delete;

  void Layout(const RECT& area);
  void Draw(const commands::ViewerState& viewer);
  void FocusFilter();
  void FocusGoTo();
  // Goes to what the go-to field holds; cleared when there was such a row.
  void GoTo();
  // The export menu, under its button.
  void ShowExportMenu();

  // The parent's WM_COMMAND and WM_NOTIFY; true when they were the browser's.
  bool Command(WPARAM wParam, LPARAM lParam);
  bool Notify(const NMHDR& header, LRESULT& result);
  // The parent's WM_CTLCOLOREDIT and WM_CTLCOLORSTATIC: the filter and its
  // note in red while a term cannot be read. Null for the usual colours.
  HBRUSH Colour(HWND control, HDC dc);

  bool IsBrowserControl(HWND control) const;
  HWND items() const { return items_; }
  // Looked up once: under Wine, GetDlgItem asks its server every time.
  HWND edit(BrowserControlId id) const { return controls_[static_cast<std::size_t>(id - kTxtFilter)]; }
  // Rows one page of the item list holds.
  std::ptrdiff_t PageRows() const;
  // Ctrl+A in the item list.
  void SelectAllItems();
  const ThumbnailGrid& thumbnails() const { return thumbs_; }
  // The item list's thumbnails' side, in screen pixels.
  static int SmallThumbnailSize();
  // The tip a field shows under the pointer.
  std::wstring TipOf(HWND control) const;

 private:
  void BuildControls();
  void ForwardSelection();
  void ThumbnailClicked(std::size_t index, bool control, bool shift);
  void FormatGroupCell(NMLVDISPINFOW& shown) const;
  void FormatItemCell(NMLVDISPINFOW& shown);
  // The small thumbnail of item `index` in the item list's image list, made when first shown.
  int SmallThumbnail(std::size_t index);
  std::optional<int> FocusedItem() const;

  HWND parent_;
  HWND filter_ = nullptr;
  HWND groups_ = nullptr;
  HWND items_ = nullptr;
  ThumbnailGrid thumbs_;
  HBRUSH unreadableBrush_ = nullptr;
  HWND tips_ = nullptr;
  std::array<HWND, kBrowserControlEnd - kTxtFilter> controls_{};
  HIMAGELIST smallThumbnails_ = nullptr;
  std::vector<int> smallSlots_;  // by item: its image in smallThumbnails_, -1 until made
  commands::MainCommands& commands_;

  // What the lists show, as the browser's state was when last drawn.
  const sff::Archive* archive_ = nullptr;
  std::vector<commands::GroupEntry> groupEntries_;
  std::vector<std::size_t> rows_;
  bool unreadable_ = false;
  bool drawing_ = false;  // changes made by Draw are not the user's
  bool drawn_ = false;
  const sff::Archive* drawnArchive_ = nullptr;
  std::optional<std::uint16_t> drawnGroup_;
  std::string drawnFilter_;
};

}  // namespace pelvaro::win32
