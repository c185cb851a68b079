// Open SFF: pick an archive, show its name, load it.

#include "app/frm_main.h"

#include "export/messages.h"
#include "sff/load_sff.h"
#include "text/native_path.h"
#include "ui/busy_pointer.h"

#include <QLabel>

namespace pelvaro::app {

void frmMain::cmdSffOpen_Click() {
  // Cancel ends the command without a word and without touching the labels,
  // the list or the archive.
  cdl1.Flags = ui::cdl::kHideReadOnly;
  cdl1.FileName = "USER.sff";
  cdl1.DialogTitle = "Select Sff File";
  cdl1.Filter = "Sff Files (*.sff)|*.sff|";
  const auto path = cdl1.ShowOpen();  // the folder is whatever the dialog last had
  if (path) OpenSff(*path);
}

void frmMain::OpenSff(const std::string& path) {
  lblSffName->setText(QString::fromStdString(text::GetFileName(path)));
  RunReported(
      [&] {
        const ui::BusyPointer busy;
        auto loaded = sff::LoadSff(path, [this] {
          return MsgBox(exporter::SharedPaletteWarning(), ui::MsgStyle::kYesNoStopDefaultNo) == ui::Answer::kYes;
        });
        if (loaded) {
          Show(std::move(*loaded));
          return;
        }
        // The list and the labels are emptied before the refusal is told.
        Show(std::nullopt);
        const exporter::Lines refusal = exporter::DescribeLoadError(loaded.error());
        if (!refusal.empty()) MsgBox(refusal, ui::MsgStyle::kStop);
      },
      [this] { Show(std::nullopt); });
}

}  // namespace pelvaro::app
