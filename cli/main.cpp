#include "cli/cli.h"
#include "cli/standard_streams.h"
#include "export/atomic_file.h"
#include "export/definition_text.h"

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include "text/native_path.h"
#else
#include <signal.h>
#endif

namespace {

// An interrupted export leaves no temporary file behind; the program then
// ends as the signal would have ended it, so the shell sees what happened.
extern "C" void OnTerminate(int signal) {
  pelvaro::exporter::RemovePendingTemporaryFile();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// Ctrl+C, kill, a closed terminal, Ctrl+\ (Ctrl+C and Ctrl+Break on Windows).
// A signal the program was started ignoring (nohup, a background job) stays
// ignored.
void HandleTerminationSignals() {
  for (const int signal : pelvaro::exporter::TerminationSignals()) {
#ifdef _WIN32
    std::signal(signal, OnTerminate);
#else
    struct sigaction previous {};
    sigaction(signal, nullptr, &previous);
    if (previous.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    // One handler at a time: a second signal waits until the first has removed the file.
    sigemptyset(&action.sa_mask);
    for (const int other : pelvaro::exporter::TerminationSignals()) sigaddset(&action.sa_mask, other);
    sigaction(signal, &action, nullptr);
#endif
  }
}

int RunCommand(const std::vector<std::string>& args) {
  HandleTerminationSignals();
  std::ios::sync_with_stdio(false);
  pelvaro::cli::PrepareStandardStreams();
  pelvaro::cli::Environment env;
  env.progressTerminal = pelvaro::cli::StderrCanShowProgress();
  env.programFolder = pelvaro::exporter::ProgramFolder();
  const int code = pelvaro::cli::Run(args, std::cout, std::cerr, env);
  std::cout.flush();
  std::cerr.flush();
  return code;
}

}  // namespace

#ifdef _WIN32
// The arguments as Windows holds them, in UTF-16: the narrow argv would carry
// them in the ANSI code page and lose every character it lacks.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(pelvaro::text::FromNativePath(argv[i]));
  return RunCommand(args);
}
#else
int main(int argc, char** argv) { return RunCommand(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
