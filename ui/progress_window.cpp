#include "ui/progress_window.h"

#include <QCloseEvent>
#include <QProgressDialog>

namespace pelvaro::ui {
namespace {

constexpr qint64 kRepaintEveryMs = 50;

// Neither Esc nor the close box can take the window away while the work goes
// on; in a cancellable one Esc asks the work to stop, as Cancel does.
class UnclosableProgressDialog final : public QProgressDialog {
 public:
  UnclosableProgressDialog(const QString& label, int total, QWidget* parent, bool cancellable)
      : QProgressDialog(label, QString(), 0, total, parent), cancellable_(cancellable) {}

 protected:
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
  void reject() override {
    if (cancellable_) cancel();
  }

 private:
  bool cancellable_;
};

}  // namespace

ProgressWindow::ProgressWindow(QWidget* parent, QString label, bool cancellable, std::chrono::milliseconds delay)
    : parent_(parent), label_(std::move(label)), cancellable_(cancellable), delay_(delay) {
  sinceStart_.start();
}

ProgressWindow::~ProgressWindow() = default;

bool ProgressWindow::Step(int done, int total) {
  if (!dialog_) {
    if (sinceStart_.elapsed() < delay_.count() || done >= total) return true;
    dialog_ = std::make_unique<UnclosableProgressDialog>(label_, total, parent_, cancellable_);
    if (cancellable_) {
      dialog_->setCancelButtonText(QStringLiteral("キャンセル"));
    } else {
      dialog_->setCancelButton(nullptr);
    }
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
    return !dialog_->wasCanceled();
  }
  if (done < total && sinceRepaint_.elapsed() < kRepaintEveryMs) return !dialog_->wasCanceled();
  sinceRepaint_.restart();
  dialog_->setMaximum(total);
  dialog_->setValue(done);
  return !dialog_->wasCanceled();
}

}  // namespace pelvaro::ui
