// Save All PCX: pick the output folder, write every row as a PCX file.

#include "app/frm_main.h"

#include "export/pcx_export.h"
#include "sff/message_box.h"
#include "ui/busy_pointer.h"
#include "ui/frm_path.h"
#include "ui/interaction.h"
#include "ui/progress_window.h"

#include <QLineEdit>

namespace pelvaro::app {

void frmMain::cmdPCX_Click() {
  if (table_.Count() == 0) return;
  if (!frmPath_) frmPath_ = std::make_unique<ui::frmPath>();
  if (!OutputFolder.empty()) {
    frmPath_->txtPath->setText(QString::fromStdString(OutputFolder));
    // The chooser sets its path box afresh when it is shown; handed over as
    // its start folder, the last output folder is where it opens.
    frmPath_->p = OutputFolder;
  }
  ui::CurrentInteraction().RunModal(*frmPath_);
  if (frmPath_->swPath != ui::frmPath::kTrue) return;

  // Kept even when the export below fails: it is the folder the user chose.
  OutputFolder = frmPath_->txtPath->text().toStdString();
  RunReported([this] {
    exporter::PcxExportResult result;
    {
      const ui::BusyPointer busy;
      ui::ProgressWindow progress(this, QStringLiteral("PCXファイルを出力しています…"));
      result = exporter::ExportAllPcx(OutputFolder, state_, table_,
                                      [&progress](int done, int total) { progress.Step(done, total); });
    }
    if (result.error) {
      // The files written before the failure stay.
      MsgBox(result.error->message, mb::kStop);
      return;
    }
    std::string done = "全PCXが出力されました。";
    if (result.skipped > 0) done += "\r\n" + exporter::SkippedRowsMessage(result.skipped);
    MsgBox(done, mb::kInformation);
  });
}

}  // namespace pelvaro::app
