#include "export/definition_text.h"

#include "text/native_path.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <vector>

namespace pelvaro::exporter {

std::string ProgramFolder() {
#ifdef _WIN32
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      std::wstring path(buffer.data(), n);
      const auto cut = path.find_last_of(L"\\/");
      if (cut == std::wstring::npos) return {};
      // A drive root keeps its separator ("C:\"), as the platform reports it.
      return text::FromNativePath(path.substr(0, cut == 2 && path[1] == L':' ? cut + 1 : cut));
    }
    buffer.resize(buffer.size() * 2);
  }
#else
  std::vector<char> buffer(4096);
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return {};
  std::string path(buffer.data(), static_cast<std::size_t>(n));
  const auto cut = path.find_last_of('/');
  if (cut == std::string::npos) return {};
  return cut == 0 ? std::string("/") : path.substr(0, cut);
#endif
}

}  // namespace pelvaro::exporter
