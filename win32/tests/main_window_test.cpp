// The main window as a user meets it: its frame, controls and tab order, the
// archive opened from outside and listed, the access keys, and Exit.

#include "win32/tests/win32_test_support.h"

#include "pelvaro_version.h"
#include "sff/sprite_rows.h"
#include "tests/support/temp_dir.h"
#include "win32/geometry.h"
#include "win32/main_window.h"
#include "win32/wide_text.h"

#include <commctrl.h>
#include <commdlg.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <memory>

namespace pelvaro::win32::testing {
namespace {

using commands::Answer;
using commands::MsgStyle;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<MainWindow>(prompts, "C:\\Tools", [this] { ended = true; });
    ASSERT_NE(window->hwnd(), nullptr);
    ShowWindow(window->hwnd(), SW_SHOW);
    Pump();
  }
  void TearDown() override {
    window.reset();
    Pump();
  }

  std::string Write(const std::string& name, const pelvaro::testing::Bytes& bytes) {
    const std::string path = dir / name;
    pelvaro::testing::WriteBytes(path, bytes);
    return path;
  }
  void Open(const std::string& path) {
    window->OpenSoon(Widen(path));
    Pump();
  }
  HWND List() const { return window->control(kLstFiles); }
  int Rows() const { return ListView_GetItemCount(List()); }
  std::wstring Cell(int row, int column) const {
    wchar_t text[256] = L"";
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(List(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
  }
  // A key the user presses, as the program's message loop hands it on.
  void Press(HWND target, UINT message, WPARAM key, LPARAM flags = 0) {
    MSG msg{target, message, key, flags, GetTickCount(), {}};
    if (!window->PreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Pump();
  }

  pelvaro::testing::TempDir dir;
  ScriptedPrompts prompts;
  bool ended = false;
  std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, HasTheFixedFrameTheCaptionAndTheClientSizeInTwips) {
  EXPECT_EQ(TextOf(window->hwnd()), Widen(kProductTitle));
  const auto style = static_cast<DWORD>(GetWindowLongW(window->hwnd(), GWL_STYLE));
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  RECT client;
  GetClientRect(window->hwnd(), &client);
  EXPECT_EQ(client.right, Px(6375));
  EXPECT_EQ(client.bottom, Px(3135));
  RECT list;
  GetWindowRect(List(), &list);
  EXPECT_EQ(list.right - list.left, Px(6135));
  EXPECT_EQ(list.bottom - list.top, Px(2175));
}

TEST_F(MainWindowTest, ControlsCarryTheirCaptionsAndFocusMovesInTabOrder) {
  EXPECT_EQ(TextOf(window->control(kCmdSffOpen)), L"Open &SFF");
  EXPECT_EQ(TextOf(window->control(kCmdPcx)), L"Save &All PCX");
  EXPECT_EQ(TextOf(window->control(kCmdText)), L"Make &Text");
  EXPECT_EQ(TextOf(window->control(kCmdAbout)), L"&?");
  EXPECT_EQ(TextOf(window->control(kCmdEnd)), L"E&xit");
  EXPECT_EQ(TextOf(window->control(kLabel4)), L"Image Count");
  EXPECT_EQ(TextOf(window->control(kLblSffName)), L"");
  EXPECT_EQ(TextOf(window->control(kLblImage)), L"");

  const ControlId order[] = {kCmdSffOpen, kLstFiles, kCmdPcx, kCmdText, kCmdAbout, kCmdEnd};
  for (std::size_t i = 0; i < std::size(order); ++i) {
    const ControlId next = order[(i + 1) % std::size(order)];
    EXPECT_EQ(GetNextDlgTabItem(window->hwnd(), window->control(order[i]), FALSE), window->control(next))
        << "after control " << order[i];
  }
}

TEST_F(MainWindowTest, TheListIsVirtualWithTheColumnsAndWidthsOfTheSpriteTable) {
  const auto style = static_cast<DWORD>(GetWindowLongW(List(), GWL_STYLE));
  EXPECT_TRUE(style & LVS_OWNERDATA);
  EXPECT_EQ(style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
  EXPECT_TRUE(ListView_GetExtendedListViewStyle(List()) & LVS_EX_FULLROWSELECT);
  HWND header = ListView_GetHeader(List());
  ASSERT_EQ(Header_GetItemCount(header), sff::kColumnCount);
  const int twips[] = {0, 900, 900, 800, 0, 700, 2500};
  for (int column = 0; column < sff::kColumnCount; ++column) {
    wchar_t caption[64] = L"";
    LVCOLUMNW entry{};
    entry.mask = LVCF_TEXT | LVCF_WIDTH;
    entry.pszText = caption;
    entry.cchTextMax = 64;
    ASSERT_TRUE(ListView_GetColumn(List(), column, &entry));
    EXPECT_EQ(std::wstring(caption), Widen(sff::kColumnCaptions[static_cast<std::size_t>(column)]));
    EXPECT_EQ(entry.cx, Px(twips[column])) << "column " << column;
  }
  EXPECT_EQ(Rows(), 0);
}

TEST_F(MainWindowTest, AnArchiveInAJapaneseFolderOpensWithEveryRowFormattedFromTheArchive) {
  const std::string folder = dir / "入力 ①";
  ASSERT_TRUE(CreateDirectoryW(Widen(folder).c_str(), nullptr));
  const std::string path = folder + "\\サンプル①.sff";
  pelvaro::testing::WriteBytes(path, SampleArchive(12));
  Open(path);

  ASSERT_NE(window->commands().archive(), nullptr);
  const sff::Archive& archive = *window->commands().archive();
  ASSERT_EQ(Rows(), 12);
  EXPECT_EQ(TextOf(window->control(kLblSffName)), L"サンプル①.sff");
  EXPECT_EQ(TextOf(window->control(kLblImage)), L"12");
  for (int row : {0, 5, 11})
    for (int column = 0; column < sff::kColumnCount; ++column)
      EXPECT_EQ(Narrow(Cell(row, column)),
                sff::CellText(archive, static_cast<std::size_t>(row), static_cast<sff::Column>(column)));
  EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(MainWindowTest, AFileThatIsNoArchiveIsToldWithTheStopIconAndEmptiesTheList) {
  Open(Write("GOOD.sff", SampleArchive(3)));
  ASSERT_EQ(Rows(), 3);
  // Warned about, or refused outright: either way No leaves nothing on show.
  prompts.answers = {Answer::kNo};
  Open(Write("BAD.sff", pelvaro::testing::Bytes(100, 0x11)));
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(TextOf(window->control(kLblSffName)), L"");
  EXPECT_EQ(TextOf(window->control(kLblImage)), L"");
  ASSERT_FALSE(prompts.asked.empty());
  EXPECT_TRUE(prompts.asked[0].style == MsgStyle::kStop || prompts.asked[0].style == MsgStyle::kYesNoStopDefaultNo);
}

TEST_F(MainWindowTest, AltXAsksTheQuitQuestionAndNoLeavesEverythingAsItWas) {
  Open(Write("USER.sff", SampleArchive(4)));
  SetFocus(window->control(kCmdSffOpen));
  prompts.answers = {Answer::kNo};
  Press(window->control(kCmdSffOpen), WM_SYSCHAR, L'x', LPARAM{1} << 29);
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0].message, commands::Lines{"終了しますか？"});
  EXPECT_EQ(prompts.asked[0].style, MsgStyle::kYesNoQuestion);
  EXPECT_FALSE(ended);
  EXPECT_TRUE(IsWindow(window->hwnd()));
  EXPECT_EQ(Rows(), 4);
  EXPECT_EQ(TextOf(window->control(kLblSffName)), L"USER.sff");

  prompts.answers = {Answer::kYes};
  SendMessageW(window->control(kCmdEnd), BM_CLICK, 0, 0);
  EXPECT_TRUE(ended);
  EXPECT_EQ(window->hwnd(), nullptr);
}

TEST_F(MainWindowTest, TheCloseBoxEndsTheProgramWithoutAsking) {
  SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(ended);
  EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(MainWindowTest, AltSShowsTheOpenDialogWithItsTitleFilterAndFlags) {
  SetFocus(window->control(kCmdPcx));
  const std::string path = Write("USER.sff", SampleArchive(2));
  prompts.files = {path};
  Press(window->control(kCmdPcx), WM_SYSCHAR, L's', LPARAM{1} << 29);
  ASSERT_EQ(prompts.fileRequests.size(), 1u);
  const commands::FileRequest& request = prompts.fileRequests[0];
  EXPECT_EQ(request.mode, commands::FileDialogMode::kOpen);
  EXPECT_EQ(request.title, "Select Sff File");
  EXPECT_EQ(DialogFilter(request.filter), std::wstring(L"Sff Files (*.sff)\0*.sff\0\0", 25));
  EXPECT_TRUE(DialogFlags(request) & OFN_HIDEREADONLY);
  EXPECT_FALSE(DialogFlags(request) & OFN_OVERWRITEPROMPT);
  EXPECT_EQ(Rows(), 2);
}

// A drop as the shell hands one over: a DROPFILES block with the names in UTF-16.
HGLOBAL DropOf(const std::vector<std::wstring>& paths) {
  std::wstring names;
  for (const auto& path : paths) names += path + L'\0';
  names += L'\0';
  const std::size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<std::uint8_t*>(drop) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return memory;
}

TEST_F(MainWindowTest, OneDroppedArchiveOpensAndAnythingElseDroppedIsIgnored) {
  const std::wstring archive = Widen(Write("DROP.SFF", SampleArchive(5)));
  const std::wstring other = Widen(Write("notes.txt", SampleArchive(1)));
  SendMessageW(window->hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({other})), 0);
  SendMessageW(window->hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({archive, archive})), 0);
  SendMessageW(window->hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({Widen(dir.path())})), 0);
  Pump();
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(TextOf(window->control(kLblSffName)), L"");

  SendMessageW(window->hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({archive})), 0);
  Pump();
  EXPECT_EQ(Rows(), 5);
  EXPECT_EQ(TextOf(window->control(kLblSffName)), L"DROP.SFF");
  EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(MainWindowTest, TheAboutBoxIsFilledAnewOnEveryShowingAndOkClosesIt) {
  std::vector<std::wstring> seen;
  for (int showing = 0; showing < 2; ++showing) {
    ActWhenShown([&] {
      HWND about = FindWindowW(L"PelvaroAbout", nullptr);
      if (!about || !IsWindowVisible(about)) return false;
      seen.push_back(TextOf(about) + L"|" + TextOf(GetDlgItem(about, 301)) + L"|" + TextOf(GetDlgItem(about, 302)));
      SendMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
      return true;
    });
    SendMessageW(window->control(kCmdAbout), BM_CLICK, 0, 0);
    ASSERT_TRUE(ActedInTime());
    EXPECT_EQ(FindWindowW(L"PelvaroAbout", nullptr), nullptr);
  }
  const std::wstring expected = L"Pelvaro のﾊﾞｰｼﾞｮﾝ情報|Pelvaro|Version 0.11β";
  EXPECT_EQ(seen, (std::vector<std::wstring>{expected, expected}));
  EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
}

}  // namespace
}  // namespace pelvaro::win32::testing
