#pragma once

// The main window's file dialog control: shows what a command asks for
// (commands::FileRequest) as an open or a save dialog, through the current
// interaction. Texts are UTF-8, paths in the platform's own separators.

#include "commands/desk.h"
#include "ui/interaction.h"

#include <QStringList>

#include <optional>
#include <string>

class QWidget;

namespace pelvaro::ui {

class CommonDialog {
 public:
  explicit CommonDialog(QWidget* owner) : owner_(owner) {}

  // The chosen full path, nothing when the user cancelled.
  std::optional<std::string> Show(const commands::FileRequest& request);

  // What a showing asks of Qt.
  static FileDialogRequest Request(const commands::FileRequest& request);
  // Qt's form of a filter text: one "description (patterns)" per entry.
  static QStringList NameFilters(const std::string& filter);

 private:
  QWidget* owner_;
};

}  // namespace pelvaro::ui
