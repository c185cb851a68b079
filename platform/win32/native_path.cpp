#include "platform/native_path.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace pelvaro::platform {

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

}  // namespace pelvaro::platform
