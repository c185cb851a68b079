// Make Text: pick where the definition text goes, write it and the batch file
// beside it.

#include "app/frm_main.h"

#include "export/definition_text.h"
#include "sff/message_box.h"
#include "ui/busy_pointer.h"

namespace pelvaro::app {

void frmMain::cmdText_Click() {
  if (table_.Count() == 0) return;
  std::string textPath;
  // Set up afresh on every run, so the proposal always comes from the open
  // archive's stem, never from an earlier choice.
  try {
    cdl1.CancelError = true;
    cdl1.Flags = ui::cdl::kOverwritePrompt + ui::cdl::kHideReadOnly;
    cdl1.InitDir = OutputFolder;
    cdl1.FileName = state_.SffBase + "_SFF.txt";
    cdl1.DialogTitle = "Act File Save";
    cdl1.Filter = "txt Files(*.txt)|*.txt|";
    cdl1.ShowSave();  // no default extension: a name is taken as typed
    textPath = cdl1.FileName;
  } catch (...) {
    return;
  }
  RunReported([&] {
    std::optional<exporter::ExportError> error;
    {
      const ui::BusyPointer busy;
      error = exporter::MakeText(textPath, SffNameText(), state_, table_, exporter::ProgramFolder());
    }
    if (error) {
      MsgBox(error->message, mb::kStop);
      return;
    }
    MsgBox("SFF 作成用テキストファイル、及びバッチファイルが出力されました。", mb::kInformation);
  });
}

}  // namespace pelvaro::app
