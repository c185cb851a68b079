#pragma once

// What pelvaro.exe is asked by its command line: `pelvaro.exe [ARCHIVE]`.
// ARCHIVE, when given, opens once the window shows, as Open SFF opens it;
// after "--" every word is a file. A GUI program has no console to answer
// --help on, so no option is read; a word more is told in a message box.

#include <optional>
#include <string>
#include <vector>

namespace pelvaro::win32 {

struct StartArguments {
  std::optional<std::wstring> archive;
  bool tooMany = false;  // more than one file was named
};

// `args` without the program's name.
StartArguments ParseStartArguments(const std::vector<std::wstring>& args);
// The arguments of this process, from its UTF-16 command line.
std::vector<std::wstring> ProcessArguments();

}  // namespace pelvaro::win32
