#pragma once

// The main window's file dialog control: its settings stay on it between uses,
// each command sets the ones it needs and shows it as an open or a save dialog.
// Texts are UTF-8, paths in the platform's own separators.

#include "ui/interaction.h"

#include <QStringList>

#include <optional>
#include <string>

class QWidget;

namespace pelvaro::ui {

namespace cdl {
inline constexpr int kOverwritePrompt = 2;  // ask before replacing an existing file
inline constexpr int kHideReadOnly = 4;     // no read-only check box (Qt's dialogs never have one)
}  // namespace cdl

class CommonDialog {
 public:
  explicit CommonDialog(QWidget* owner) : owner_(owner) {}

  int Flags = 0;
  std::string FileName;  // the proposed name before a showing, the chosen full path after it
  std::string DialogTitle;
  std::string Filter;  // "description|pattern|description|pattern|", patterns separated by ";"
  std::string InitDir;  // empty: the folder of the last choice, else the platform's choice

  // The chosen full path, nothing when the user cancelled.
  std::optional<std::string> ShowOpen() { return Show(FileDialogMode::kOpen); }
  std::optional<std::string> ShowSave() { return Show(FileDialogMode::kSave); }

  // What the next showing asks of the platform.
  FileDialogRequest Request(FileDialogMode mode) const;
  // Qt's form of a filter text: one "description (patterns)" per entry.
  static QStringList NameFilters(const std::string& filter);

 private:
  std::optional<std::string> Show(FileDialogMode mode);

  QWidget* owner_;
  std::string lastFolder_;
};

}  // namespace pelvaro::ui
