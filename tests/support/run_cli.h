// Runs pelvaro-cli's entry point in process, catching what it prints.
#pragma once

#include "cli/cli.h"
#include "text/native_path.h"

#include <sstream>
#include <string>
#include <vector>

namespace pelvaro::testing {

struct CliRun {
  int code;
  std::string out, err;
};

inline CliRun RunCli(std::vector<std::string> args, bool terminal = false) {
  std::ostringstream out, err;
  cli::Environment env;
  env.progressTerminal = terminal;
  env.programFolder = std::string("C:") + text::kPathSeparator + "Tools";
  const int code = cli::Run(args, out, err, env);
  return {code, out.str(), err.str()};
}

}  // namespace pelvaro::testing
