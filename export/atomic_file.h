#pragma once

// Writing a whole file so that it is either complete or untouched: the bytes go
// to a temporary file in the target's folder, which is then renamed over the
// target. A failure removes the temporary file and leaves the old target as it was.
// What may stand at the target, and what is refused, is InspectWriteTarget's
// (export/write_target.h): a link is followed, a replaced file keeps its
// permission bits, and the open archive is never replaced.

#include "export/write_error.h"
#include "sff/file_identity.h"
#include "text/result.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pelvaro::exporter {

// `openArchive`: the file of the open archive, refused as a target under any name.
Result<Done, WriteError> WriteFileAtomic(const std::string& path, std::string_view bytes,
                                         const std::optional<sff::FileIdentity>& openArchive = std::nullopt);

// Removes the temporary file of a write in progress, if any. Safe to call from
// a signal handler, so an interrupted command leaves no temporary file behind.
void RemovePendingTemporaryFile() noexcept;

// The signals whose handler is to call RemovePendingTemporaryFile (SIGINT,
// SIGTERM, SIGHUP, SIGQUIT where the platform has them). The writer holds them
// off from the moment a temporary file is made until its name is recorded, so
// none can end the program in between.
std::span<const int> TerminationSignals();

}  // namespace pelvaro::exporter
