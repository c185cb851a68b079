#pragma once

// Writing a whole file so that it is either complete or untouched: the bytes go
// to a temporary file in the target's folder, which is then renamed over the
// target. A failure removes the temporary file and leaves the old target as it was.
// The file is not forced to the disk before the rename (that would cost an
// export of 65,535 files minutes): after a power cut, what a replaced file
// holds is the file system's ordering of the rename and the data (ext4 writes
// the data of a file renamed over another first).
// What may stand at the target, and what is refused, is InspectWriteTarget's
// (export/write_target.h): a link is followed, a replaced file keeps its
// permission bits, and the open archive is never replaced.

#include "base/result.h"
#include "export/write_error.h"
#include "sff/file_identity.h"

#include <optional>
#include <string>
#include <string_view>

namespace pelvaro::exporter {

// `openArchive`: the file of the open archive, refused as a target under any name.
Result<Done, WriteError> WriteFileAtomic(const std::string& path, std::string_view bytes,
                                         const std::optional<sff::FileIdentity>& openArchive = std::nullopt);

// Removes the temporary file of a write in progress, if any. Safe to call from
// a signal handler.
void RemovePendingTemporaryFile() noexcept;

// Makes SIGINT, SIGTERM, SIGHUP and SIGQUIT (Ctrl+C and Ctrl+Break on
// Windows) remove the temporary file of a write in progress before they end
// the program as they would have. Called once at start by each program.
void RemoveTemporaryFilesOnTermination();

}  // namespace pelvaro::exporter
