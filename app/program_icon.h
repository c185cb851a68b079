#pragma once

#include <QIcon>

namespace pelvaro::app {

// The program's icon with its 24, 32 and 48 pixel images.
QIcon ProgramIcon();

}  // namespace pelvaro::app
