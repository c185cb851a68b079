#include "platform/program_folder.h"

#include "platform/native_path.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <vector>

namespace pelvaro::platform {

std::string ProgramFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      std::wstring path(buffer.data(), n);
      const auto cut = path.find_last_of(L"\\/");
      if (cut == std::wstring::npos) return {};
      // A drive root keeps its separator ("C:\"), as the platform reports it.
      return FromNativePath(path.substr(0, cut == 2 && path[1] == L':' ? cut + 1 : cut));
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace pelvaro::platform
