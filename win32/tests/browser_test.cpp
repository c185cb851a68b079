// The browser in the viewer window: the filter narrowing the lists, an
// unreadable term marked, go to, the group choice filling the items and the
// thumbnails, the selection and the exports compared with Save All's files,
// the window's remembered place, and the keys.

#include "win32/tests/win32_test_support.h"

#include "commands/browser_texts.h"
#include "commands/thumbnail_frame.h"
#include "export/messages.h"
#include "sff/sprite_rows.h"
#include "tests/support/temp_dir.h"
#include "win32/browser_panel.h"
#include "win32/folder_chooser.h"
#include "win32/main_window.h"
#include "win32/sprite_viewer.h"
#include "win32/thumbnail_grid.h"
#include "win32/wide_text.h"
#include "win32/window_memory.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>

namespace pelvaro::win32::testing {
namespace {

using pelvaro::testing::Bytes;
using pelvaro::testing::EntriesOf;
using pelvaro::testing::ReadBytes;
using pelvaro::testing::TempDir;

std::vector<std::uint8_t> Solid(int width, int height, std::uint8_t index) {
  return std::vector<std::uint8_t>(static_cast<std::size_t>(width * height), index);
}

// Group 0 items 0..5 (item 2 linked to item 1), group 5 items 0..2, group 7
// items 0..1, and group 9: a 4 x 4 sprite with its axis at its centre and a
// 2 x 2 one with its axis at its top left, so that on their axes the small
// one covers the large one's lower right quarter. In display order rows 0..4
// are 0/0, 0/1, 0/3, 0/4, 0/5; 5..7 group 5; 8, 9 group 7; 10, 11 group 9;
// and the linked 0/2 last, under its source's file name.
Bytes BrowserArchive() {
  using pelvaro::testing::MakePcx;
  using pelvaro::testing::PatternPixels;
  const pelvaro::testing::Palette palette = pelvaro::testing::TestPalette(9);
  pelvaro::testing::SffBuilder b;
  for (std::uint16_t i = 0; i < 6; ++i) {
    if (i == 2) {
      b.Add({.group = 0, .item = 2, .link = 1, .payload = {}});
      continue;
    }
    b.Add({.group = 0,
           .item = i,
           .axisX = static_cast<std::int16_t>(i),
           .palFlag = static_cast<std::uint8_t>(i == 0 ? 0 : 1),
           .payload = MakePcx(3 + i, 2, PatternPixels(3 + i, 2, i), i == 0 ? &palette : nullptr)});
  }
  for (std::uint16_t i = 0; i < 3; ++i)
    b.Add({.group = 5, .item = i, .palFlag = 1, .payload = MakePcx(2, 3, PatternPixels(2, 3, 10 + i), nullptr)});
  for (std::uint16_t i = 0; i < 2; ++i)
    b.Add({.group = 7, .item = i, .palFlag = 1, .payload = MakePcx(4, 1, PatternPixels(4, 1, 20 + i), nullptr)});
  b.Add({.group = 9, .item = 0, .axisX = 2, .axisY = 2, .palFlag = 1, .payload = MakePcx(4, 4, Solid(4, 4, 3), nullptr)});
  b.Add({.group = 9, .item = 1, .palFlag = 1, .payload = MakePcx(2, 2, Solid(2, 2, 4), nullptr)});
  return b.Build();
}

constexpr std::size_t kRows = 13;

class BrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ForgetPlace(kViewerPlaceName);
    window = std::make_unique<MainWindow>(prompts, "C:\\Tools", [] {});
    ShowWindow(window->hwnd(), SW_SHOW);
    archive = dir / "USER.sff";
    pelvaro::testing::WriteBytes(archive, BrowserArchive());
    window->OpenSoon(Widen(archive));
    Pump();
  }
  void TearDown() override {
    window.reset();
    Pump();
    ForgetPlace(kViewerPlaceName);
  }

