// The entry point of a command-line program. wmain: the arguments as Windows
// holds them, in UTF-16; the narrow argv would carry them in the ANSI code
// page and lose every character it lacks.

#include "platform/command_line.h"
#include "platform/native_path.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(pelvaro::platform::FromNativePath(argv[i]));
  return pelvaro::platform::RunProgram(args);
}
