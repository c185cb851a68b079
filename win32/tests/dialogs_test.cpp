// The dialogs of Save All PCX and Make Text, met through the main window: the
// folder chooser, the progress window with its Cancel, and the save dialog's
// request; and the files they lead to, compared with pelvaro-cli's.

#include "win32/tests/win32_test_support.h"

#include "tests/support/run_cli.h"
#include "tests/support/temp_dir.h"
#include "win32/folder_chooser.h"
#include "win32/main_window.h"
#include "win32/progress_window.h"
#include "win32/wide_text.h"

#include <commctrl.h>
#include <commdlg.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace pelvaro::win32::testing {
namespace {

using pelvaro::testing::EntriesOf;
using pelvaro::testing::ReadBytes;
using pelvaro::testing::TempDir;

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<MainWindow>(prompts, "C:\\Tools", [] {});
    ShowWindow(window->hwnd(), SW_SHOW);
    Pump();
  }
  void TearDown() override {
    window.reset();
    Pump();
  }
  std::string OpenSample(int rows, const std::string& name = "USER.sff") {
    const std::string path = dir / name;
    pelvaro::testing::WriteBytes(path, SampleArchive(rows));
    window->OpenSoon(Widen(path));
    Pump();
    return path;
  }
  // Answers the folder chooser with `folder` typed into its path box, after
  // noting whether the box's whole text was selected when it opened.
  void TypeIntoChooser(const std::string& folder, bool& wholeTextSelected, std::wstring& textOnEntry) {
    ActWhenShown([&wholeTextSelected, &textOnEntry, folder] {
      HWND chooser = FindWindowW(kFolderChooserClass, nullptr);
      if (!chooser || !IsWindowVisible(chooser)) return false;
      HWND path = GetDlgItem(chooser, kTxtPathId);
      DWORD start = 1, end = 0;
      SendMessageW(path, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      textOnEntry = TextOf(path);
      wholeTextSelected = GetFocus() == path && start == 0 && end == textOnEntry.size();
      SetWindowTextW(path, Widen(folder).c_str());
      SendMessageW(GetDlgItem(chooser, kCmdOkId), BM_CLICK, 0, 0);
      return true;
    });
  }

  TempDir dir;
  ScriptedPrompts prompts;
  std::unique_ptr<MainWindow> window;
};

TEST(FolderChooserText, KeepsExactlyOneClosingSeparatorAndTrimsOnlyBlanks) {
  EXPECT_EQ(WithOneSeparator(L"C:\\work"), L"C:\\work\\");
  EXPECT_EQ(WithOneSeparator(L"C:\\"), L"C:\\");
  EXPECT_EQ(WithOneSeparator(L"C:\\work\\\\"), L"C:\\work\\");
  EXPECT_EQ(WithOneSeparator(L""), L"\\");
  EXPECT_EQ(StartFolder(L" D:\\work\\ "), L"D:\\work");
  EXPECT_EQ(StartFolder(L"C:\\"), L"C:");
  EXPECT_EQ(StartFolder(L"\tC:\\tab\t"), L"\tC:\\tab\t");
}

