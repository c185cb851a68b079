#include "win32/thumbnail_grid.h"

#include "commands/thumbnail_frame.h"
#include "export/png_export.h"
#include "win32/back_buffer.h"
#include "win32/geometry.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

namespace pelvaro::win32 {
namespace {

constexpr int kGap = 4;  // between thumbnails and around them, in screen pixels at 96 DPI

std::uint32_t Bgr(COLORREF c) {
  return static_cast<std::uint32_t>(GetRValue(c)) << 16 | static_cast<std::uint32_t>(GetGValue(c)) << 8 |
         GetBValue(c);
}

}  // namespace

std::vector<std::uint32_t> ThumbnailPixels(const sff::Archive& archive, std::size_t row,
                                           const commands::SceneRect& frame, int cell) {
  const auto side = static_cast<std::size_t>(std::max(cell, 1));
  std::vector<std::uint32_t> pixels(side * side, Bgr(kThumbnailBackground));
  const auto box = commands::BoxOfRow(archive, row);
  const auto decoded = exporter::DecodeSprite(archive, archive.RecordOfRow(row));
  if (!box || !decoded || decoded->width <= 0 || decoded->height <= 0) {
    // A row with no picture: a cross in place of one.
    const std::uint32_t red = Bgr(RGB(160, 40, 40));
    const int margin = cell / 8;
    for (int i = margin; i < cell - margin; ++i) {
      pixels[static_cast<std::size_t>(i) * side + static_cast<std::size_t>(i)] = red;
      pixels[static_cast<std::size_t>(i) * side + static_cast<std::size_t>(cell - 1 - i)] = red;
    }
    return pixels;
  }
  const commands::ThumbnailPlace place = commands::PlaceInCell(*box, frame, cell);
  const auto& palette = decoded->palette;
  for (int y = 0; y < cell; ++y) {
    const int sy = static_cast<int>(std::floor((y + 0.5 - place.y) / place.scale));
    if (sy < 0 || sy >= decoded->height) continue;
    for (int x = 0; x < cell; ++x) {
      const int sx = static_cast<int>(std::floor((x + 0.5 - place.x) / place.scale));
      if (sx < 0 || sx >= decoded->width) continue;
      const std::uint8_t index =
          decoded->pixels[static_cast<std::size_t>(sy) * static_cast<std::size_t>(decoded->width) +
                          static_cast<std::size_t>(sx)];
      if (index == 0) continue;  // index 0 is transparent
      const std::size_t at = std::size_t{index} * 3;
      pixels[static_cast<std::size_t>(y) * side + static_cast<std::size_t>(x)] =
          static_cast<std::uint32_t>(palette[at]) << 16 | static_cast<std::uint32_t>(palette[at + 1]) << 8 |
          palette[at + 2];
    }
  }
  return pixels;
}

ThumbnailGrid::ThumbnailGrid(HWND parent, int id) {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kThumbnailClass;
    return RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
  cell_ = MulDiv(kThumbnailSize, ScreenDpi(), 96);
  window_ = CreateWindowExW(WS_EX_CLIENTEDGE, kThumbnailClass, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP, 0,
                            0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
  if (!window_) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
}

void ThumbnailGrid::SetRows(const sff::Archive* archive, std::vector<std::size_t> rows) {
  archive_ = archive;
  rows_ = archive ? std::move(rows) : std::vector<std::size_t>{};
  std::vector<commands::SpriteBox> boxes;
  boxes.reserve(rows_.size());
  for (const std::size_t row : rows_)
    if (const auto box = commands::BoxOfRow(*archive_, row)) boxes.push_back(*box);
  frame_ = commands::AxisFrame(boxes);
  pixels_.assign(rows_.size(), {});
  selected_.assign(rows_.size(), false);
  current_.reset();
  scroll_ = 0;
  UpdateScrollBar();
  InvalidateRect(window_, nullptr, FALSE);
}

void ThumbnailGrid::SetMarks(std::vector<bool> selected, std::optional<std::size_t> current) {
  selected.resize(rows_.size(), false);
  if (selected == selected_ && current == current_) return;
  selected_ = std::move(selected);
  current_ = current;
  InvalidateRect(window_, nullptr, FALSE);
}

int ThumbnailGrid::Pitch() const { return cell_ + MulDiv(kGap, ScreenDpi(), 96); }

int ThumbnailGrid::Columns() const {
  RECT client;
  GetClientRect(window_, &client);
  const int gap = Pitch() - cell_;
  return std::max(1, static_cast<int>(client.right - gap) / Pitch());
}

RECT ThumbnailGrid::CellRect(std::size_t index) const {
  const int columns = Columns();
  const int gap = Pitch() - cell_;
  const int x = gap + static_cast<int>(index % static_cast<std::size_t>(columns)) * Pitch();
  const int y = gap + static_cast<int>(index / static_cast<std::size_t>(columns)) * Pitch() - scroll_;
  return RECT{x, y, x + cell_, y + cell_};
}

std::optional<std::size_t> ThumbnailGrid::IndexAt(POINT point) const {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const RECT r = CellRect(i);
    if (PtInRect(&r, point)) return i;
  }
  return std::nullopt;
}

void ThumbnailGrid::UpdateScrollBar() {
  RECT client;
  GetClientRect(window_, &client);
  const int rowsOfCells = static_cast<int>((rows_.size() + static_cast<std::size_t>(Columns()) - 1) /
                                           static_cast<std::size_t>(Columns()));
  const int total = rowsOfCells * Pitch() + (Pitch() - cell_);
  const int page = client.bottom;
  scroll_ = std::clamp(scroll_, 0, std::max(0, total - page));
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = total > page ? total - 1 : 0;
  info.nPage = total > page ? static_cast<UINT>(page) : 0;
  info.nPos = scroll_;
  SetScrollInfo(window_, SB_VERT, &info, TRUE);
}

void ThumbnailGrid::ScrollBy(int pixels) {
  scroll_ += pixels;
  UpdateScrollBar();
  InvalidateRect(window_, nullptr, FALSE);
}

void ThumbnailGrid::ScrollTo(std::size_t index) {
  if (index >= rows_.size()) return;
  RECT client;
  GetClientRect(window_, &client);
  const RECT cell = CellRect(index);
  const int gap = Pitch() - cell_;
  if (cell.top < gap) {
    ScrollBy(cell.top - gap);
  } else if (cell.bottom + gap > client.bottom) {
    ScrollBy(cell.bottom + gap - client.bottom);
  }
}

void ThumbnailGrid::Paint(HDC dc, const RECT& client) {
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = cell_;
  info.bmiHeader.biHeight = -cell_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const RECT cell = CellRect(i);
    if (cell.bottom < 0) continue;
    if (cell.top > client.bottom) break;
    if (pixels_[i].empty()) pixels_[i] = ThumbnailPixels(*archive_, rows_[i], frame_, cell_);
    SetDIBitsToDevice(dc, cell.left, cell.top, static_cast<DWORD>(cell_), static_cast<DWORD>(cell_), 0, 0, 0,
                      static_cast<UINT>(cell_), pixels_[i].data(), &info, DIB_RGB_COLORS);
    const bool current = current_ == i;
    if (selected_[i] || current) {
      RECT around = cell;
      InflateRect(&around, 2, 2);
      HBRUSH brush = GetSysColorBrush(current ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW);
      FrameRect(dc, &around, brush);
      InflateRect(&around, -1, -1);
      FrameRect(dc, &around, brush);
    }
  }
}

