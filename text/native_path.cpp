#include "text/native_path.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace pelvaro::text {

#ifdef _WIN32
NativePath ToNativePath(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string FromNativePath(const NativePath& native) {
  if (native.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, native.data(), static_cast<int>(native.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, native.data(), static_cast<int>(native.size()), utf8.data(), n, nullptr,
                      nullptr);
  return utf8;
}
#else
NativePath ToNativePath(std::string_view utf8) { return std::string(utf8); }
std::string FromNativePath(const NativePath& native) { return native; }
#endif

std::string GetFileName(std::string_view path, std::string_view separators) {
  const auto cut = path.find_last_of(separators);
  if (cut == std::string_view::npos) return std::string(path);
  return std::string(path.substr(cut + 1));
}

std::string WithTrailingSeparator(std::string folder, std::string_view separators) {
  if (!folder.empty() && separators.find(folder.back()) == std::string_view::npos)
    folder.push_back(kPathSeparator);
  return folder;
}

}  // namespace pelvaro::text
