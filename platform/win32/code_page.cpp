// CP932 character conversion through the Win32 code page 932 functions.
// WC_NO_BEST_FIT_CHARS and the used-default flag make unmappable characters
// fail instead of turning into look-alikes, as glibc's converter does.

#include "platform/code_page.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace pelvaro::platform {

std::optional<std::string> EncodeCp932Char(std::string_view utf8Char) {
  wchar_t wide[4];
  const int wideLen = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Char.data(),
                                          static_cast<int>(utf8Char.size()), wide, 4);
  if (wideLen <= 0) return std::nullopt;
  char bytes[8];
  BOOL usedDefault = FALSE;
  const int len = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, wideLen, bytes, sizeof bytes,
                                      nullptr, &usedDefault);
  if (len <= 0 || usedDefault) return std::nullopt;
  return std::string(bytes, static_cast<std::size_t>(len));
}

std::optional<std::string> DecodeCp932Char(std::string_view cp932Char) {
  wchar_t wide[4];
  const int wideLen = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, cp932Char.data(),
                                          static_cast<int>(cp932Char.size()), wide, 4);
  if (wideLen <= 0) return std::nullopt;
  char utf8[16];
  const int len = WideCharToMultiByte(CP_UTF8, 0, wide, wideLen, utf8, sizeof utf8, nullptr, nullptr);
  if (len <= 0) return std::nullopt;
  return std::string(utf8, static_cast<std::size_t>(len));
}

}  // namespace pelvaro::platform
