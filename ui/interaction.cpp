#include "ui/interaction.h"

#include "ui/file_dialog.h"
#include "ui/message_box.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace pelvaro::ui {
namespace {

class DesktopInteraction final : public Interaction {
 public:
  std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogRequest& request) override {
    const auto dialog = MakeFileDialog(parent, request);
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog->selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(files.front());
  }

  Answer RunMessageBox(QWidget* parent, const QString& text, MsgStyle style) override {
    const auto box = MakeMessageBox(parent, text, style);
    box->exec();
    return AnswerOf(*box);
  }

  void RunModal(QDialog& dialog) override { dialog.exec(); }

  // The event loop stops before it delivers anything else, so no window gets
  // to ask or refuse; main() then tears everything down.
  void EndProgram() override { QCoreApplication::exit(0); }
};

DesktopInteraction desktop;
Interaction* current = &desktop;

}  // namespace

Interaction& CurrentInteraction() { return *current; }

ScopedInteraction::ScopedInteraction(Interaction& replacement) : previous_(current) { current = &replacement; }

ScopedInteraction::~ScopedInteraction() { current = previous_; }

}  // namespace pelvaro::ui
