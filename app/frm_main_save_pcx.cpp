// Save All PCX: pick the output folder, write every row as a PCX file.

#include "app/frm_main.h"

#include "export/messages.h"
#include "export/output_folder.h"
#include "export/pcx_export.h"
#include "ui/busy_pointer.h"
#include "ui/frm_path.h"
#include "ui/interaction.h"
#include "ui/progress_window.h"

namespace pelvaro::app {

void frmMain::cmdPCX_Click() {
  if (!archive_ || archive_->RowCount() == 0) return;
  if (!frmPath_) frmPath_ = std::make_unique<ui::frmPath>();
  // The last output folder is where the chooser opens.
  if (!OutputFolder.empty()) frmPath_->p = OutputFolder;
  ui::CurrentInteraction().RunModal(*frmPath_);
  if (!frmPath_->swPath) return;

  // Kept even when the export below fails: it is the folder the user chose.
  OutputFolder = frmPath_->Folder();
  RunReported([this] {
    Result<Done, exporter::FolderError> made = Done{};
    Result<exporter::PcxExportSummary, exporter::WriteError> result = exporter::PcxExportSummary{};
    {
      const ui::BusyPointer busy;
      // A folder typed into the chooser that is not there yet is made, as pelvaro-cli makes it.
      made = exporter::EnsureOutputFolder(OutputFolder);
      if (made) {
        ui::ProgressWindow progress(this, QStringLiteral("PCXファイルを出力しています…"));
        result = exporter::ExportAllPcx(OutputFolder, *archive_, [&progress](std::size_t done, std::size_t total) {
          progress.Step(static_cast<int>(done), static_cast<int>(total));
        });
      }
    }
    // Told once the pointer is back to normal, as every message of a command is.
    if (!made) {
      MsgBox(exporter::DescribeFolderError(made.error()), ui::MsgStyle::kStop);
      return;
    }
    if (!result) {
      // The files written before the failure stay.
      MsgBox(exporter::DescribeWriteError(result.error()), ui::MsgStyle::kStop);
      return;
    }
    exporter::Lines done{exporter::kPcxDone};
    if (result->skipped > 0) done.push_back(exporter::SkippedRowsLine(result->skipped));
    MsgBox(done, ui::MsgStyle::kInformation);
  });
}

}  // namespace pelvaro::app
