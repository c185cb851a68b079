// Make Text: pick where the definition text goes, write it and the batch file
// beside it.

#include "app/frm_main.h"

#include "export/definition_text.h"
#include "export/messages.h"
#include "ui/busy_pointer.h"

namespace pelvaro::app {

void frmMain::cmdText_Click() {
  if (!archive_ || archive_->RowCount() == 0) return;
  // Set up afresh on every run, so the proposal always comes from the open
  // archive's stem, never from an earlier choice.
  cdl1.Flags = ui::cdl::kOverwritePrompt + ui::cdl::kHideReadOnly;
  cdl1.InitDir = OutputFolder;
  cdl1.FileName = archive_->SffBase() + "_SFF.txt";
  cdl1.DialogTitle = "Act File Save";
  cdl1.Filter = "txt Files(*.txt)|*.txt|";
  const auto textPath = cdl1.ShowSave();  // no default extension: a name is taken as typed
  if (!textPath) return;
  RunReported([&] {
    Result<Done, exporter::MakeTextError> made = Done{};
    {
      const ui::BusyPointer busy;
      made = exporter::MakeText(*textPath, *archive_, exporter::ProgramFolder());
    }
    if (!made) {
      MsgBox(exporter::DescribeMakeTextError(made.error()), ui::MsgStyle::kStop);
      return;
    }
    MsgBox({exporter::kTextDone}, ui::MsgStyle::kInformation);
  });
}

}  // namespace pelvaro::app
