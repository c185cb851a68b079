#pragma once

// The folder the running program's file is in, in UTF-8; empty when the
// system will not tell. A root keeps its separator ("/", "C:\").

#include <string>

namespace pelvaro::platform {

std::string ProgramFolder();

}  // namespace pelvaro::platform
