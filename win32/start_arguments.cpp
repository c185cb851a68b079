#include "win32/start_arguments.h"

#include <windows.h>
#include <shellapi.h>

namespace pelvaro::win32 {

StartArguments ParseStartArguments(const std::vector<std::wstring>& args) {
  StartArguments parsed;
  std::size_t first = 0;
  if (!args.empty() && args[0] == L"--") first = 1;
  if (first < args.size()) parsed.archive = args[first];
  parsed.tooMany = args.size() > first + 1;
  return parsed;
}

std::vector<std::wstring> ProcessArguments() {
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> args;
  for (int i = 1; words && i < count; ++i) args.emplace_back(words[i]);
  if (words) LocalFree(words);
  return args;
}

}  // namespace pelvaro::win32
