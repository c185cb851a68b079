#pragma once

#include <string>

namespace pelvaro::exporter {

// A file that could not be written, and the system's words for why.
struct WriteError {
  std::string file;
  std::string reason;
};

}  // namespace pelvaro::exporter