TEST(FolderChooser, OpensAtTheStartFolderWithThePathSelectedAndCancelChoosesNothing) {
  TempDir dir;
  const std::string start = dir.path();  // ends with the separator
  FolderChooser chooser(nullptr);
  std::wstring onEntry;
  bool selected = false;
  std::wstring listed;
  ActWhenShown([&] {
    HWND window = FindWindowW(kFolderChooserClass, nullptr);
    if (!window || !IsWindowVisible(window)) return false;
    HWND path = GetDlgItem(window, kTxtPathId);
    DWORD first = 1, last = 0;
    SendMessageW(path, EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    onEntry = TextOf(path);
    selected = first == 0 && last == onEntry.size();
    listed = chooser.openFolder();
    SendMessageW(GetDlgItem(window, kCmdCancelId), BM_CLICK, 0, 0);
    return true;
  });
  EXPECT_EQ(chooser.Run(start), std::nullopt);
  ASSERT_TRUE(ActedInTime());
  EXPECT_EQ(TextOf(chooser.hwnd()), L"ディレクトリの指定");
  EXPECT_EQ(onEntry, Widen(start));
  EXPECT_TRUE(selected);
  EXPECT_EQ(WithOneSeparator(listed), Widen(start));
  // Hidden, not destroyed: it keeps its drive for the next showing.
  EXPECT_TRUE(IsWindow(chooser.hwnd()));
  EXPECT_FALSE(IsWindowVisible(chooser.hwnd()));
}

TEST(FolderChooser, TypingAtTheEndOfThePathPutsTheSeparatorBehindItAtOnce) {
  FolderChooser chooser(nullptr);
  HWND path = GetDlgItem(chooser.hwnd(), kTxtPathId);
  SetWindowTextW(path, L"C:\\work\\");
  SendMessageW(path, EM_SETSEL, 8, 8);
  SendMessageW(path, WM_CHAR, L'x', 0);
  EXPECT_EQ(TextOf(path), L"C:\\work\\x\\");
  SetWindowTextW(path, L"");
  EXPECT_EQ(TextOf(path), L"\\");
}

TEST_F(DialogsTest, SaveAllPcxIntoANewTypedFolderWritesTheFilesPelvaroCliWrites) {
  const std::string archive = OpenSample(9);
  TempDir cli;
  ASSERT_EQ(pelvaro::testing::RunCli({"pcx", archive, cli.path()}).code, 0);

  const std::string chosen = dir / "新しいフォルダー";  // made by the export
  bool selected = false;
  std::wstring onEntry;
  TypeIntoChooser(chosen, selected, onEntry);
  SendMessageW(window->control(kCmdPcx), BM_CLICK, 0, 0);
  ASSERT_TRUE(ActedInTime());
  EXPECT_TRUE(selected) << "the path box's text was not selected on entry: " << Narrow(onEntry);

  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_EQ(prompts.asked[0].message, commands::Lines{"全PCXが出力されました。"});
  EXPECT_EQ(prompts.asked[0].style, commands::MsgStyle::kInformation);
  EXPECT_EQ(window->commands().outputFolder(), chosen + "\\");
  const auto files = EntriesOf(cli.path());
  ASSERT_EQ(EntriesOf(chosen + "\\"), files);
  for (const auto& name : files) EXPECT_EQ(ReadBytes(chosen + "\\" + name), ReadBytes(cli / name)) << name;

  // The next showing starts at the folder just confirmed.
  TypeIntoChooser(chosen, selected, onEntry);
  SendMessageW(window->control(kCmdPcx), BM_CLICK, 0, 0);
  ASSERT_TRUE(ActedInTime());
  EXPECT_EQ(onEntry, Widen(chosen + "\\"));
}

TEST_F(DialogsTest, CancelInTheProgressWindowStopsAfterTheFileInHandAndLeavesOnlyWholeFiles) {
  const std::string archive = OpenSample(3000);
  TempDir whole;
  ASSERT_EQ(pelvaro::testing::RunCli({"pcx", archive, whole.path()}).code, 0);
  const std::string chosen = dir / "stopped";
  ASSERT_TRUE(CreateDirectoryW(Widen(chosen).c_str(), nullptr));

  // The chooser answered, then Cancel as soon as the progress window exists.
  bool answered = false;
  ActWhenShown([&] {
    if (!answered) {
      HWND chooser = FindWindowW(kFolderChooserClass, nullptr);
      if (!chooser || !IsWindowVisible(chooser)) return false;
      SetWindowTextW(GetDlgItem(chooser, kTxtPathId), Widen(chosen).c_str());
      SendMessageW(GetDlgItem(chooser, kCmdOkId), BM_CLICK, 0, 0);
      answered = true;
      return false;
    }
    HWND progress = FindWindowW(kProgressClass, nullptr);
    if (!progress) return false;
    SendMessageW(GetDlgItem(progress, kProgressCancelId), BM_CLICK, 0, 0);
    return true;
  });
  SendMessageW(window->control(kCmdPcx), BM_CLICK, 0, 0);
  ASSERT_TRUE(ActedInTime());

  const auto all = EntriesOf(whole.path());
  const auto left = EntriesOf(chosen + "\\");
  EXPECT_FALSE(left.empty());
  EXPECT_LT(left.size(), all.size());
  for (const auto& name : left) {
    ASSERT_TRUE(std::binary_search(all.begin(), all.end(), name)) << "not an export's file: " << name;
    EXPECT_EQ(ReadBytes(chosen + "\\" + name), ReadBytes(whole / name)) << name;
  }
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_NE(prompts.asked[0].message, commands::Lines{"全PCXが出力されました。"});
  EXPECT_EQ(FindWindowW(kProgressClass, nullptr), nullptr);
  EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
}

TEST_F(DialogsTest, MakeTextProposesTheStemAndWritesWhatPelvaroCliWritesOverAnExistingFileToo) {
  const std::string archive = OpenSample(6, "ＵＳＥＲ①.sff");
  TempDir cli;
  ASSERT_EQ(pelvaro::testing::RunCli({"text", archive, cli / "ＵＳＥＲ①_SFF.txt"}).code, 0);

  const std::string text = dir / "ＵＳＥＲ①_SFF.txt";
  for (const bool existing : {false, true}) {
    if (existing) pelvaro::testing::WriteBytes(text, pelvaro::testing::Bytes(5, 'x'));
    prompts.asked.clear();
    prompts.fileRequests.clear();
    prompts.files = {text};
    SendMessageW(window->control(kCmdText), BM_CLICK, 0, 0);
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    const commands::FileRequest& request = prompts.fileRequests[0];
    EXPECT_EQ(request.mode, commands::FileDialogMode::kSave);
    EXPECT_EQ(request.title, "Act File Save");
    EXPECT_EQ(request.fileName, "ＵＳＥＲ①_SFF.txt");
    // The dialog itself asks before an existing file is chosen.
    EXPECT_TRUE(DialogFlags(request) & OFN_OVERWRITEPROMPT);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].message,
              commands::Lines{"SFF 作成用テキストファイル、及びバッチファイルが出力されました。"});
    EXPECT_EQ(ReadBytes(text), ReadBytes(cli / "ＵＳＥＲ①_SFF.txt"));
    EXPECT_FALSE(ReadBytes(dir / "ＵＳＥＲ①_SFFBuild.bat").empty());
  }

  // Cancel in the dialog writes nothing and says nothing.
  prompts.asked.clear();
  prompts.files = {std::nullopt};
  const auto before = EntriesOf(dir.path());
  SendMessageW(window->control(kCmdText), BM_CLICK, 0, 0);
  EXPECT_TRUE(prompts.asked.empty());
  EXPECT_EQ(EntriesOf(dir.path()), before);
}

}  // namespace
}  // namespace pelvaro::win32::testing
