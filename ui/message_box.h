#pragma once

// Message boxes with the application title; none passes a title of its own.

#include "commands/desk.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

class QMessageBox;
class QWidget;

namespace pelvaro::ui {

inline constexpr const char* kAppTitle = commands::kApplicationTitle;

using commands::Answer;
using commands::MsgStyle;

// The box for `style`, not yet shown. The text is shown as plain text, never as markup.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const QString& text, MsgStyle style);

// The answer of the button the user pressed.
Answer AnswerOf(const QMessageBox& box);

// Shows the box through the current interaction and returns the answer. While
// it waits, the pointer over it is the ordinary arrow even when a command has
// the busy pointer up.
Answer MsgBox(QWidget* parent, const QString& text, MsgStyle style);
// A message given as lines, one under the other (Qt's boxes break lines at LF).
Answer MsgBox(QWidget* parent, const std::vector<std::string>& lines, MsgStyle style);

}  // namespace pelvaro::ui
