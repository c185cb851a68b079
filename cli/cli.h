#pragma once

// pelvaro-cli: the archive work of the desktop program without a window.
//
//   pelvaro-cli [--yes] list ARCHIVE [--format tsv|json]
//   pelvaro-cli [--yes] pcx ARCHIVE FOLDER [--rows FILTER]
//   pelvaro-cli [--yes] png ARCHIVE FOLDER [--rows FILTER]
//   pelvaro-cli [--yes] text ARCHIVE TEXTFILE
//   pelvaro-cli [--yes] check ARCHIVE [--format json]
//   pelvaro-cli --help | --version
//
// Options may stand before or after the command; "--" ends them, and a lone
// "-" is a name, never an option. --rows reads the row filter's syntax; a term
// it cannot read is a usage error. Data goes to
// `out`, diagnostics to `err`, including a write to `out` that failed; the
// result is the exit status.

#include <iosfwd>
#include <string>
#include <vector>

namespace pelvaro::cli {

enum ExitCode : int {
  kExitOk = 0,
  kExitFailure = 1,   // an archive or output that cannot be read or written, stdout included; for png
                      // also a sprite that cannot be decoded; for check any finding
  kExitUsage = 2,     // no command, an unknown command, option or format, a missing argument, an
                      // unreadable --rows term
  kExitDeclined = 3,  // not in shared palette mode and --yes not given
};

struct Environment {
  bool progressTerminal = false;  // stderr is a terminal that can rewrite a line
  std::string programFolder;      // folder of the running executable
};

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Environment& env);

}  // namespace pelvaro::cli
