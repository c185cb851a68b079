#pragma once

// The output folder chooser: a one-line path box, the directory list and the
// drive selector kept in step, with O K (the default button) and Cancel (the
// cancel button). It is made on first use and only hidden afterwards, so it
// keeps its drive for the rest of the run. Every showing starts afresh, at the
// start folder handed over or else at the selected drive's current folder,
// with the path box's text selected, so that typing replaces it. The path box
// always ends with exactly one "\"; a typed path moves neither list, and O K
// takes it as it stands.

#include <windows.h>

#include <optional>
#include <string>

namespace pelvaro::win32 {

inline constexpr const wchar_t* kFolderChooserClass = L"PelvaroFolderChooser";
inline constexpr int kTxtPathId = 201;
inline constexpr int kDrvDriveId = 202;
inline constexpr int kDirDirId = 203;
inline constexpr int kCmdOkId = IDOK;          // Enter presses it
inline constexpr int kCmdCancelId = IDCANCEL;  // Esc and the close box press it

class FolderChooser {
 public:
  explicit FolderChooser(HWND owner);
  ~FolderChooser();
  FolderChooser(const FolderChooser&) = delete;
  FolderChooser& operator=(const FolderChooser&) = delete;

  // Shows the chooser modally, at `start` when one is given (else at the
  // last start folder handed over, if any): the folder in the path box after
  // O K, nothing after Cancel.
  std::optional<std::string> Run(const std::optional<std::string>& start);

  HWND hwnd() const { return window_; }
  // The folder the directory list shows.
  const std::wstring& openFolder() const { return openFolder_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void Initialise();
  void SetPath(const std::wstring& path);
  void SelectDriveOf(const std::wstring& path);
  std::wstring SelectedDriveFolder() const;
  std::wstring ClickedFolder() const;
  void SetPathText(const std::wstring& text);
  std::wstring PathText() const;

  void drvDrive_Change();
  void dirDir_Click();
  void dirDir_Open();
  void txtPath_Change();
  void Close(bool chosen);

  HWND owner_;
  HWND window_ = nullptr;
  HWND txtPath_ = nullptr;
  HWND drvDrive_ = nullptr;
  HWND dirDir_ = nullptr;
  std::optional<std::string> p_;  // the start folder last handed over
  bool swPath_ = false;          // true after O K, false after Cancel
  bool done_ = true;
  std::wstring openFolder_;
};

// `path` without its leading and trailing blanks, then without one closing
// "\" or "/": where the chooser opens for a start folder.
std::wstring StartFolder(const std::wstring& path);
// `text` ending with exactly one "\": what the path box holds after any change.
std::wstring WithOneSeparator(const std::wstring& text);

}  // namespace pelvaro::win32
