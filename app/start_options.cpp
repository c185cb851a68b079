#include "app/start_options.h"

#include "app/frm_main.h"
#include "pelvaro_version.h"

#include <QTimer>

#include <ostream>
#include <utility>

namespace pelvaro::app {
namespace {

constexpr const char* kUsage =
    "Usage: pelvaro [ARCHIVE]\n"
    "       pelvaro --help | --version\n"
    "\n"
    "Starts the desktop program. ARCHIVE, an .sff file, is opened once the window\n"
    "shows, as Open SFF would open it.\n"
    "\n"
    "  --help     print this text and exit\n"
    "  --version  print the version and exit\n"
    "  --         every word after it is a file name\n";

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;  // as pelvaro-cli's

bool IsOption(const std::string& word) { return word.size() > 1 && word[0] == '-'; }

StartOptions Options(StartOptions::Action action, std::string archive = {}, std::string error = {}) {
  StartOptions options;
  options.action = action;
  options.archive = std::move(archive);
  options.error = std::move(error);
  return options;
}

}  // namespace

StartOptions ParseStartArguments(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  std::string firstError;
  bool optionsEnded = false;
  for (const std::string& word : args) {
    if (optionsEnded || !IsOption(word)) {
      files.push_back(word);
    } else if (word == "--") {
      optionsEnded = true;
    } else if (word == "--help" || word == "-h") {
      return Options(StartOptions::Action::kHelp);
    } else if (word == "--version") {
      return Options(StartOptions::Action::kVersion);
    } else if (firstError.empty()) {
      firstError = "unknown option: " + word;
    }
  }
  if (!firstError.empty()) return Options(StartOptions::Action::kUsageError, {}, firstError);
  // One window holds one archive; a second name would be silently dropped.
  if (files.size() > 1)
    return Options(StartOptions::Action::kUsageError, {},
                   "one archive at a time, " + std::to_string(files.size()) + " given");
  return Options(StartOptions::Action::kShowWindow, files.empty() ? std::string() : files[0]);
}

int AnswerWithoutWindow(const StartOptions& options, std::ostream& out, std::ostream& err) {
  switch (options.action) {
    case StartOptions::Action::kHelp: out << kUsage; break;
    case StartOptions::Action::kVersion: out << "pelvaro " << kVersionText << "\n"; break;
    case StartOptions::Action::kUsageError: err << "pelvaro: " << options.error << "\n" << kUsage; return kExitUsage;
    case StartOptions::Action::kShowWindow: break;
  }
  out.flush();
  return out ? kExitOk : 1;
}

void ShowMainWindow(frmMain& window, const StartOptions& options) {
  window.show();
  if (options.archive.empty()) return;
  QTimer::singleShot(0, &window, [&window, path = options.archive] { window.OpenSff(path); });
}

}  // namespace pelvaro::app
