// What the commands ask of the main window: message boxes, the file dialogs,
// the folder chooser, progress, the busy pointer, and the archive, rows and
// labels on show.

#include "win32/main_window.h"

#include "commands/viewer_state.h"
#include "win32/about_box.h"
#include "win32/folder_chooser.h"
#include "win32/list_selection.h"
#include "win32/progress_window.h"
#include "win32/sprite_viewer.h"
#include "win32/wide_text.h"

#include <commctrl.h>

namespace pelvaro::win32 {

commands::Answer MainWindow::Ask(const commands::Lines& message, commands::MsgStyle style) {
  // The arrow while the user reads and answers, even in the middle of a command.
  HCURSOR before = SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  const commands::Answer answer = prompts_.Message(window_, message, style);
  SetCursor(busyDepth_ > 0 ? LoadCursorW(nullptr, IDC_WAIT) : before);
  return answer;
}

std::optional<std::string> MainWindow::ChooseFile(const commands::FileRequest& request) {
  return prompts_.FileDialog(window_, request);
}

std::optional<std::string> MainWindow::ChooseFolder(const std::optional<std::string>& start) {
  // Made once and only hidden afterwards, so it keeps its drive for the rest of the run.
  if (!chooser_) chooser_ = std::make_unique<FolderChooser>(window_);
  return chooser_->Run(start);
}

std::unique_ptr<commands::Progress> MainWindow::ShowProgress(const commands::ProgressRequest& request) {
  return std::make_unique<ProgressWindow>(window_, request);
}

void MainWindow::SetBusy(bool busy) {
  // Guards may nest: the pointer comes back when the outermost ends.
  if (busy) {
    if (busyDepth_++ == 0) SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  } else if (busyDepth_ > 0 && --busyDepth_ == 0) {
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  }
}

void MainWindow::ShowSffName(const std::string& name) { SetWindowTextW(control(kLblSffName), Widen(name).c_str()); }

void MainWindow::ShowArchive(const sff::Archive* archive, const std::string& imageCount) {
  FillList(archive);
  SetWindowTextW(control(kLblImage), Widen(imageCount).c_str());
}

void MainWindow::SelectRow(std::size_t row) {
  if (!listed_ || row >= listed_->RowCount()) return;
  const int item = static_cast<int>(row);
  ClearSelection(lstFiles_);
  ListView_SetItemState(lstFiles_, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(lstFiles_, item, FALSE);
}

void MainWindow::ShowViewer(const commands::ViewerState& viewer) {
  if (!viewer.open()) {
    if (viewer_) viewer_->Hide();
    return;
  }
  if (!viewer_) viewer_ = std::make_unique<SpriteViewer>(window_, commands_);
  viewer_->Draw(viewer);
  viewer_->Show();
}

void MainWindow::ShowAbout(const commands::AboutTexts& texts) { ShowAboutBox(window_, texts); }

void MainWindow::EndProgram() {
  // At once: no window is asked, the close box's way out is taken.
  if (window_) DestroyWindow(window_);
}

}  // namespace pelvaro::win32
