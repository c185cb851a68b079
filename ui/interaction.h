#pragma once

// Everything the program asks of the user goes through here: file dialogs,
// message boxes, modal windows and the end of the program. The desktop shows
// real dialogs; tests put a scripted interaction in place and drive the real
// windows and handlers with it.

#include "ui/message_box.h"

#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QWidget;

namespace pelvaro::ui {

enum class FileDialogMode { kOpen, kSave };

// One showing of a file dialog, in Qt's terms.
struct FileDialogRequest {
  FileDialogMode mode = FileDialogMode::kOpen;
  QString title;
  QString directory;  // empty: the platform's choice
  QString fileName;   // proposed name
  QStringList nameFilters;
  bool confirmOverwrite = false;
};

class Interaction {
 public:
  virtual ~Interaction() = default;

  // The chosen full path (native separators), nothing when the user cancelled.
  virtual std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogRequest& request) = 0;
  virtual Answer RunMessageBox(QWidget* parent, const QString& text, MsgStyle style) = 0;
  // Returns when the dialog is hidden. A dialog that deletes itself on close
  // may be gone by then; callers hold it in a QPointer.
  virtual void RunModal(QDialog& dialog) = 0;
  // Ends the program at once, without asking any window.
  virtual void EndProgram() = 0;
};

// The interaction in force: the desktop one unless a test replaced it.
Interaction& CurrentInteraction();

// Puts `replacement` in force for the guard's lifetime.
class ScopedInteraction {
 public:
  explicit ScopedInteraction(Interaction& replacement);
  ~ScopedInteraction();
  ScopedInteraction(const ScopedInteraction&) = delete;
  ScopedInteraction& operator=(const ScopedInteraction&) = delete;

 private:
  Interaction* previous_;
};

}  // namespace pelvaro::ui
