#include "win32/sprite_picture.h"

#include "commands/viewer_state.h"

#include <algorithm>
#include <cstring>

namespace pelvaro::win32 {
namespace {

std::size_t Stride(int width) { return (static_cast<std::size_t>(width) + 3) & ~std::size_t{3}; }

void FillHeader(BITMAPINFOHEADER& header, int width, int height) {
  header = BITMAPINFOHEADER{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = -height;  // top-down, as the picture's rows are kept
  header.biPlanes = 1;
  header.biBitCount = 8;
  header.biCompression = BI_RGB;
  header.biClrUsed = 256;
}

RGBQUAD Quad(BYTE red, BYTE green, BYTE blue) { return RGBQUAD{blue, green, red, 0}; }

HBRUSH MakeCheckerBrush() {
  // One tile: two squares of each shade.
  constexpr int size = 2 * kCheckerSize;
  std::vector<std::uint32_t> tile(size * size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const COLORREF c = ((x / kCheckerSize + y / kCheckerSize) % 2) ? kCheckerDark : kCheckerLight;
      tile[static_cast<std::size_t>(y * size + x)] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, tile.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  HBRUSH brush = CreatePatternBrush(bitmap);
  DeleteObject(bitmap);  // the brush keeps its own copy
  return brush;
}

}  // namespace

SpritePicture::SpritePicture() : checker_(MakeCheckerBrush()) {}

SpritePicture::~SpritePicture() {
  if (checker_) DeleteObject(checker_);
}

void SpritePicture::SetSprite(const image::IndexedImage* sprite, POINT axis) {
  axis_ = axis;
  if (!sprite || sprite->width <= 0 || sprite->height <= 0) {
    width_ = height_ = 0;
    rows_.clear();
    return;
  }
  width_ = sprite->width;
  height_ = sprite->height;
  const std::size_t stride = Stride(width_);
  const auto width = static_cast<std::size_t>(width_);
  rows_.assign(stride * static_cast<std::size_t>(height_), 0);
  for (int y = 0; y < height_; ++y)
    std::memcpy(rows_.data() + static_cast<std::size_t>(y) * stride,
                sprite->pixels.data() + static_cast<std::size_t>(y) * width, width);
  for (ColourTable* table : {&colours_, &zeroBlack_, &mask_}) FillHeader(table->header, width_, height_);
  for (int i = 0; i < 256; ++i) {
    const auto at = static_cast<std::size_t>(i) * 3;
    colours_.colours[i] = Quad(sprite->palette[at], sprite->palette[at + 1], sprite->palette[at + 2]);
    zeroBlack_.colours[i] = i == 0 ? Quad(0, 0, 0) : colours_.colours[i];
    mask_.colours[i] = i == 0 ? Quad(255, 255, 255) : Quad(0, 0, 0);
  }
}

SIZE SpritePicture::ContentSize() const {
  if (empty()) return SIZE{0, 0};
  const commands::SceneRect scene = commands::SpriteScene(width_, height_, axis_.x, axis_.y);
  return SIZE{scene.width * zoom + 2 * commands::kSceneMargin, scene.height * zoom + 2 * commands::kSceneMargin};
}

POINT SpritePicture::Origin(SIZE room, POINT scroll) const {
  const commands::SceneRect scene = commands::SpriteScene(width_, height_, axis_.x, axis_.y);
  const SIZE content = ContentSize();
  const LONG spareX = std::max(room.cx, content.cx) - content.cx;
  const LONG spareY = std::max(room.cy, content.cy) - content.cy;
  return POINT{spareX / 2 + commands::kSceneMargin - scene.x * zoom - scroll.x,
               spareY / 2 + commands::kSceneMargin - scene.y * zoom - scroll.y};
}

void SpritePicture::Paint(HDC dc, SIZE room, POINT scroll) const {
  const RECT all{0, 0, room.cx, room.cy};
  HBRUSH grey = CreateSolidBrush(kRoomColour);
  FillRect(dc, &all, grey);
  DeleteObject(grey);
  if (empty()) return;

  const POINT origin = Origin(room, scroll);
  const int width = width_ * zoom;
  const int height = height_ * zoom;
  const auto* bits = rows_.data();
  if (transparencyShown) {
    // The squares start at the picture's corner; the sprite's shape is cut
    // out of them, and its colours are put into the hole.
    const RECT picture{origin.x, origin.y, origin.x + width, origin.y + height};
    SetBrushOrgEx(dc, ((origin.x % (2 * kCheckerSize)) + 2 * kCheckerSize) % (2 * kCheckerSize),
                  ((origin.y % (2 * kCheckerSize)) + 2 * kCheckerSize) % (2 * kCheckerSize), nullptr);
    FillRect(dc, &picture, checker_);
    StretchDIBits(dc, origin.x, origin.y, width, height, 0, 0, width_, height_, bits,
                  reinterpret_cast<const BITMAPINFO*>(&mask_), DIB_RGB_COLORS, SRCAND);
    StretchDIBits(dc, origin.x, origin.y, width, height, 0, 0, width_, height_, bits,
                  reinterpret_cast<const BITMAPINFO*>(&zeroBlack_), DIB_RGB_COLORS, SRCPAINT);
  } else {
    StretchDIBits(dc, origin.x, origin.y, width, height, 0, 0, width_, height_, bits,
                  reinterpret_cast<const BITMAPINFO*>(&colours_), DIB_RGB_COLORS, SRCCOPY);
  }

  if (axisShown) {
    const int x = origin.x + axis_.x * zoom + zoom / 2;
    const int y = origin.y + axis_.y * zoom + zoom / 2;
    // Black under white dashes: seen on any colour.
    SetBkMode(dc, TRANSPARENT);
    for (const bool dashes : {false, true}) {
      HPEN pen = CreatePen(dashes ? PS_DASH : PS_SOLID, 1, dashes ? RGB(255, 255, 255) : RGB(0, 0, 0));
      HGDIOBJ before = SelectObject(dc, pen);
      MoveToEx(dc, x, 0, nullptr);
      LineTo(dc, x, room.cy);
      MoveToEx(dc, 0, y, nullptr);
      LineTo(dc, room.cx, y);
      SelectObject(dc, before);
      DeleteObject(pen);
    }
  }
}

std::optional<std::array<int, 2>> SpritePicture::PixelAt(POINT point, SIZE room, POINT scroll) const {
  if (empty()) return std::nullopt;
  const POINT origin = Origin(room, scroll);
  // Rounded towards minus infinity: the pixel left of or above the picture is -1, not 0.
  const auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
  const int x = floorDiv(point.x - origin.x, zoom);
  const int y = floorDiv(point.y - origin.y, zoom);
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return std::nullopt;
  return std::array<int, 2>{x, y};
}

void PaintPalette(HDC dc, int cell, const std::array<std::uint8_t, 768>* palette, std::optional<int> marked) {
  const RECT all{0, 0, kPaletteColumns * cell + 1, kPaletteColumns * cell + 1};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  HPEN line = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ oldPen = SelectObject(dc, line);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  for (int i = 0; i < kPaletteColumns * kPaletteColumns; ++i) {
    const int left = (i % kPaletteColumns) * cell;
    const int top = (i / kPaletteColumns) * cell;
    HBRUSH fill = nullptr;
    if (palette) {
      const auto at = static_cast<std::size_t>(i) * 3;
      fill = CreateSolidBrush(RGB((*palette)[at], (*palette)[at + 1], (*palette)[at + 2]));
      SelectObject(dc, fill);
    }
    Rectangle(dc, left, top, left + cell + 1, top + cell + 1);
    if (fill) {
      SelectObject(dc, GetStockObject(NULL_BRUSH));
      DeleteObject(fill);
    }
  }
  if (palette && marked && *marked >= 0 && *marked < 256) {
    // Black inside white, seen on any colour.
    const int left = (*marked % kPaletteColumns) * cell;
    const int top = (*marked / kPaletteColumns) * cell;
    SelectObject(dc, GetStockObject(WHITE_PEN));
    Rectangle(dc, left, top, left + cell + 1, top + cell + 1);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    Rectangle(dc, left + 1, top + 1, left + cell, top + cell);
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(line);
}

std::optional<int> PaletteCellAt(POINT point, int cell) {
  if (point.x < 0 || point.y < 0) return std::nullopt;
  const int column = point.x / cell;
  const int row = point.y / cell;
  if (column >= kPaletteColumns || row >= kPaletteColumns) return std::nullopt;
  return row * kPaletteColumns + column;
}

HGLOBAL ClipboardDib(const image::IndexedImage& sprite) {
  if (sprite.width <= 0 || sprite.height <= 0) return nullptr;
  const std::size_t stride = Stride(sprite.width);
  const std::size_t bytes = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD) + stride * static_cast<std::size_t>(sprite.height);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (!memory) return nullptr;
  auto* block = static_cast<std::uint8_t*>(GlobalLock(memory));
  if (!block) {
    GlobalFree(memory);
    return nullptr;
  }
  BITMAPINFOHEADER header;
  FillHeader(header, sprite.width, sprite.height);
  // Bottom-up, as every reader of the clipboard understands.
  header.biHeight = sprite.height;
  header.biSizeImage = static_cast<DWORD>(stride * static_cast<std::size_t>(sprite.height));
  std::memcpy(block, &header, sizeof header);
  auto* colours = reinterpret_cast<RGBQUAD*>(block + sizeof header);
  for (int i = 0; i < 256; ++i) {
    const auto at = static_cast<std::size_t>(i) * 3;
    colours[i] = Quad(sprite.palette[at], sprite.palette[at + 1], sprite.palette[at + 2]);
  }
  std::uint8_t* rows = block + sizeof header + 256 * sizeof(RGBQUAD);
  const auto width = static_cast<std::size_t>(sprite.width);
  for (int y = 0; y < sprite.height; ++y)
    std::memcpy(rows + static_cast<std::size_t>(sprite.height - 1 - y) * stride,
                sprite.pixels.data() + static_cast<std::size_t>(y) * width, width);
  GlobalUnlock(memory);
  return memory;
}

}  // namespace pelvaro::win32
