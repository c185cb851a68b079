#include "win32/back_buffer.h"

#include <algorithm>

namespace pelvaro::win32 {

BackBuffer::BackBuffer(HDC screen, SIZE size) : size_{std::max(1L, size.cx), std::max(1L, size.cy)} {
  memory_ = CreateCompatibleDC(screen);
  // A 32-bit DIB section rather than a bitmap compatible with the screen:
  // the same pixels on any display of today, and under Wine it is made
  // without the round of display queries a compatible bitmap costs there on
  // every paint.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size_.cx;
  info.bmiHeader.biHeight = -size_.cy;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  bitmap_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
  if (memory_ && bitmap_) before_ = SelectObject(memory_, bitmap_);
}

BackBuffer::~BackBuffer() {
  if (before_) SelectObject(memory_, before_);
  if (bitmap_) DeleteObject(bitmap_);
  if (memory_) DeleteDC(memory_);
}

std::span<const std::uint32_t> BackBuffer::Pixels() const {
  if (!before_ || !bits_) return {};
  GdiFlush();
  return {static_cast<const std::uint32_t*>(bits_), static_cast<std::size_t>(size_.cx) * size_.cy};
}

void BackBuffer::CopyTo(HDC screen) const {
  if (before_) BitBlt(screen, 0, 0, size_.cx, size_.cy, memory_, 0, 0, SRCCOPY);
}

}  // namespace pelvaro::win32
