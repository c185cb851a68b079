#include "ui/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTimer>

namespace pelvaro::ui {

std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, const FileDialogRequest& request) {
  auto dialog = std::make_unique<QFileDialog>(parent, request.title, request.directory);
  const bool save = request.mode == FileDialogMode::kSave;
  dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog->setNameFilters(request.nameFilters);
  dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
  if (!request.fileName.isEmpty()) dialog->selectFile(request.fileName);
  if (!save) return dialog;

  // The name the user means: the proposal, then a file picked in the list,
  // or a name typed that is not the folder they went into.
  QFileDialog* shown = dialog.get();
  struct Names {
    QString file;    // the name to keep
    QString typed;   // the name box as last typed
    QString folder;  // the folder shown before the move
  };
  auto names = std::make_shared<Names>(Names{request.fileName, {}, shown->directory().absolutePath()});
  QObject::connect(shown, &QFileDialog::currentChanged, shown, [names](const QString& path) {
    const QFileInfo info(path);
    if (!path.isEmpty() && info.isFile()) names->file = info.fileName();
  });
  if (auto* nameBox = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
    QObject::connect(nameBox, &QLineEdit::textEdited, shown, [names](const QString& text) { names->typed = text; });
  const auto moved = [shown, names](const QString& entered) {
    if (QDir(entered) == QDir(names->folder)) return;
    const QString typed = names->typed.trimmed();
    const bool plainName = !typed.isEmpty() && !typed.contains(QLatin1Char('/')) && !typed.contains(QDir::separator());
    if (plainName && !QFileInfo(QDir(names->folder).filePath(typed)).isDir()) names->file = typed;
    names->typed.clear();
    names->folder = entered;
    // After the dialog has done with the move, which may put the folder's name in the box.
    if (!names->file.isEmpty())
      QTimer::singleShot(0, shown, [shown, names] { shown->selectFile(names->file); });
  };
  // A folder double-clicked, typed into the name box or picked from the
  // sidebar: every move changes the dialog's model's root.
  QObject::connect(shown, &QFileDialog::directoryEntered, shown, moved);
  if (auto* model = shown->findChild<QFileSystemModel*>())
    QObject::connect(model, &QFileSystemModel::rootPathChanged, shown, moved);
  return dialog;
}

}  // namespace pelvaro::ui
