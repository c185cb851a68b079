#pragma once

// Writing a whole file so that it is either complete or untouched. A file
// that replaces another is written to a temporary file in the target's
// folder, which is then renamed over the target. A new file is written, where
// the system has them (Linux), as a file without a name, which gets its name
// only once whole: no temporary name is ever seen, and a kill leaves nothing.
// Should a file of that name appear meanwhile, it is not overwritten by the
// link: the write goes the way of a replacement, with its checks. A failure
// removes the temporary file and leaves the old target as it was.
// The file is not forced to the disk before the rename (that would cost an
// export of 65,535 files minutes): after a power cut, what a replaced file
// holds is the file system's ordering of the rename and the data (ext4 writes
// the data of a file renamed over another first).
// What may stand at the target, and what is refused, is InspectWriteTarget's
// (export/write_target.h): a link is followed, a replaced file keeps its
// permission bits, and the open archive is never replaced.

#include "base/result.h"
#include "export/write_error.h"
#include "platform/file_identity.h"
#include "platform/termination.h"

#include <optional>
#include <string>
#include <string_view>

namespace pelvaro::exporter {

// `openArchive`: the file of the open archive, refused as a target under any name.
Result<Done, WriteError> WriteFileAtomic(const std::string& path, std::string_view bytes,
                                         const std::optional<platform::FileIdentity>& openArchive = std::nullopt);

// What each program calls once at start, and a handler may call at any time.
using platform::RemovePendingTemporaryFile;
using platform::RemoveTemporaryFilesOnTermination;

}  // namespace pelvaro::exporter
