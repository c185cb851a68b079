#pragma once

// The progress window of a long export: what is being done, a bar, and, when
// the work may be stopped, a Cancel button. It comes up only once the work
// has taken a moment, so a short export does not flash a window. While it
// shows, the program's other windows take no input; its close box and Esc
// cannot take it away, though in a cancellable one Esc asks to stop as Cancel
// does. The work stops after the file in hand, so only whole files are left.

#include "commands/desk.h"

#include <windows.h>

#include <memory>
#include <string>

namespace pelvaro::win32 {

class OtherWindowsDisabled;

inline constexpr const wchar_t* kProgressClass = L"PelvaroProgress";
inline constexpr int kProgressCancelId = 2;  // IDCANCEL: Esc presses it

class ProgressWindow final : public commands::Progress {
 public:
  // `delayMs`: how long the work runs before the window shows.
  ProgressWindow(HWND owner, const commands::ProgressRequest& request, DWORD delayMs = 300);
  ~ProgressWindow() override;
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  bool Step(std::size_t done, std::size_t total) override;

  HWND hwnd() const { return window_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Show();

  HWND owner_;
  HWND window_ = nullptr;
  HWND bar_ = nullptr;
  bool cancellable_;
  bool cancelled_ = false;
  DWORD started_;
  DWORD delayMs_;
  DWORD lastPump_ = 0;
  std::unique_ptr<OtherWindowsDisabled> disabled_;
};

}  // namespace pelvaro::win32
