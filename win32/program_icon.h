#pragma once

#include <windows.h>

namespace pelvaro::win32 {

// The program's icon from its resources at `pixels` a side (24, 32 and 48 are
// drawn; other sizes are scaled from the nearest). Loaded once per size.
HICON ProgramIcon(int pixels);

}  // namespace pelvaro::win32
