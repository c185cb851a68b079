#pragma once

// The system's converter for single characters of code page 932: glibc's
// iconv on POSIX, the Win32 code page functions on Windows. text/cp932 builds
// the whole-text functions, and their round-trip checks, on top of it.

#include <optional>
#include <string>
#include <string_view>

namespace pelvaro::platform {

// CP932 bytes of one UTF-8 character; nullopt when the system has no mapping.
std::optional<std::string> EncodeCp932Char(std::string_view utf8Char);

// UTF-8 text of one CP932 character (one or two bytes); nullopt when unassigned.
std::optional<std::string> DecodeCp932Char(std::string_view cp932Char);

}  // namespace pelvaro::platform
