#pragma once

// Progress of a long export, shown from inside the click handler: the work
// keeps running on the GUI thread in its order, and the window appears only
// once it has taken longer than `delay`. A cancellable one has a Cancel
// button (Esc too); the work asks after each file whether to go on, so it
// stops between two files, never inside one.

#include <QElapsedTimer>
#include <QString>

#include <chrono>
#include <memory>

class QProgressDialog;
class QWidget;

namespace pelvaro::ui {

class ProgressWindow {
 public:
  static constexpr std::chrono::milliseconds kDefaultDelay{1000};

  ProgressWindow(QWidget* parent, QString label, bool cancellable = false,
                 std::chrono::milliseconds delay = kDefaultDelay);
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // After each unit of work; cheap enough to call for every row. False once
  // the user has asked to stop.
  bool Step(int done, int total);

 private:
  QWidget* parent_;
  QString label_;
  bool cancellable_;
  std::chrono::milliseconds delay_;
  QElapsedTimer sinceStart_;
  QElapsedTimer sinceRepaint_;
  std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace pelvaro::ui
