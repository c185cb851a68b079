#include "cli/cli.h"
#include "export/atomic_file.h"
#include "export/definition_text.h"
#include "platform/command_line.h"
#include "platform/standard_streams.h"

#include <iostream>
#include <string>
#include <vector>

int pelvaro::platform::RunProgram(const std::vector<std::string>& args) {
  pelvaro::exporter::RemoveTemporaryFilesOnTermination();
  std::ios::sync_with_stdio(false);
  PrepareStandardStreams();
  pelvaro::cli::Environment env;
  env.progressTerminal = StderrCanShowProgress();
  env.programFolder = pelvaro::exporter::ProgramFolder();
  const int code = pelvaro::cli::Run(args, std::cout, std::cerr, env);
  std::cout.flush();
  std::cerr.flush();
  return code;
}
