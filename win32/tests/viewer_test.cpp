// The sprite viewer: opened from the list by Enter, following the list's
// current row, stepping it with the keys, telling why a row has no picture;
// and what its GDI drawing puts on screen.

#include "win32/tests/win32_test_support.h"

#include "commands/viewed_sprite.h"
#include "export/messages.h"
#include "tests/support/temp_dir.h"
#include "win32/back_buffer.h"
#include "win32/main_window.h"
#include "win32/sprite_picture.h"
#include "win32/sprite_viewer.h"
#include "win32/wide_text.h"
#include "win32/window_memory.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <numeric>

namespace pelvaro::win32::testing {
namespace {

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Opened as the first time, beside the main window: no place is remembered.
    ForgetPlace(kViewerPlaceName);
    window = std::make_unique<MainWindow>(prompts, "C:\\Tools", [] {});
    ShowWindow(window->hwnd(), SW_SHOW);
    const std::string path = dir / "USER.sff";
    pelvaro::testing::WriteBytes(path, SampleArchive(20, true));
    window->OpenSoon(Widen(path));
    Pump();
  }
  void TearDown() override {
    window.reset();
    Pump();
    ForgetPlace(kViewerPlaceName);
  }
  HWND List() const { return window->control(kLstFiles); }
  void MakeCurrent(int row) {
    ListView_SetItemState(List(), row, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    Pump();
  }
  void PressEnterOnList() {
    SetFocus(List());
    MSG msg{List(), WM_KEYDOWN, VK_RETURN, 0, GetTickCount(), {}};
    if (!window->PreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Pump();
  }
  std::wstring Status() const { return TextOf(GetDlgItem(window->viewerWindow(), kLblStatus)); }
  std::wstring ExpectedStatus() const { return Widen(window->commands().viewer().Status()); }

  pelvaro::testing::TempDir dir;
  ScriptedPrompts prompts;
  std::unique_ptr<MainWindow> window;
};

TEST_F(ViewerTest, EnterOnTheListOpensTheViewerOnTheCurrentRowBesideTheMainWindow) {
  MakeCurrent(3);
  EXPECT_EQ(window->viewerWindow(), nullptr);
  PressEnterOnList();
  HWND viewer = window->viewerWindow();
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(IsWindowVisible(viewer));
  ASSERT_EQ(window->commands().viewer().row(), std::optional<std::size_t>(3));
  EXPECT_EQ(TextOf(viewer), Widen(window->commands().viewer().Title()));
  EXPECT_EQ(Status(), ExpectedStatus());
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(viewer, kPicSprite)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(viewer, kCmdSavePng)));

  RECT main, beside;
  GetWindowRect(window->hwnd(), &main);
  GetWindowRect(viewer, &beside);
  // Beside it, unless the work area has no room on either side: then at its right edge.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window->hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
  const bool roomBeside = monitor.rcWork.right - main.right >= beside.right - beside.left ||
                          main.left - monitor.rcWork.left >= beside.right - beside.left;
  if (roomBeside) {
    EXPECT_TRUE(beside.left >= main.right || beside.right <= main.left)
        << "main " << main.left << ".." << main.right << ", viewer " << beside.left << ".." << beside.right;
  } else {
    EXPECT_EQ(beside.right, monitor.rcWork.right);
  }
  EXPECT_GE(beside.left, monitor.rcWork.left);
  EXPECT_LE(beside.right, monitor.rcWork.right);
  EXPECT_GE(beside.top, monitor.rcWork.top);
  EXPECT_LE(beside.bottom, monitor.rcWork.bottom);
}

