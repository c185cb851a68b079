#pragma once

// Stands in for the user: answers file dialogs, message boxes and modal
// windows from scripts the test set up, and records every question asked.
// Modal windows are really shown (offscreen), so their show handlers run, and
// the script then works their controls as a user would.

#include "ui/interaction.h"

#include <QDialog>
#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace pelvaro::testing {

class ScriptedInteraction final : public ui::Interaction {
 public:
  struct Message {
    QString text;
    int style;
    bool busy;  // the busy pointer was up while the box was shown
  };
  using ModalScript = std::function<void(QDialog&)>;

  ScriptedInteraction() : scope_(*this) {}

  // nothing = the user cancels
  std::deque<std::optional<QString>> fileAnswers;
  // answers to Yes/No boxes in order; an OK box takes none
  std::deque<int> messageAnswers;
  // one per modal showing; a showing without a script is left by Esc
  std::deque<ModalScript> modalScripts;

  std::vector<ui::FileDialogRequest> fileDialogs;
  std::vector<Message> messages;
  int modalShowings = 0;
  int endRequests = 0;
  // questions that had no scripted answer: each one is a test failure
  int unscripted = 0;

  std::optional<QString> RunFileDialog(QWidget* parent, const ui::FileDialogRequest& request) override;
  int RunMessageBox(QWidget* parent, const QString& text, int style) override;
  void RunModal(QDialog& dialog) override;
  void EndProgram() override { ++endRequests; }

 private:
  ui::ScopedInteraction scope_;
};

}  // namespace pelvaro::testing
