#pragma once

// Text crosses the command layer as UTF-8 and every Windows call takes
// UTF-16: the two conversions, in one place. Bytes that are not UTF-8 come
// out as U+FFFD rather than being dropped, so a name is never silently cut.

#include <string>
#include <string_view>

namespace pelvaro::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace pelvaro::win32