  HWND OpenViewer(int row = 0) {
    ListView_SetItemState(window->control(kLstFiles), row, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    Pump();
    window->commands().OpenViewer(window->CurrentRow());
    Pump();
    return window->viewerWindow();
  }
  HWND Control(int id) const { return GetDlgItem(window->viewerWindow(), id); }
  const commands::BrowserState& Browser() const { return window->commands().viewer().browser(); }
  std::optional<std::size_t> Row() const { return window->commands().viewer().row(); }
  void Type(int id, const std::wstring& text) {
    SetWindowTextW(Control(id), text.c_str());
    Pump();
  }
  // The viewer and the grid behind their windows, which they keep as the windows' own data.
  BrowserPanel& Panel() const {
    return reinterpret_cast<SpriteViewer*>(GetWindowLongPtrW(window->viewerWindow(), GWLP_USERDATA))->browser();
  }
  const ThumbnailGrid& Thumbnails() const { return Panel().thumbnails(); }
  static int Count(HWND list) { return ListView_GetItemCount(list); }
  static std::wstring Cell(HWND list, int item, int column) {
    wchar_t text[256] = L"";
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = text;
    cell.cchTextMax = 256;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
    return text;
  }
  // A key pressed in `control`, with Ctrl held when asked.
  static void Press(HWND control, WPARAM key, bool withControl = false) {
    BYTE keys[256];
    GetKeyboardState(keys);
    const BYTE before = keys[VK_CONTROL];
    if (withControl) keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(control, WM_KEYDOWN, key, 0);
    keys[VK_CONTROL] = before;
    SetKeyboardState(keys);
    Pump();
  }
  void Select(const std::vector<int>& items) {
    HWND list = Control(kLstItems);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    for (const int item : items) ListView_SetItemState(list, item, LVIS_SELECTED, LVIS_SELECTED);
    Pump();
  }
  // Answers the next folder chooser with `folder`, made first.
  static void ChooseFolder(const std::string& folder) {
    CreateDirectoryW(Widen(folder).c_str(), nullptr);
    ActWhenShown([folder] {
      HWND chooser = FindWindowW(kFolderChooserClass, nullptr);
      if (!chooser || !IsWindowVisible(chooser)) return false;
      SetWindowTextW(GetDlgItem(chooser, kTxtPathId), Widen(folder).c_str());
      SendMessageW(GetDlgItem(chooser, kCmdOkId), BM_CLICK, 0, 0);
      return true;
    });
  }
  // The export menu's entry for `scope` in `format`, chosen into `folder`.
  void Export(commands::BrowserScope scope, commands::ImageFormat format, const std::string& folder) {
    const auto& entries = commands::kExportEntries;
    const auto at = std::find_if(entries.begin(), entries.end(), [&](const commands::ExportEntry& e) {
      return e.scope == scope && e.format == format;
    });
    ASSERT_NE(at, entries.end());
    ChooseFolder(folder);
    SendMessageW(window->viewerWindow(), WM_COMMAND, static_cast<WPARAM>(kMnuExportFirst + (at - entries.begin())), 0);
    ASSERT_TRUE(ActedInTime());
  }
  // What the other exports are held to: the main window's Save All PCX into
  // `pcx`, and the browser's Save All PNG into `png`.
  void SaveAllInto(const std::string& pcx, const std::string& png) {
    ChooseFolder(pcx);
    SendMessageW(window->control(kCmdPcx), BM_CLICK, 0, 0);
    ASSERT_TRUE(ActedInTime());
    Export(commands::BrowserScope::kAll, commands::ImageFormat::kPng, png);
  }
  std::string PcxName(std::size_t row) const {
    return sff::CellText(*window->commands().archive(), row, sff::Column::kPcxName);
  }
  // The files `rows` get from an export, with Save All's `extension`.
  std::vector<std::string> NamesOf(const std::vector<std::size_t>& rows, const std::string& extension) const {
    std::vector<std::string> names;
    for (const std::size_t row : rows) names.push_back(PcxName(row).substr(0, PcxName(row).size() - 4) + extension);
    std::sort(names.begin(), names.end());
    return names;
  }
  // Every file in `part` is Save All's file of that name in `whole`, byte for byte.
  static void ExpectSameFiles(const std::string& part, const std::string& whole) {
    for (const std::string& name : EntriesOf(part)) {
      SCOPED_TRACE(name);
      const Bytes written = ReadBytes(part + name);
      EXPECT_FALSE(written.empty());
      EXPECT_EQ(written, ReadBytes(whole + name));
    }
  }

  TempDir dir;
  ScriptedPrompts prompts;
  std::unique_ptr<MainWindow> window;
  std::string archive;
};

TEST_F(BrowserTest, TheFilterNarrowsTheListsAndCountAndAnUnreadableTermIsMarkedHidingNothing) {
  ASSERT_NE(OpenViewer(), nullptr);
  HWND filter = Control(kTxtFilter);
  wchar_t cue[128] = L"";
  SendMessageW(filter, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), 128);
  EXPECT_EQ(cue, Widen(commands::FilterPlaceholder()));
  EXPECT_EQ(Panel().TipOf(filter), Widen(commands::kFilterTip));
  EXPECT_EQ(TextOf(Control(kLblCount)), L"13 / 13");
  HWND groups = Control(kLstGroups);
  ASSERT_EQ(Count(groups), 4);
  EXPECT_EQ(Cell(groups, 0, 0) + L"|" + Cell(groups, 0, 1) + L"|" + Cell(groups, 0, 2), L"0|6|1");
  EXPECT_EQ(Cell(groups, 3, 0), L"9");
  EXPECT_EQ(Count(Control(kLstItems)), 6);
  EXPECT_EQ(Cell(Control(kLstItems), 5, 2), Widen(commands::kLinkedMark));
  EXPECT_EQ(Cell(Control(kLstItems), 4, 2), L"");

