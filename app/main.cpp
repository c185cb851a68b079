// Pelvaro, the desktop program: shows the main window and nothing else.

#include "app/frm_main.h"
#include "app/program_icon.h"
#include "ui/fonts.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("pelvaro"));
  QGuiApplication::setDesktopFileName(QStringLiteral("pelvaro"));
  QApplication::setWindowIcon(pelvaro::app::ProgramIcon());
  pelvaro::ui::InstallFontSubstitutes();

  pelvaro::app::frmMain window;
  window.show();
  return QApplication::exec();
}
