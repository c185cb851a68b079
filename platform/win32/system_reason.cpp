#include "platform/system_reason.h"

#include "platform/native_path.h"
#include "platform/win32/win32_reason.h"

#include <cerrno>
#include <cstring>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace pelvaro::platform {

std::string SystemReason(int errnoValue) { return std::strerror(errnoValue); }

std::string SystemReason(const std::error_code& error) {
  if (error.category() == std::generic_category()) return SystemReason(error.value());
  if (error.category() == std::system_category()) return Win32Reason(static_cast<unsigned long>(error.value()));
  return error.message();
}

std::string Win32Reason(unsigned long code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return SystemReason(ENOENT);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return SystemReason(EACCES);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return SystemReason(ENOSPC);
    case ERROR_WRITE_PROTECT:
      return SystemReason(EROFS);
    case ERROR_NOT_SAME_DEVICE:
      return SystemReason(EXDEV);
    case ERROR_FILENAME_EXCED_RANGE:
      return SystemReason(ENAMETOOLONG);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return SystemReason(EEXIST);
    case ERROR_DIRECTORY:
      return SystemReason(ENOTDIR);
    default:
      break;
  }
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring words = n > 0 && buffer ? std::wstring(buffer, n) : std::wstring();
  if (buffer) LocalFree(buffer);
  while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' ')) words.pop_back();
  if (words.empty()) return "Windows error " + std::to_string(code);
  return FromNativePath(words);
}

}  // namespace pelvaro::platform
