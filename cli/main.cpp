#include "cli/cli.h"
#include "export/atomic_file.h"
#include "export/definition_text.h"

#include <csignal>
#include <iostream>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// An interrupted export leaves no temporary file behind.
extern "C" void OnTerminate(int signal) {
  pelvaro::exporter::RemovePendingTemporaryFile();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

bool StderrIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  const char* term = std::getenv("TERM");
  return isatty(STDERR_FILENO) != 0 && !(term && std::string(term) == "dumb");
#endif
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  SetConsoleOutputCP(CP_UTF8);
#endif
  std::signal(SIGINT, OnTerminate);
  std::signal(SIGTERM, OnTerminate);
  std::vector<std::string> args(argv + 1, argv + argc);
  pelvaro::cli::Environment env;
  env.progressTerminal = StderrIsTerminal();
  env.programFolder = pelvaro::exporter::ProgramFolder();
  std::ios::sync_with_stdio(false);
  return pelvaro::cli::Run(args, std::cout, std::cerr, env);
}
