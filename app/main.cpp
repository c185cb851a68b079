// Pelvaro, the desktop program: shows the main window, with the archive named
// on the command line opened in it.

#include "app/frm_main.h"
#include "app/program_icon.h"
#include "app/start_options.h"
#include "export/atomic_file.h"
#include "platform/command_line.h"
#include "ui/fonts.h"

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

namespace {

// The arguments after the program's name, in the UTF-8 the window's own paths
// use. On Windows argv holds the ANSI code page, so they come from Qt's reading
// of the UTF-16 command line; elsewhere argv's bytes are the file name exactly.
std::vector<std::string> Arguments(int argc, char** argv) {
  if (!pelvaro::platform::NarrowArgumentsAreExact() && QCoreApplication::instance()) {
    std::vector<std::string> args;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i) args.push_back(all[i].toStdString());
    return args;
  }
  return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace

int main(int argc, char** argv) {
  using pelvaro::app::StartOptions;
  // --help and --version need no window system: they are answered before Qt
  // looks for a display.
  if (const StartOptions early = pelvaro::app::ParseStartArguments(Arguments(argc, argv));
      early.action == StartOptions::Action::kHelp || early.action == StartOptions::Action::kVersion)
    return pelvaro::app::AnswerWithoutWindow(early, std::cout, std::cerr);

  // A window closed by a signal mid-export (a logout, kill) leaves no temporary file.
  pelvaro::exporter::RemoveTemporaryFilesOnTermination();
  QApplication application(argc, argv);  // takes Qt's own options out of argv
  const StartOptions options = pelvaro::app::ParseStartArguments(Arguments(argc, argv));
  if (options.action != StartOptions::Action::kShowWindow)
    return pelvaro::app::AnswerWithoutWindow(options, std::cout, std::cerr);

  QApplication::setApplicationName(QStringLiteral("pelvaro"));
  QGuiApplication::setDesktopFileName(QStringLiteral("pelvaro"));
  QApplication::setWindowIcon(pelvaro::app::ProgramIcon());
  pelvaro::ui::InstallFontSubstitutes();

  pelvaro::app::frmMain window;
  pelvaro::app::ShowMainWindow(window, options);
  return QApplication::exec();
}
