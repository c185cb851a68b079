#include "ui/common_dialog.h"

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

FileDialogRequest CommonDialog::Request(const commands::FileRequest& r) {
  FileDialogRequest request;
  request.mode = r.mode == commands::FileDialogMode::kSave ? FileDialogMode::kSave : FileDialogMode::kOpen;
  request.title = QString::fromStdString(r.title);
  request.directory = QString::fromStdString(r.initialFolder);
  request.fileName = QString::fromStdString(r.fileName);
  request.nameFilters = NameFilters(r.filter);
  request.confirmOverwrite = (r.flags & commands::cdl::kOverwritePrompt) != 0;
  return request;
}

std::optional<std::string> CommonDialog::Show(const commands::FileRequest& request) {
  const auto chosen = CurrentInteraction().RunFileDialog(owner_, Request(request));
  if (!chosen) return std::nullopt;
  return chosen->toStdString();
}

}  // namespace pelvaro::ui
