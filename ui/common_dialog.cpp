#include "ui/common_dialog.h"

#include "text/native_path.h"

namespace pelvaro::ui {

QStringList CommonDialog::NameFilters(const std::string& filter) {
  const QStringList fields = QString::fromStdString(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
    const QString& description = fields[i];
    const QString patterns = QString(fields[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')).trimmed();
    if (description.isEmpty() && patterns.isEmpty()) continue;
    // Qt reads the patterns from the parentheses at the end of the entry; a
    // description that already ends with them is shown as it is.
    const QString tail = QLatin1Char('(') + patterns + QLatin1Char(')');
    filters << (description.endsWith(tail) ? description : description + QLatin1Char(' ') + tail);
  }
  return filters;
}

FileDialogRequest CommonDialog::Request(FileDialogMode mode) const {
  FileDialogRequest request;
  request.mode = mode;
  request.title = QString::fromStdString(DialogTitle);
  request.directory = QString::fromStdString(InitDir.empty() ? lastFolder_ : InitDir);
  request.fileName = QString::fromStdString(FileName);
  request.nameFilters = NameFilters(Filter);
  request.confirmOverwrite = (Flags & cdl::kOverwritePrompt) != 0;
  return request;
}

std::optional<std::string> CommonDialog::Show(FileDialogMode mode) {
  const auto chosen = CurrentInteraction().RunFileDialog(owner_, Request(mode));
  if (!chosen) return std::nullopt;
  FileName = chosen->toStdString();
  const std::string name = text::GetFileName(FileName);
  lastFolder_ = FileName.substr(0, FileName.size() - name.size());
  return FileName;
}

}  // namespace pelvaro::ui
