#include "platform/command_line.h"

namespace pelvaro::platform {

// argv holds the bytes of the file names exactly.
bool NarrowArgumentsAreExact() { return true; }

}  // namespace pelvaro::platform
