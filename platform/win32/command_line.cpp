#include "platform/command_line.h"

namespace pelvaro::platform {

bool NarrowArgumentsAreExact() { return false; }

}  // namespace pelvaro::platform
