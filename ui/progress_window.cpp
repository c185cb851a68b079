#include "ui/progress_window.h"

#include <QCloseEvent>
#include <QProgressDialog>

namespace pelvaro::ui {
namespace {

constexpr qint64 kRepaintEveryMs = 50;

// Neither Esc nor the close box can take the window away while the work goes on.
class UnclosableProgressDialog final : public QProgressDialog {
 public:
  using QProgressDialog::QProgressDialog;

 protected:
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
  void reject() override {}
};

}  // namespace

ProgressWindow::ProgressWindow(QWidget* parent, QString label, std::chrono::milliseconds delay)
    : parent_(parent), label_(std::move(label)), delay_(delay) {
  sinceStart_.start();
}

ProgressWindow::~ProgressWindow() = default;

void ProgressWindow::Step(int done, int total) {
  if (!dialog_) {
    if (sinceStart_.elapsed() < delay_.count() || done >= total) return;
    dialog_ = std::make_unique<UnclosableProgressDialog>(label_, QString(), 0, total, parent_);
    dialog_->setCancelButton(nullptr);
    dialog_->setWindowTitle(parent_ ? parent_->windowTitle() : QString());
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    // Application-modal before it is shown, so that the events it lets through
    // to paint itself can reach no other window: no second command can start.
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->show();
    sinceRepaint_.start();
    dialog_->setValue(done);
    return;
  }
  if (done < total && sinceRepaint_.elapsed() < kRepaintEveryMs) return;
  sinceRepaint_.restart();
  dialog_->setMaximum(total);
  dialog_->setValue(done);
}

}  // namespace pelvaro::ui