TEST_F(ViewerTest, FollowsTheListsCurrentRowAndItsKeysStepTheList) {
  MakeCurrent(0);
  PressEnterOnList();
  HWND viewer = window->viewerWindow();
  ASSERT_NE(viewer, nullptr);

  MakeCurrent(7);
  EXPECT_EQ(window->commands().viewer().row(), std::optional<std::size_t>(7));
  EXPECT_EQ(Status(), ExpectedStatus());
  // With no row keeping the focus, the viewer says so once the list has settled.
  ListView_SetItemState(List(), -1, 0, LVIS_FOCUSED | LVIS_SELECTED);
  Pump();
  EXPECT_EQ(window->commands().viewer().row(), std::nullopt);
  EXPECT_EQ(Narrow(TextOf(GetDlgItem(viewer, kLblMessage))), exporter::NothingToViewLines()[0]);
  MakeCurrent(7);
  EXPECT_EQ(window->commands().viewer().row(), std::optional<std::size_t>(7));

  SendMessageW(viewer, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(window->CurrentRow(), std::optional<std::size_t>(8));
  EXPECT_EQ(window->commands().viewer().row(), std::optional<std::size_t>(8));
  SendMessageW(viewer, WM_KEYDOWN, VK_HOME, 0);
  EXPECT_EQ(window->CurrentRow(), std::optional<std::size_t>(0));
  SendMessageW(viewer, WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(window->CurrentRow(), std::optional<std::size_t>(20));
  EXPECT_EQ(Status(), ExpectedStatus());

  // Zoom from the keyboard leaves fitting; 0 fits again.
  SendMessageW(viewer, WM_KEYDOWN, VK_HOME, 0);
  SendMessageW(viewer, WM_CHAR, L'1', 0);
  EXPECT_FALSE(window->commands().viewer().fitting());
  EXPECT_EQ(window->commands().viewer().zoom(), 1);
  SendMessageW(viewer, WM_CHAR, L'+', 0);
  EXPECT_EQ(window->commands().viewer().zoom(), 2);
  EXPECT_EQ(TextOf(GetDlgItem(viewer, kLblZoom)), Widen(window->commands().viewer().ZoomText()));
  SendMessageW(viewer, WM_CHAR, L'0', 0);
  EXPECT_TRUE(window->commands().viewer().fitting());

  // Esc hides it, and the list no longer drives it.
  SendMessageW(viewer, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(IsWindowVisible(viewer));
  EXPECT_FALSE(window->commands().viewer().open());
}

// The palette grid is drawn again whenever a step brings other colours on show.
TEST_F(ViewerTest, ThePaletteGridIsRedrawnWhenTheColoursOnShowChange) {
  MakeCurrent(0);
  PressEnterOnList();
  HWND palette = GetDlgItem(window->viewerWindow(), kPicPalette);
  ASSERT_NE(palette, nullptr);
  const auto coloursOnShow = [&]() -> std::optional<std::array<std::uint8_t, 768>> {
    const auto* picture = window->commands().viewer().picture();
    if (!picture) return std::nullopt;
    return picture->palette;
  };
  auto shown = coloursOnShow();
  int changes = 0;
  // Every row shares the first one's palette but the last, which has no picture; then back to one of them.
  std::vector<int> rows(20);
  std::iota(rows.begin(), rows.end(), 1);
  rows.push_back(3);
  for (const int row : rows) {
    Pump();
    ListView_SetItemState(List(), row, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    const auto colours = coloursOnShow();
    if (colours == shown) continue;
    ++changes;
    EXPECT_TRUE(GetUpdateRect(palette, nullptr, FALSE)) << "row " << row;
    shown = colours;
  }
  EXPECT_GE(changes, 2);
}

TEST_F(ViewerTest, ARowThatCannotBeDecodedShowsWhyInPlaceOfThePicture) {
  MakeCurrent(0);
  PressEnterOnList();
  HWND viewer = window->viewerWindow();
  ASSERT_NE(viewer, nullptr);
  // The broken sprite, group 2, sorts last.
  MakeCurrent(20);
  ASSERT_EQ(window->commands().viewer().picture(), nullptr);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(viewer, kPicSprite)));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(viewer, kLblMessage)));
  const auto message = window->commands().viewer().Message();
  ASSERT_FALSE(message.empty());
  EXPECT_NE(Narrow(TextOf(GetDlgItem(viewer, kLblMessage))).find(message[0]), std::string::npos);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(viewer, kCmdCopy)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(viewer, kCmdSavePng)));
  EXPECT_TRUE(prompts.asked.empty());
}

// What the picture puts into a 32-bit bitmap of `room`.
std::vector<std::uint32_t> Painted(const SpritePicture& picture, SIZE room) {
  const BackBuffer back(nullptr, room);
  picture.Paint(back.dc(), room, POINT{0, 0});
  const auto pixels = back.Pixels();
  return {pixels.begin(), pixels.end()};
}

