#pragma once

// The words for a Win32 error code (GetLastError): the C library's where it
// has words for the same fault, so both platforms say it alike.

#include <string>

namespace pelvaro::platform {

std::string Win32Reason(unsigned long code);

}  // namespace pelvaro::platform