LRESULT CALLBACK ThumbnailGrid::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<ThumbnailGrid*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self ? self->Handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT ThumbnailGrid::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_;
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window_, &paint);
      RECT client;
      GetClientRect(window_, &client);
      // Drawn off screen first, so scrolling does not flicker.
      {
        const BackBuffer back(dc, SIZE{client.right, client.bottom});
        Paint(back.dc(), client);
        back.CopyTo(dc);
      }
      EndPaint(window_, &paint);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SIZE:
      UpdateScrollBar();
      InvalidateRect(window_, nullptr, FALSE);
      return 0;
    case WM_VSCROLL: {
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_ALL;
      GetScrollInfo(window_, SB_VERT, &info);
      switch (LOWORD(wParam)) {
        case SB_LINEUP: ScrollBy(-Pitch()); break;
        case SB_LINEDOWN: ScrollBy(Pitch()); break;
        case SB_PAGEUP: ScrollBy(-static_cast<int>(info.nPage)); break;
        case SB_PAGEDOWN: ScrollBy(static_cast<int>(info.nPage)); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: ScrollBy(info.nTrackPos - scroll_); break;
        case SB_TOP: ScrollBy(-scroll_); break;
        case SB_BOTTOM: ScrollBy(info.nMax); break;
        default: break;
      }
      return 0;
    }
    case WM_MOUSEWHEEL: ScrollBy(-GET_WHEEL_DELTA_WPARAM(wParam) * Pitch() / WHEEL_DELTA); return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(window_);
      const auto index = IndexAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      if (index && onClick) onClick(*index, (wParam & MK_CONTROL) != 0, (wParam & MK_SHIFT) != 0);
      return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_NCDESTROY: window_ = nullptr; break;
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace pelvaro::win32
