#include "cli/cli.h"
#include "cli/standard_streams.h"
#include "export/atomic_file.h"
#include "export/definition_text.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include "text/native_path.h"
#endif

namespace {

int RunCommand(const std::vector<std::string>& args) {
  pelvaro::exporter::RemoveTemporaryFilesOnTermination();
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
