#pragma once

// The folder an export writes into: made, with any missing parents, when it
// is not there yet.

#include "base/result.h"

#include <string>

namespace pelvaro::exporter {

struct FolderError {
  std::string folder;
  std::string reason;  // the system's words
};

Result<Done, FolderError> EnsureOutputFolder(const std::string& folder);

}  // namespace pelvaro::exporter