std::uint32_t Rgb(int r, int g, int b) { return static_cast<std::uint32_t>((r << 16) | (g << 8) | b); }

TEST(SpritePictureTest, IndexZeroShowsTheCheckerboardOrItsColourAndTheOthersTheirPaletteColours) {
  image::IndexedImage sprite;
  sprite.width = 2;
  sprite.height = 1;
  sprite.pixels = {0, 5};
  for (int i = 0; i < 256; ++i) {
    sprite.palette[static_cast<std::size_t>(i) * 3] = static_cast<std::uint8_t>(i);
    sprite.palette[static_cast<std::size_t>(i) * 3 + 1] = 200;
    sprite.palette[static_cast<std::size_t>(i) * 3 + 2] = 100;
  }
  SpritePicture picture;
  picture.SetSprite(&sprite, POINT{0, 0});
  picture.zoom = 4;
  picture.axisShown = false;
  const SIZE content = picture.ContentSize();
  ASSERT_EQ(content.cx, 2 * 4 + 16);
  const POINT origin = picture.Origin(content, POINT{0, 0});
  const auto at = [&](const std::vector<std::uint32_t>& pixels, int x, int y) {
    return pixels[static_cast<std::size_t>((origin.y + y) * content.cx + origin.x + x)] & 0xFFFFFFu;
  };

  const auto shown = Painted(picture, content);
  EXPECT_EQ(at(shown, 1, 1), Rgb(0xFF, 0xFF, 0xFF));  // the checkerboard's light square
  EXPECT_EQ(at(shown, 5, 2), Rgb(5, 200, 100));
  EXPECT_EQ(shown[0] & 0xFFFFFFu, Rgb(0x80, 0x80, 0x80));  // the room around the picture

  picture.transparencyShown = false;
  const auto opaque = Painted(picture, content);
  EXPECT_EQ(at(opaque, 1, 1), Rgb(0, 200, 100));
  EXPECT_EQ(at(opaque, 7, 3), Rgb(5, 200, 100));

  EXPECT_EQ(picture.PixelAt(POINT{origin.x + 5, origin.y + 3}, content, POINT{0, 0}),
            (std::optional<std::array<int, 2>>{{1, 0}}));
  EXPECT_EQ(picture.PixelAt(POINT{origin.x - 1, origin.y}, content, POINT{0, 0}), std::nullopt);
}

TEST(BackBufferTest, WhatIsDrawnIsCopiedWholeToWhereItIsShown) {
  const BackBuffer drawn(nullptr, SIZE{3, 2});
  const RECT right{2, 0, 3, 2};
  FillRect(drawn.dc(), &right, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const BackBuffer shown(nullptr, SIZE{3, 2});
  drawn.CopyTo(shown.dc());
  const std::vector<std::uint32_t> row{0, 0, 0xFFFFFF};
  std::vector<std::uint32_t> expected = row;
  expected.insert(expected.end(), row.begin(), row.end());
  const auto pixels = shown.Pixels();
  EXPECT_EQ(std::vector<std::uint32_t>(pixels.begin(), pixels.end()), expected);
}

TEST(SpritePictureTest, TheClipboardGetsABottomUpDibWithThePalette) {
  image::IndexedImage sprite;
  sprite.width = 3;
  sprite.height = 2;
  sprite.pixels = {1, 2, 3, 4, 5, 6};
  sprite.palette[3 * 4] = 44;
  HGLOBAL dib = ClipboardDib(sprite);
  ASSERT_NE(dib, nullptr);
  const auto* block = static_cast<const std::uint8_t*>(GlobalLock(dib));
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(block);
  EXPECT_EQ(header->biWidth, 3);
  EXPECT_EQ(header->biHeight, 2);
  EXPECT_EQ(header->biBitCount, 8);
  const auto* colours = reinterpret_cast<const RGBQUAD*>(block + sizeof(BITMAPINFOHEADER));
  EXPECT_EQ(colours[4].rgbRed, 44);
  const std::uint8_t* rows = block + sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);
  EXPECT_EQ(rows[0], 4);  // the bottom row first, each padded to four bytes
  EXPECT_EQ(rows[4], 1);
  GlobalUnlock(dib);
  GlobalFree(dib);
}

}  // namespace
}  // namespace pelvaro::win32::testing
