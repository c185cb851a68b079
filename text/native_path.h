#pragma once

// Paths inside the program are UTF-8 text. This header holds what differs
// between the platforms: the separator and the form a path takes on its way to
// the file system (wide text on Windows, the bytes themselves elsewhere).

#include <string>
#include <string_view>

namespace pelvaro::text {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
// Where a path is split, "/" is accepted beside the native separator.
inline constexpr std::string_view kPathSeparators = "\\/";
using NativePath = std::wstring;
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kPathSeparators = "/";
using NativePath = std::string;
#endif

NativePath ToNativePath(std::string_view utf8);
std::string FromNativePath(const NativePath& native);

// The text after the last separator of `path` (one of `separators`); the whole
// text when it holds none, empty text for a path that ends in a separator.
std::string GetFileName(std::string_view path, std::string_view separators = kPathSeparators);

// `folder` with one separator at its end (none added when it already ends in one
// of `separators`, or when it is empty).
std::string WithTrailingSeparator(std::string folder, std::string_view separators = kPathSeparators);

}  // namespace pelvaro::text
