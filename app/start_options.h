#pragma once

// What the desktop program is asked to do by its command line:
//
//   pelvaro [ARCHIVE]            the window; ARCHIVE, when given, is opened
//                                once the window shows, as Open SFF opens it
//   pelvaro --help | --version   an answer on stdout, and no window
//
// Qt's own options (-platform, -style, ...) are not ours: QApplication takes
// them out of argv, and only what it leaves is read for the archive.

#include <iosfwd>
#include <string>
#include <vector>

namespace pelvaro::app {

class frmMain;

struct StartOptions {
  enum class Action { kShowWindow, kHelp, kVersion, kUsageError };
  Action action = Action::kShowWindow;
  std::string archive;  // kShowWindow: the archive to open; empty for none
  std::string error;    // kUsageError: what was wrong with the arguments
};

// `args` without the program's name. --help or --version anywhere before a
// "--" wins over anything wrong beside it, so they can be answered before
// QApplication has taken its options out; after "--" every word is a file.
StartOptions ParseStartArguments(const std::vector<std::string>& args);

// Answers --help, --version or a usage error; returns the exit status.
int AnswerWithoutWindow(const StartOptions& options, std::ostream& out, std::ostream& err);

// Shows the window and, when an archive was given, opens it through
// frmMain::OpenSff once the event loop runs, so any question about it comes
// over the window on screen.
void ShowMainWindow(frmMain& window, const StartOptions& options);

}  // namespace pelvaro::app
