#pragma once

// An off-screen picture of a window, drawn whole and then put on screen in
// one copy, so that nothing flickers while it is drawn.

#include <windows.h>

#include <cstdint>
#include <span>

namespace pelvaro::win32 {

class BackBuffer {
 public:
  // A buffer of `size` for drawing what goes to `screen`.
  BackBuffer(HDC screen, SIZE size);
  ~BackBuffer();
  BackBuffer(const BackBuffer&) = delete;
  BackBuffer& operator=(const BackBuffer&) = delete;

  HDC dc() const { return memory_; }
  // What has been drawn: 32-bit pixels (0x00RRGGBB), row after row from the
  // top; empty when the buffer could not be made.
  std::span<const std::uint32_t> Pixels() const;
  // Copies the buffer to `screen` at its top left.
  void CopyTo(HDC screen) const;

 private:
  SIZE size_;
  HDC memory_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  void* bits_ = nullptr;
  HGDIOBJ before_ = nullptr;
};

}  // namespace pelvaro::win32
