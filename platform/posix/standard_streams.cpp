#include "platform/standard_streams.h"

#include <cstdlib>
#include <string>

#include <unistd.h>

namespace pelvaro::platform {

// The C library passes the bytes through as they are.
void PrepareStandardStreams() {}

bool StderrCanShowProgress() {
  const char* term = std::getenv("TERM");
  return isatty(STDERR_FILENO) != 0 && !(term && std::string(term) == "dumb");
}

}  // namespace pelvaro::platform