  Type(kTxtFilter, L"5-7");
  EXPECT_EQ(TextOf(Control(kLblCount)), L"5 / 13");
  ASSERT_EQ(Count(groups), 2);
  EXPECT_EQ(Cell(groups, 1, 0) + L"|" + Cell(groups, 1, 1), L"7|2");
  // The row on show gave way to the first row kept, and its group fills the items.
  EXPECT_EQ(Row(), std::optional<std::size_t>(5));
  EXPECT_EQ(window->CurrentRow(), std::optional<std::size_t>(5));
  HWND items = Control(kLstItems);
  ASSERT_EQ(Count(items), 3);
  EXPECT_EQ(Cell(items, 1, 3), Widen(PcxName(6)));
  EXPECT_EQ(ListView_GetNextItem(groups, -1, LVNI_SELECTED), 0);
  EXPECT_EQ(TextOf(Control(kLblFilterNote)), L"");

  const auto textColour = [&] {
    HDC dc = GetDC(filter);
    SendMessageW(window->viewerWindow(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(filter));
    const COLORREF colour = GetTextColor(dc);
    ReleaseDC(filter, dc);
    return colour;
  };
  EXPECT_NE(textColour(), kUnreadableText);
  Type(kTxtFilter, L"5-7 zz");
  EXPECT_EQ(TextOf(Control(kLblCount)), L"5 / 13") << "an unreadable term hides nothing";
  EXPECT_EQ(Count(groups), 2);
  EXPECT_EQ(TextOf(Control(kLblFilterNote)), L"読み取れない条件: zz");
  EXPECT_EQ(textColour(), kUnreadableText);

  Type(kTxtFilter, L"");
  EXPECT_EQ(TextOf(Control(kLblCount)), L"13 / 13");
  EXPECT_EQ(Count(groups), 4);
  EXPECT_EQ(TextOf(Control(kLblFilterNote)), L"");
  EXPECT_NE(textColour(), kUnreadableText);
  EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(BrowserTest, ChoosingAGroupFillsTheItemsAndThumbnailsStandOnTheirAxes) {
  ASSERT_NE(OpenViewer(), nullptr);
  HWND groups = Control(kLstGroups);
  ListView_SetItemState(groups, 3, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  Pump();
  EXPECT_EQ(Browser().chosenGroup(), std::optional<std::uint16_t>(9));
  EXPECT_EQ(Row(), std::optional<std::size_t>(10)) << "the group's first row comes on show";
  EXPECT_EQ(window->CurrentRow(), std::optional<std::size_t>(10));
  HWND items = Control(kLstItems);
  ASSERT_EQ(Count(items), 2);
  EXPECT_EQ(Cell(items, 0, 3), Widen(PcxName(10)));
  EXPECT_EQ(Cell(items, 1, 3), Widen(PcxName(11)));
  EXPECT_EQ(ListView_GetNextItem(items, -1, LVNI_FOCUSED), 0);
  // Each row of the items has a small thumbnail of its own.
  const auto imageOf = [&](int item) {
    LVITEMW cell{};
    cell.mask = LVIF_IMAGE;
    cell.iItem = item;
    cell.iImage = -1;
    ListView_GetItem(items, &cell);
    return cell.iImage;
  };
  EXPECT_GE(imageOf(0), 0);
  EXPECT_GE(imageOf(1), 0);
  EXPECT_NE(imageOf(0), imageOf(1));
  int side = 0, height = 0;
  ImageList_GetIconSize(ListView_GetImageList(items, LVSIL_SMALL), &side, &height);
  EXPECT_EQ(side, BrowserPanel::SmallThumbnailSize());

  // The shared frame runs from 2 left of and above the axis to 2 right of and below it.
  const ThumbnailGrid& thumbs = Thumbnails();
  EXPECT_EQ(thumbs.frame(), (commands::SceneRect{-2, -2, 4, 4}));
  const auto big = ThumbnailPixels(*window->commands().archive(), 10, thumbs.frame(), kThumbnailSize);
  const auto small = ThumbnailPixels(*window->commands().archive(), 11, thumbs.frame(), kThumbnailSize);
  const std::uint32_t background = 0x808080;
  const auto box = [](const std::vector<std::uint32_t>& pixels, std::uint32_t empty) {
    RECT r{kThumbnailSize, kThumbnailSize, -1, -1};
    for (int y = 0; y < kThumbnailSize; ++y)
      for (int x = 0; x < kThumbnailSize; ++x)
        if (pixels[static_cast<std::size_t>(y * kThumbnailSize + x)] != empty)
          r = RECT{std::min<LONG>(r.left, x), std::min<LONG>(r.top, y), std::max<LONG>(r.right, x + 1),
                   std::max<LONG>(r.bottom, y + 1)};
    return r;
  };
  const RECT whole = box(big, background);
  const RECT quarter = box(small, background);
  ASSERT_GT(whole.right - whole.left, 0);
  EXPECT_EQ(whole.right - whole.left, 2 * (quarter.right - quarter.left));
  EXPECT_EQ(quarter.left, (whole.left + whole.right) / 2);
  EXPECT_EQ(quarter.top, (whole.top + whole.bottom) / 2);
  EXPECT_EQ(quarter.right, whole.right);
  EXPECT_EQ(quarter.bottom, whole.bottom);

  // A click on a thumbnail makes its row the current one, as a click in the items does.
  const RECT second = thumbs.CellRect(1);
  SendMessageW(Control(kPicThumbs), WM_LBUTTONDOWN, 0, MAKELPARAM(second.left + 2, second.top + 2));
  Pump();
  EXPECT_EQ(Row(), std::optional<std::size_t>(11));
  EXPECT_EQ(Browser().selection(), (std::vector<std::size_t>{11}));
}

TEST_F(BrowserTest, GoToFindsARowByNumberOrGroupAndItemClearingAFilterThatHidesIt) {
  ASSERT_NE(OpenViewer(), nullptr);
  HWND goTo = Control(kTxtGoTo);
  wchar_t cue[128] = L"";
  SendMessageW(goTo, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), 128);
  EXPECT_EQ(cue, Widen(commands::kGoToPlaceholder));
  // Enter and Esc reach the field, not a dialog's default handling.
  EXPECT_TRUE(SendMessageW(goTo, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);

  Type(kTxtGoTo, L"old");
  Press(window->viewerWindow(), 'G', true);
  EXPECT_EQ(GetFocus(), goTo);
  DWORD start = 1, end = 0;
  SendMessageW(goTo, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 3u) << "Ctrl+G selects what the field holds, so typing replaces it";
  EXPECT_EQ(Panel().TipOf(goTo), Widen(commands::kGoToTip));

  Type(kTxtGoTo, L" 5,1 ");
  Press(goTo, VK_RETURN);
  EXPECT_EQ(Row(), std::optional<std::size_t>(6));
  EXPECT_EQ(window->CurrentRow(), std::optional<std::size_t>(6));
  EXPECT_EQ(TextOf(goTo), L"") << "a row found clears the field";

  Type(kTxtFilter, L"0");
  Type(kTxtGoTo, L"12");
  Press(goTo, VK_RETURN);
  EXPECT_EQ(Row(), std::optional<std::size_t>(11)) << "a lone number is the row's number";
  EXPECT_EQ(TextOf(Control(kTxtFilter)), L"") << "the filter that hid it is cleared";
  EXPECT_EQ(TextOf(Control(kLblCount)), L"13 / 13");

  Type(kTxtGoTo, L"99,9");
  Press(goTo, VK_RETURN);
  EXPECT_EQ(Row(), std::optional<std::size_t>(11));
  EXPECT_EQ(TextOf(goTo), L"99,9");
  EXPECT_NE(TextOf(Control(kLblStatus)).find(Widen(exporter::NotFoundLine("99,9"))), std::wstring::npos);
  EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(BrowserTest, TheSelectionsExportWritesSaveAllsFilesForItsRowsInPcxAndPng) {
  ASSERT_NE(OpenViewer(), nullptr);
  const std::string allPcx = dir / "all-pcx\\", allPng = dir / "all-png\\";
  ASSERT_NO_FATAL_FAILURE(SaveAllInto(allPcx, allPng));
  const auto everyPng = EntriesOf(allPng);
  for (const auto& name : NamesOf({2, 3, 4}, ".png"))
    ASSERT_TRUE(std::binary_search(everyPng.begin(), everyPng.end(), name)) << name;

  // Ctrl+A in the items selects the group's every row; a pick of them then.
  Press(Control(kLstItems), 'A', true);
  EXPECT_EQ(Browser().selection(), (std::vector<std::size_t>{0, 1, 2, 3, 4, 12}));
  // Not 0/1: its linked 0/2 comes later under the same name, and Save All's file is the later one.
  Select({2, 3, 4});
  EXPECT_EQ(Browser().selection(), (std::vector<std::size_t>{2, 3, 4}));

  prompts.asked.clear();
  const std::string pcx = dir / "selection-pcx\\", png = dir / "selection-png\\";
  Export(commands::BrowserScope::kSelection, commands::ImageFormat::kPcx, pcx);
  EXPECT_EQ(EntriesOf(pcx), NamesOf({2, 3, 4}, ".pcx"));
  ExpectSameFiles(pcx, allPcx);
  Export(commands::BrowserScope::kSelection, commands::ImageFormat::kPng, png);
  EXPECT_EQ(EntriesOf(png), NamesOf({2, 3, 4}, ".png"));
  ExpectSameFiles(png, allPng);
  ASSERT_EQ(prompts.asked.size(), 2u);
  for (const auto& asked : prompts.asked) EXPECT_EQ(asked.style, commands::MsgStyle::kInformation);

  // Nothing selected: told so, and no chooser.
  Select({});
  prompts.asked.clear();
  SendMessageW(window->viewerWindow(), WM_COMMAND, static_cast<WPARAM>(kMnuExportFirst), 0);
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0].message, commands::Lines{exporter::kNothingToExport});
}

TEST_F(BrowserTest, TheFilteredAndTheGroupExportsWriteSaveAllsFilesForTheirRows) {
  ASSERT_NE(OpenViewer(), nullptr);
  const std::string allPcx = dir / "all-pcx\\", allPng = dir / "all-png\\";
  ASSERT_NO_FATAL_FAILURE(SaveAllInto(allPcx, allPng));

  Type(kTxtFilter, L"5-9");
  const std::string filtered = dir / "filtered\\";
  Export(commands::BrowserScope::kFiltered, commands::ImageFormat::kPcx, filtered);
  EXPECT_EQ(EntriesOf(filtered), NamesOf({5, 6, 7, 8, 9, 10, 11}, ".pcx"));
  ExpectSameFiles(filtered, allPcx);

  ListView_SetItemState(Control(kLstGroups), 1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  Pump();
  ASSERT_EQ(Browser().chosenGroup(), std::optional<std::uint16_t>(7));
  const std::string group = dir / "group\\";
  Export(commands::BrowserScope::kGroup, commands::ImageFormat::kPng, group);
  EXPECT_EQ(EntriesOf(group), NamesOf({8, 9}, ".png"));
  ExpectSameFiles(group, allPng);
}

TEST_F(BrowserTest, TheWindowsPlaceIsRememberedAndGivenBackOnlyOnAMonitorThereIsNow) {
  const std::vector<commands::ScreenRect> areas = WorkAreas();
  ASSERT_FALSE(areas.empty());
  const commands::ScreenRect area = areas[0];
  const commands::ScreenRect kept{area.x + 30, area.y + 40, std::min(640, area.width - 30),
                                  std::min(420, area.height - 40)};
  SavePlace(kViewerPlaceName, kept);
  HWND viewer = OpenViewer();
  ASSERT_NE(viewer, nullptr);
  RECT shown;
  GetWindowRect(viewer, &shown);
  EXPECT_EQ((commands::ScreenRect{shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top}), kept);

  // Moved and closed: the new place is kept.
  SetWindowPos(viewer, nullptr, area.x + 10, area.y + 20, 600, 400, SWP_NOZORDER | SWP_NOACTIVATE);
  Press(viewer, VK_ESCAPE);
  EXPECT_FALSE(IsWindowVisible(viewer));
  EXPECT_EQ(SavedPlace(kViewerPlaceName), (commands::ScreenRect{area.x + 10, area.y + 20, 600, 400}));

  // Off every monitor: placed beside the main window, as the first time.
  window.reset();
  Pump();
  SavePlace(kViewerPlaceName, {area.x + area.width + 20000, area.y + 15000, 700, 500});
  window = std::make_unique<MainWindow>(prompts, "C:\\Tools", [] {});
  ShowWindow(window->hwnd(), SW_SHOW);
  window->OpenSoon(Widen(archive));
  Pump();
  viewer = OpenViewer();
  ASSERT_NE(viewer, nullptr);
  RECT main;
  GetWindowRect(window->hwnd(), &main);
  GetWindowRect(viewer, &shown);
  RECT frame{};
  GetWindowRect(viewer, &frame);
  const commands::ScreenRect beside = commands::PlaceBeside(
      {main.left, main.top, main.right - main.left, main.bottom - main.top}, frame.right - frame.left,
      frame.bottom - frame.top, area);
  EXPECT_EQ(shown.left, beside.x);
  EXPECT_EQ(shown.top, beside.y);
  EXPECT_GE(shown.left, area.x);
  EXPECT_LE(shown.right, area.x + area.width);

  // The main window's close box takes the viewer with it: its place is kept all the same.
  SetWindowPos(viewer, nullptr, area.x + 50, area.y + 60, 610, 410, SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_EQ(SavedPlace(kViewerPlaceName), (commands::ScreenRect{area.x + 50, area.y + 60, 610, 410}));
}

// A step leaves its row the only one selected, in the main list and in the
// items, whatever was selected in them before.
TEST_F(BrowserTest, AStepLeavesItsRowTheOnlySelectedOneInBothLists) {
  HWND viewer = OpenViewer(3);
  ASSERT_NE(viewer, nullptr);
  HWND items = Control(kLstItems);
  HWND list = window->control(kLstFiles);
  const auto selected = [](HWND in) {
    std::vector<int> at;
    for (int i = ListView_GetNextItem(in, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(in, i, LVNI_SELECTED))
      at.push_back(i);
    return at;
  };
  for (const int i : {1, 2, 3, 9}) ListView_SetItemState(list, i, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(items, -1, LVIS_SELECTED, LVIS_SELECTED);
  ASSERT_GE(selected(items).size(), 2u);
  EXPECT_EQ(Thumbnails().selected(), std::vector<bool>(selected(items).size(), true)) << "every thumbnail framed";
  Press(viewer, VK_DOWN);
  ASSERT_EQ(Row(), std::optional<std::size_t>(4));
  EXPECT_EQ(selected(list), std::vector<int>{4});
  const int focused = ListView_GetNextItem(items, -1, LVNI_FOCUSED);
  ASSERT_GE(focused, 0);
  EXPECT_EQ(selected(items), std::vector<int>{focused});
  std::vector<bool> framed(static_cast<std::size_t>(ListView_GetItemCount(items)), false);
  framed[static_cast<std::size_t>(focused)] = true;
  EXPECT_EQ(Thumbnails().selected(), framed);
}

TEST_F(BrowserTest, KeysStepTheRowsFocusTheFieldsToggleAndClose) {
  HWND viewer = OpenViewer(3);
  ASSERT_NE(viewer, nullptr);
  HWND items = Control(kLstItems);
  // Plain steps in the items go through the filtered rows of every group.
  Press(items, VK_DOWN);
  EXPECT_EQ(Row(), std::optional<std::size_t>(4));
  Press(items, VK_DOWN);
  EXPECT_EQ(Row(), std::optional<std::size_t>(5));
  EXPECT_EQ(Browser().chosenGroup(), std::optional<std::uint16_t>(5));
  EXPECT_EQ(Count(items), 3);
  EXPECT_EQ(ListView_GetNextItem(items, -1, LVNI_FOCUSED), 0);
  Press(items, VK_UP);
  EXPECT_EQ(Row(), std::optional<std::size_t>(4));
  Press(items, VK_END);
  EXPECT_EQ(Row(), std::optional<std::size_t>(kRows - 1));
  Press(items, VK_HOME);
  EXPECT_EQ(Row(), std::optional<std::size_t>(0));
  Press(viewer, VK_NEXT);
  EXPECT_EQ(Row(), std::optional<std::size_t>(9)) << "a page of the main list";
  Press(viewer, VK_PRIOR);
  EXPECT_EQ(Row(), std::optional<std::size_t>(0));
  EXPECT_EQ(window->CurrentRow(), std::optional<std::size_t>(0));

  // Within the filter, Up and Down still step the rows, through those it keeps.
  Type(kTxtFilter, L"5-7");
  Press(viewer, 'F', true);
  HWND filter = Control(kTxtFilter);
  EXPECT_EQ(GetFocus(), filter);
  DWORD start = 1, end = 0;
  SendMessageW(filter, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 3u);
  EXPECT_EQ(Row(), std::optional<std::size_t>(5));
  Press(filter, VK_DOWN);
  EXPECT_EQ(Row(), std::optional<std::size_t>(6));
  Press(filter, VK_END);
  EXPECT_EQ(Row(), std::optional<std::size_t>(6)) << "End stays with the field's text";

  // Tab and Shift+Tab go round the fields and lists.
  Press(filter, VK_TAB);
  EXPECT_EQ(GetFocus(), Control(kLstGroups));
  Press(GetFocus(), VK_TAB);
  EXPECT_EQ(GetFocus(), Control(kLstItems));
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
  SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(GetFocus(), filter);
  SendMessageW(filter, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(Row(), std::optional<std::size_t>(6)) << "moving the focus moves no row";

  // The toggles' access keys.
  ASSERT_TRUE(window->commands().viewer().transparencyShown);
  SendMessageW(filter, WM_SYSCHAR, L't', 0);
  EXPECT_FALSE(window->commands().viewer().transparencyShown);
  EXPECT_EQ(Button_GetCheck(Control(kChkTransparent)), BST_UNCHECKED);
  SendMessageW(viewer, WM_SYSCHAR, L'a', 0);
  EXPECT_FALSE(window->commands().viewer().axisShown);
  EXPECT_EQ(Button_GetCheck(Control(kChkAxis)), BST_UNCHECKED);

  // Esc from a field closes the window.
  Press(filter, VK_ESCAPE);
  EXPECT_FALSE(IsWindowVisible(viewer));
  EXPECT_FALSE(window->commands().viewer().open());
}

}  // namespace
}  // namespace pelvaro::win32::testing
