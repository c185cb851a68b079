#pragma once

// Message boxes by their style value (buttons + icon + default button, see
// sff/message_box.h) with the application title.

#include <QString>

#include <memory>
#include <string>

class QMessageBox;
class QWidget;

namespace pelvaro::ui {

// The box for `style`, not yet shown. Texts use CR LF line ends as the core
// writes them; they are shown as plain text, never as markup.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const QString& text, int style);

// The answer value (mb::kAnswer*) of the button the user pressed.
int AnswerOf(const QMessageBox& box);

// Shows the box through the current interaction and returns the answer. While
// it waits, the pointer over it is the ordinary arrow even when a command has
// the busy pointer up.
int MsgBox(QWidget* parent, const std::string& text, int style);

}  // namespace pelvaro::ui
