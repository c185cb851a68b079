#pragma once

// Window layouts are drawn in twips (1/1440 inch). The program declares
// itself DPI aware, so Windows does not stretch its windows: a twip becomes
// pixels at the screen's own DPI, 15 twips to the pixel at 96 DPI.

#include <windows.h>

namespace pelvaro::win32 {

// The screen's dots per inch, read once.
int ScreenDpi();

// Twips to pixels at `dpi`, rounded to the nearest pixel.
constexpr int Px(int twips, int dpi) { return (twips * dpi + 720) / 1440; }
inline int Px(int twips) { return Px(twips, ScreenDpi()); }

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

// A child control of `parent` at a place given in twips.
HWND MakeChild(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style, TwipsRect where, int id,
               DWORD exStyle = 0);

// A child control of `parent` in `font`, placed afterwards by its window's
// layout, which follows the window's size.
HWND MakeChildToPlace(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style, int id, HFONT font,
                      DWORD exStyle = 0);

// The outer size of a window with `style` whose client area is the given twips.
SIZE WindowSizeFor(int clientTwipsWidth, int clientTwipsHeight, DWORD style, DWORD exStyle);

// Where a window of `size` stands centred on the work area of the monitor `over` is on.
POINT CentredOn(HWND over, SIZE size);

}  // namespace pelvaro::win32
