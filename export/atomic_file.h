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
#include "platform/file_system.h"
#include "platform/termination.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pelvaro::exporter {

// A file's bytes handed over piece by piece, so that a large text is made in
// a small buffer used again for each piece and never stands whole in memory.
// The content calls `put` with each piece in order and returns the first
// failure `put` returns, at once. It may be asked more than once (a write
// that has to start again) and gives the same pieces each time.
using PutPiece = std::function<platform::SystemFailure(std::string_view piece)>;
using FileContent = std::function<platform::SystemFailure(const PutPiece& put)>;

// `openArchive`: the file of the open archive, refused as a target under any name.
Result<Done, WriteError> WriteFileAtomic(const std::string& path, const FileContent& content,
                                         const std::optional<platform::FileIdentity>& openArchive = std::nullopt);
Result<Done, WriteError> WriteFileAtomic(const std::string& path, std::string_view bytes,
                                         const std::optional<platform::FileIdentity>& openArchive = std::nullopt);

// The writes of one export, each made as WriteFileAtomic makes it. After a
// new name, the next file is written without a name and linked to it with no
// look at the target first: one name lookup less per file in a folder that
// grows to tens of thousands of names. A name that stands there already makes
// the link fail; that target is then looked at and written as WriteFileAtomic
// writes any target, and the files after it are looked at first until a name
// is new again, as a folder holding an earlier run's files wants.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(std::optional<platform::FileIdentity> openArchive)
      : openArchive_(std::move(openArchive)) {}
  Result<Done, WriteError> Write(const std::string& path, std::string_view bytes);

 private:
  std::optional<platform::FileIdentity> openArchive_;
  bool linkFirst_ = true;
  bool unnamedRefused_ = false;  // the folder's file system makes no unnamed files
};

// What each program calls once at start, and a handler may call at any time.
using platform::RemovePendingTemporaryFile;
using platform::RemoveTemporaryFilesOnTermination;

}  // namespace pelvaro::exporter
