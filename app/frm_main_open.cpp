// Open SFF: pick an archive, show its name, load it.

#include "app/frm_main.h"

#include "sff/load_sff.h"
#include "text/native_path.h"
#include "ui/busy_pointer.h"

#include <QLabel>

namespace pelvaro::app {

void frmMain::cmdSffOpen_Click() {
  std::string path;
  // Up to the end of the dialog any failure, Cancel included, ends the command
  // without a word and without touching the labels, the list or the archive.
  try {
    cdl1.CancelError = true;
    cdl1.Flags = ui::cdl::kHideReadOnly;
    cdl1.FileName = "USER.sff";
    cdl1.DialogTitle = "Select Sff File";
    cdl1.Filter = "Sff Files (*.sff)|*.sff|";
    cdl1.ShowOpen();  // the folder is whatever the dialog last had
    path = cdl1.FileName;
  } catch (...) {
    return;
  }
  OpenSff(path);
}

void frmMain::OpenSff(const std::string& path) {
  // The loader takes the archive's stem from this label, so it comes first.
  lblSffName->setText(QString::fromStdString(text::GetFileName(path)));
  RunReported(
      [&] {
        const ui::BusyPointer busy;
        sff::LoadSff(path, state_, *this);
      },
      [this] { sff::DropArchive(state_, *this); });
}

}  // namespace pelvaro::app
