#pragma once

// The main window: the sprite list, the archive's name and image count, and
// the buttons of the five commands (Open SFF, Save All PCX, Make Text, About,
// Exit). It is a view over the commands (commands/main_commands.h): a click
// goes to them, and they draw through the window's Desk
// (win32/main_window_desk.cpp). The list is virtual: its cells are formatted
// from the archive when Windows asks for them (win32/main_window_list.cpp). A
// double-click or Enter on a row opens the sprite viewer, which follows the
// list's current row. An archive named on the command line or dropped on the
// window opens as Open SFF opens it.

#include "commands/desk.h"
#include "commands/main_commands.h"
#include "win32/prompts.h"

#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace pelvaro::win32 {

class FolderChooser;
class SpriteViewer;

inline constexpr const wchar_t* kMainWindowClass = L"PelvaroMain";

// The controls' numbers, in tab order; none is IDOK or IDCANCEL, so Enter and
// Esc press no button of this window.
enum ControlId : int {
  kCmdSffOpen = 101,
  kLblSffName,
  kLstFiles,
  kCmdPcx,
  kCmdText,
  kCmdAbout,
  kCmdEnd,
  kLblImage,
  kLabel4,
};

// Posted by the list when its focus leaves a row (win32/main_window_list.cpp).
inline constexpr UINT kFollowWhenSettled = WM_APP + 2;

class MainWindow final : private commands::Desk {
 public:
  // `prompts` shows the message boxes and file dialogs; `onEnd` ends the
  // program when Exit is confirmed (the program quits its message loop).
  MainWindow(Prompts& prompts, std::string programFolder, std::function<void()> onEnd);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND hwnd() const { return window_; }
  HWND control(ControlId id) const { return GetDlgItem(window_, id); }
  HWND viewerWindow() const;
  FolderChooser* folderChooser() const { return chooser_.get(); }

  // Opens `path` as Open SFF does once its dialog is closed, after the
  // messages waiting now: the window shows first, and a drop has ended.
  void OpenSoon(const std::wstring& path);

  // Tab, the access keys and Enter on the list, as the message loop sees
  // them; true when the message was used here.
  bool PreTranslate(MSG& message);

  commands::MainCommands& commands() { return commands_; }
  // The list's current row; nothing when there is none or no archive.
  std::optional<std::size_t> CurrentRow() const;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void BuildControls();
  // The list (win32/main_window_list.cpp).
  void BuildList();
  void FillList(const sff::Archive* archive);
  LRESULT ListNotify(const NMHDR& header);
  // One dropped .sff opens; anything else is ignored.
  void Dropped(HDROP drop);

  // The Desk: what the commands ask of this window (win32/main_window_desk.cpp).
  commands::Answer Ask(const commands::Lines& message, commands::MsgStyle style) override;
  std::optional<std::string> ChooseFile(const commands::FileRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::optional<std::string>& start) override;
  std::unique_ptr<commands::Progress> ShowProgress(const commands::ProgressRequest& request) override;
  void SetBusy(bool busy) override;
  void ShowSffName(const std::string& name) override;
  void ShowArchive(const sff::Archive* archive, const std::string& imageCount) override;
  void SelectRow(std::size_t row) override;
  void ShowViewer(const commands::ViewerState& viewer) override;
  void ShowAbout(const commands::AboutTexts& texts) override;
  void EndProgram() override;

  Prompts& prompts_;
  std::function<void()> onEnd_;
  HWND window_ = nullptr;
  HWND lstFiles_ = nullptr;
  const sff::Archive* listed_ = nullptr;  // the archive the list's rows come from
  std::unique_ptr<FolderChooser> chooser_;
  std::unique_ptr<SpriteViewer> viewer_;
  HWND lastFocus_ = nullptr;  // the control that had the keyboard when the window was last left
  std::deque<std::wstring> toOpen_;
  int busyDepth_ = 0;
  bool closing_ = false;

  commands::MainCommands commands_;  // last: it may speak to the window as soon as it exists
};

}  // namespace pelvaro::win32
