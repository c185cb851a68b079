#pragma once

// Modal windows of our own (the folder chooser, the About box, the progress
// window) keep every other window of the program disabled while they show,
// so no second command can start, and run the thread's messages themselves.

#include <windows.h>

#include <vector>

namespace pelvaro::win32 {

// Disables the thread's enabled top-level windows other than `except` for the
// guard's life, and enables them again as it ends.
class OtherWindowsDisabled {
 public:
  explicit OtherWindowsDisabled(HWND except);
  ~OtherWindowsDisabled();
  OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
  OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

 private:
  std::vector<HWND> disabled_;
};

// Runs messages until `done` is true, Tab, Enter, Esc and the access keys of
// `dialog` handled as in a dialog box. A WM_QUIT met on the way is put back
// for the program's own loop and ends the wait.
void RunModal(HWND dialog, const bool& done);

// Handles the messages waiting now, without waiting for more; false when
// WM_QUIT was among them (it is put back).
bool PumpWaiting(HWND dialog);

}  // namespace pelvaro::win32
