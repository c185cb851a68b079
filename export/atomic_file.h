#pragma once

// Writing a whole file so that it is either complete or untouched: the bytes go
// to a temporary file in the target's folder, which is then renamed over the
// target. A failure removes the temporary file and leaves the old target as it was.

#include "export/write_error.h"
#include "text/result.h"

#include <string>
#include <string_view>

namespace pelvaro::exporter {

Result<Done, WriteError> WriteFileAtomic(const std::string& path, std::string_view bytes);

// Removes the temporary file of a write in progress, if any. Safe to call from
// a signal handler, so an interrupted command leaves no temporary file behind.
void RemovePendingTemporaryFile() noexcept;

}  // namespace pelvaro::exporter
