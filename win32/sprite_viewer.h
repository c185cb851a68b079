#pragma once

// The sprite viewer and browser: one resizable window beside the main window
// that shows the sprite of the list's current row and follows it, with the
// browser (win32/browser_panel.h) to find, select and export rows. Its size
// and place are remembered (win32/window_memory.h). It draws the viewer's state
// (commands/viewer_state.h) and forwards its input to the commands. Up and
// Down, PageUp and PageDown, Home and End step the list's current row from
// here too, so list and viewer never disagree. The picture is drawn at an
// integer zoom, fitted to the window until +, -, 1 (1:1) or Ctrl+wheel pick
// one and 0 fits again; index 0 over a checkerboard and the axis as a
// crosshair, each with a toggle; the 256 colours beside it, with the pixel
// and colour under the pointer; a status line under it. A row that cannot be
// decoded, or has no image, shows why in place of the picture. Save as PNG
// (Ctrl+S) writes what the PNG export would write for the row; Copy (Ctrl+C)
// puts the picture on the clipboard as a CF_DIB. Ctrl+F goes to the filter,
// Ctrl+G to the go-to field, Esc closes the window from wherever the keys are.

#include "commands/main_commands.h"
#include "commands/viewer_state.h"
#include "win32/browser_panel.h"
#include "win32/sprite_picture.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace pelvaro::win32 {

inline constexpr const wchar_t* kViewerClass = L"PelvaroSpriteViewer";
// Where the window's place is kept, under win32/window_memory.h's key.
inline constexpr const wchar_t* kViewerPlaceName = L"browser";

enum ViewerControlId : int {
  kCmdZoomOut = 401,
  kCmdZoomIn,
  kCmdActualSize,
  kCmdFitWindow,
  kLblZoom,
  kChkTransparent,
  kChkAxis,
  kCmdCopy,
  kCmdSavePng,
  kPicSprite,
  kLblMessage,
  kPicPalette,
  kLblHover,
  kLblStatus,
  kViewerControlEnd
};

class SpriteViewer {
 public:
  SpriteViewer(HWND owner, commands::MainCommands& commands);
  ~SpriteViewer();
  SpriteViewer(const SpriteViewer&) = delete;
  SpriteViewer& operator=(const SpriteViewer&) = delete;

  HWND hwnd() const { return window_; }
  // Looked up once: under Wine, GetDlgItem asks its server every time.
  HWND control(ViewerControlId id) const { return controls_[static_cast<std::size_t>(id - kCmdZoomOut)]; }

  // Draws `viewer`; the picture is taken anew only when another sprite came on show.
  void Draw(const commands::ViewerState& viewer);
  // Shown beside its owner the first time, inside the work area of the owner's monitor.
  void Show();
  void Hide();
  // Puts the picture on show on the clipboard.
  void Copy();
  BrowserPanel& browser() { return *browser_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK CanvasProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PaletteProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ChildKeysProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleCanvas(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandlePalette(UINT message, WPARAM wParam, LPARAM lParam);

  void BuildControls();
  void Layout();
  // Keeps the window's place, once per showing.
  void Remember();
  // Tab and Shift+Tab through the browser's fields and lists.
  void NextControl(HWND from, bool back);
  void UpdateScrollBars();
  void Scroll(int bar, WORD request);
  void Command(int id);
  bool Key(WPARAM key);
  bool Character(wchar_t c);
  // The keys of the whole window, wherever the focus is: true when used.
  bool WindowKey(WPARAM key);
  // A key pressed in one of the browser's controls: true when used here.
  bool ChildKey(HWND child, WPARAM key);
  // Alt and a caption's underlined letter.
  bool AccessKey(wchar_t c);
  // Runs `edit` on the viewer's state, then draws it.
  template <class Edit>
  void Update(Edit edit);
  SIZE Room() const;

  HWND owner_;
  HWND window_ = nullptr;
  HWND canvas_ = nullptr;
  HWND palette_ = nullptr;
  commands::MainCommands& commands_;
  std::unique_ptr<BrowserPanel> browser_;
  // The browser's controls whose keys come here first, with the procedure each had before.
  std::vector<std::pair<HWND, WNDPROC>> childProcedures_;
  std::array<HWND, kViewerControlEnd - kCmdZoomOut> controls_{};
  SpritePicture picture_;
  std::optional<std::array<std::uint8_t, 768>> colours_;
  std::optional<int> marked_;
  POINT scroll_{0, 0};
  std::optional<std::size_t> drawn_;  // the viewer state's showing() last drawn
  bool placed_ = false;
  bool shown_ = false;  // shown and not hidden since: its place is kept when it goes
  bool tracking_ = false;
  int cell_ = 12;
};

}  // namespace pelvaro::win32
