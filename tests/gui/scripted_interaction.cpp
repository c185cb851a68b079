#include "tests/gui/scripted_interaction.h"

#include "sff/message_box.h"
#include "ui/busy_pointer.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTest>

namespace pelvaro::testing {

std::optional<QString> ScriptedInteraction::RunFileDialog(QWidget*, const ui::FileDialogRequest& request) {
  fileDialogs.push_back(request);
  if (fileAnswers.empty()) {
    ++unscripted;
    return std::nullopt;
  }
  const bool cancelled = !fileAnswers.front().has_value();
  const QString path = cancelled ? QString() : *fileAnswers.front();
  fileAnswers.pop_front();
  if (cancelled) return std::nullopt;
  return path;
}

int ScriptedInteraction::RunMessageBox(QWidget*, const QString& text, int style) {
  // ui::MsgBox puts the arrow over the box; the command's own state is what counts.
  messages.push_back({text, style, ui::BusyPointer::Active()});
  if ((style & 0xF) != mb::kYesNo) return mb::kAnswerOk;
  if (messageAnswers.empty()) {
    ++unscripted;
    return mb::kAnswerNo;
  }
  const int answer = messageAnswers.front();
  messageAnswers.pop_front();
  return answer;
}

void ScriptedInteraction::RunModal(QDialog& dialog) {
  ++modalShowings;
  QPointer<QDialog> alive(&dialog);
  dialog.show();
  if (modalScripts.empty()) {
    ++unscripted;
    QTest::keyClick(&dialog, Qt::Key_Escape);
  } else {
    auto script = std::move(modalScripts.front());
    modalScripts.pop_front();
    script(dialog);
  }
  // A real modal showing ends only when the window is hidden.
  if (alive && alive->isVisible()) {
    ++unscripted;
    alive->hide();
  }
}

}  // namespace pelvaro::testing
