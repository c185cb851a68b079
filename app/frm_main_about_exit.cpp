// About and Exit.

#include "app/frm_main.h"

#include "ui/frm_about.h"
#include "ui/interaction.h"

#include <QPointer>

namespace pelvaro::app {

void frmMain::cmdAbout_Click() {
  // A new box every time, so its texts are filled anew; it has no owner.
  QPointer<ui::frmAbout> about = new ui::frmAbout(windowIcon());
  ui::CurrentInteraction().RunModal(*about);
  // Closing it destroys it; this only catches a box that was merely hidden.
  delete about.data();
}

void frmMain::cmdEnd_Click() {
  if (MsgBox({"終了しますか？"}, ui::MsgStyle::kYesNoQuestion) == ui::Answer::kNo) return;
  ui::CurrentInteraction().EndProgram();
}

}  // namespace pelvaro::app
