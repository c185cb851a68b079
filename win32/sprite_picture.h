#pragma once

// What the sprite viewer draws with GDI, kept apart from its window: the
// sprite at an integer zoom over a grey room, index 0 over a checkerboard and
// the axis as a crosshair, each with a toggle; and the 16 x 16 grid of the
// palette with the marked colour. The 8-bit picture is copied once per
// sprite into a DIB's rows; every paint then goes to the screen through
// StretchDIBits with 256-entry colour tables, with no decode and no
// per-pixel call.

#include "image/indexed_image.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace pelvaro::win32 {

inline constexpr COLORREF kRoomColour = RGB(0x80, 0x80, 0x80);
inline constexpr COLORREF kCheckerLight = RGB(0xFF, 0xFF, 0xFF);
inline constexpr COLORREF kCheckerDark = RGB(0xCC, 0xCC, 0xCC);
inline constexpr int kCheckerSize = 8;  // screen pixels of one checkerboard square

class SpritePicture {
 public:
  SpritePicture();
  ~SpritePicture();
  SpritePicture(const SpritePicture&) = delete;
  SpritePicture& operator=(const SpritePicture&) = delete;

  void SetSprite(const image::IndexedImage* sprite, POINT axis);
  bool empty() const { return width_ == 0; }
  int zoom = 1;
  bool transparencyShown = true;
  bool axisShown = true;

  // The size the picture and its margin take at the zoom, in screen pixels.
  SIZE ContentSize() const;
  // Where the picture's top-left pixel lands in a room of `room` scrolled by `scroll`.
  POINT Origin(SIZE room, POINT scroll) const;
  void Paint(HDC dc, SIZE room, POINT scroll) const;
  // The sprite pixel under `point`, nothing off the picture.
  std::optional<std::array<int, 2>> PixelAt(POINT point, SIZE room, POINT scroll) const;

 private:
  struct ColourTable {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  };

  int width_ = 0;
  int height_ = 0;
  POINT axis_{0, 0};
  std::vector<std::uint8_t> rows_;  // top-down rows, each padded to four bytes
  ColourTable colours_{};           // the palette as it is
  ColourTable zeroBlack_{};         // colour 0 black: ORed over the checkerboard
  ColourTable mask_{};              // colour 0 white, every other black: ANDed to cut the sprite's shape out
  HBRUSH checker_ = nullptr;
};

// The palette grid: 16 x 16 cells of `cell` pixels, the line between them included.
inline constexpr int kPaletteColumns = 16;
void PaintPalette(HDC dc, int cell, const std::array<std::uint8_t, 768>* palette, std::optional<int> marked);
std::optional<int> PaletteCellAt(POINT point, int cell);

// The sprite as a device-independent bitmap in one block of global memory,
// as CF_DIB takes it; null when memory is short.
HGLOBAL ClipboardDib(const image::IndexedImage& sprite);

}  // namespace pelvaro::win32
