// What the commands ask of the main window: message boxes, the file dialogs,
// the folder chooser, progress, the busy pointer, and the archive, rows and
// labels on show.

#include "app/frm_main.h"

#include "app/sprite_viewer.h"
#include "ui/busy_pointer.h"
#include "ui/frm_about.h"
#include "ui/frm_path.h"
#include "ui/interaction.h"
#include "ui/message_box.h"
#include "ui/progress_window.h"

#include <QLabel>
#include <QPointer>
#include <QTreeView>

#include <algorithm>

namespace pelvaro::app {
namespace {

class WindowProgress final : public commands::Progress {
 public:
  WindowProgress(QWidget* parent, const commands::ProgressRequest& request)
      : window_(parent, QString::fromStdString(request.caption), request.cancellable) {}
  bool Step(std::size_t done, std::size_t total) override {
    return window_.Step(static_cast<int>(done), static_cast<int>(total));
  }

 private:
  ui::ProgressWindow window_;
};

}  // namespace

commands::Answer frmMain::Ask(const commands::Lines& message, commands::MsgStyle style) {
  return ui::MsgBox(this, message, style);
}

std::optional<std::string> frmMain::ChooseFile(const commands::FileRequest& request) { return cdl1.Show(request); }

std::optional<std::string> frmMain::ChooseFolder(const std::optional<std::string>& start) {
  // Made once and only hidden afterwards, so it keeps its drive for the rest of the run.
  if (!frmPath_) frmPath_ = std::make_unique<ui::frmPath>();
  if (start) frmPath_->p = *start;
  ui::CurrentInteraction().RunModal(*frmPath_);
  if (!frmPath_->swPath) return std::nullopt;
  return frmPath_->Folder();
}

std::unique_ptr<commands::Progress> frmMain::ShowProgress(const commands::ProgressRequest& request) {
  return std::make_unique<WindowProgress>(this, request);
}

void frmMain::SetBusy(bool busy) {
  // Guards may nest: the pointer comes back when the outermost ends.
  if (busy) {
    if (busyDepth_++ == 0) busy_ = std::make_unique<ui::BusyPointer>();
  } else if (busyDepth_ > 0 && --busyDepth_ == 0) {
    busy_.reset();
  }
}

void frmMain::ShowSffName(const std::string& name) { lblSffName->setText(QString::fromStdString(name)); }

void frmMain::ShowArchive(const sff::Archive* archive, const std::string& imageCount) {
  model_.SetArchive(archive);
  lblImage->setText(QString::fromStdString(imageCount));
}

void frmMain::SelectRow(std::size_t row) {
  if (row >= static_cast<std::size_t>(model_.rowCount())) return;
  lstFiles->setCurrentIndex(model_.index(static_cast<int>(row), std::max(lstFiles->currentIndex().column(), 0)));
}

void frmMain::ShowViewer(const commands::ViewerState& viewer) {
  if (!viewer.open()) {
    if (viewer_) viewer_->hide();
    return;
  }
  if (!viewer_) viewer_ = new SpriteViewer(this, commands_);
  viewer_->Draw(viewer);
  if (!viewer_->isVisible()) {
    viewer_->show();
    viewer_->raise();
    viewer_->activateWindow();
  }
}

void frmMain::ShowAbout(const commands::AboutTexts& texts) {
  // A new box every time, so its texts are filled anew; it has no owner.
  QPointer<ui::frmAbout> about = new ui::frmAbout(windowIcon(), texts);
  ui::CurrentInteraction().RunModal(*about);
  // Closing it destroys it; this only catches a box that was merely hidden.
  delete about.data();
}

void frmMain::EndProgram() { ui::CurrentInteraction().EndProgram(); }

}  // namespace pelvaro::app
