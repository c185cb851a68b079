#pragma once

// Path text inside the program: UTF-8, split at the platform's separators.
// The conversion to the file system's own form is the platform layer's.

#include "platform/native_path.h"

#include <string>
#include <string_view>

namespace pelvaro::text {

using platform::FromNativePath;
using platform::kPathSeparator;
using platform::kPathSeparators;
using platform::NativePath;
using platform::ToNativePath;

// The text after the last separator of `path` (one of `separators`); the whole
// text when it holds none, empty text for a path that ends in a separator.
std::string GetFileName(std::string_view path, std::string_view separators = kPathSeparators);

// `folder` with one separator at its end (none added when it already ends in one
// of `separators`, or when it is empty).
std::string WithTrailingSeparator(std::string folder, std::string_view separators = kPathSeparators);

}  // namespace pelvaro::text
