#pragma once

// The system's words for why a file operation failed, as UTF-8 text for the
// messages. Both platforms word a fault the same way where the C library has
// words for it, so a message does not depend on which call failed.

#include <string>
#include <system_error>

namespace pelvaro::platform {

// strerror's words for an errno value.
std::string SystemReason(int errnoValue);

// The words for an error reported through std::error_code (std::filesystem).
// On Windows the library words system errors in the ANSI code page; these are
// given the C library's words where it has them, else the system's, in UTF-8.
std::string SystemReason(const std::error_code& error);

}  // namespace pelvaro::platform
