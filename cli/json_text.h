#pragma once

// JSON string literals for pelvaro-cli's --format json.

#include <string>
#include <string_view>

namespace pelvaro::cli {

// Appends `text` as a JSON string, quotes included: the quote, the backslash
// and control characters escaped, other characters as they are. Bytes that
// are not UTF-8 (a file name on Linux may hold any) become U+FFFD, since a
// JSON text is UTF-8 throughout.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace pelvaro::cli
