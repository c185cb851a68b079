#pragma once

// Paths inside the program are UTF-8 text. On their way to the file system
// they take the platform's own form: wide text on Windows, the bytes
// themselves elsewhere, which is what std::filesystem::path holds natively.

#include <filesystem>
#include <string>
#include <string_view>

namespace pelvaro::platform {

using NativePath = std::filesystem::path::string_type;

inline constexpr char kPathSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
// Where a path is split, "/" is accepted beside a native separator that differs from it.
inline constexpr std::string_view kPathSeparators = kPathSeparator == '/' ? std::string_view("/") : "\\/";

NativePath ToNativePath(std::string_view utf8);
std::string FromNativePath(const NativePath& native);

}  // namespace pelvaro::platform
