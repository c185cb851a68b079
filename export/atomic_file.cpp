#include "export/atomic_file.h"

#include "export/write_target.h"
#include "platform/file_system.h"
#include "platform/native_path.h"
#include "platform/termination.h"

#include <atomic>
#include <string>

namespace pelvaro::exporter {
namespace {

using platform::FileHandle;
using platform::FileSystem;
using platform::SystemError;

std::string FolderOf(const std::string& path) {
  const auto cut = path.find_last_of(platform::kPathSeparators);
  if (cut == std::string::npos) return {};
  return path.substr(0, cut + 1);
}

std::string TemporaryNameIn(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  return folder + ".pelvaro-" + std::to_string(platform::ProcessId()) + "-" + std::to_string(counter++) + ".tmp";
}

platform::SystemFailure WriteContent(FileSystem& files, FileHandle file, const FileContent& content) {
  return content([&](std::string_view piece) { return files.WriteAll(file, piece); });
}

Result<Done, WriteError> Failed(const std::string& path, const SystemError& error) {
  return Fail(WriteError::System(path, error.reason));
}

// Makes a temporary file beside the file to replace, writes `content` to it and
// renames it over that file when all went well; removes it otherwise.
Result<Done, WriteError> WriteUnderTemporaryName(FileSystem& files, const std::string& path, const WriteTarget& target,
                                                 const FileContent& content) {
  const std::string folder = FolderOf(target.path);
  std::string temporary;
  std::optional<SystemError> openFailure;
  FileHandle file{};
  // A file that replaces another is readable by its owner at most, and only
  // when the old file was, until it is given the old file's bits: no one
  // reads the new bytes of a private file meanwhile. A new file gets what
  // the umask leaves of 0666. (The open that makes it may write it whatever
  // its bits.)
  const std::uint32_t mode = target.replaces ? (target.mode & 0600) : 0666;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = TemporaryNameIn(folder);
    platform::RememberPendingFile(temporary);
    auto made = files.CreateNew(temporary, mode);
    if (made) {
      file = *made;
      openFailure.reset();
      break;
    }
    platform::ForgetPendingFile();
    openFailure = std::move(made).error();
    if (openFailure->kind != SystemError::Kind::kNameTaken) break;
  }
  if (openFailure) return Failed(path, *openFailure);

  std::optional<SystemError> failure = WriteContent(files, file, content);
  if (!failure && target.replaces) files.TakeAttributesOf(file, target.mode, target.owner, target.group);
  if (auto closeFailure = files.Close(file); closeFailure && !failure) failure = std::move(closeFailure);
  if (!failure) failure = files.Replace(temporary, target.path);
  if (failure) {
    files.Remove(temporary);
    platform::ForgetPendingFile();
    return Failed(path, *failure);
  }
  platform::ForgetPendingFile();
  return Done{};
}

enum class Unnamed { kWritten, kNameAppeared, kUnsupported };

// A new file written without a name and linked to its name once whole: a
// failure or a kill before the link leaves nothing anywhere. The link never
// takes the place of a file that got the name meanwhile.
Result<Unnamed, WriteError> WriteUnnamedFile(FileSystem& files, FileHandle file, const std::string& path,
                                             const std::string& linkPath, const FileContent& content) {
  if (auto failure = WriteContent(files, file, content)) {
    (void)files.Close(file);
    return Fail(WriteError::System(path, failure->reason));
  }
  if (auto failure = files.LinkUnnamed(file, linkPath)) {
    (void)files.Close(file);
    if (failure->kind == SystemError::Kind::kNameTaken) return Unnamed::kNameAppeared;
    if (failure->kind == SystemError::Kind::kUnsupported) return Unnamed::kUnsupported;
    return Fail(WriteError::System(path, failure->reason));
  }
  // A close that fails may mean bytes that never reached the disk (NFS
  // reports them here): the name given to them goes again.
  if (auto failure = files.Close(file)) {
    files.Remove(linkPath);
    return Fail(WriteError::System(path, failure->reason));
  }
  return Unnamed::kWritten;
}

Result<Unnamed, WriteError> WriteUnnamed(FileSystem& files, const std::string& path, const WriteTarget& target,
                                         const FileContent& content) {
  auto made = files.CreateUnnamed(FolderOf(target.path));
  if (!made) {
    if (made.error().kind == SystemError::Kind::kUnsupported) return Unnamed::kUnsupported;
    return Fail(WriteError::System(path, made.error().reason));
  }
  return WriteUnnamedFile(files, *made, path, target.path, content);
}

FileContent WholeContent(std::string_view bytes) {
  return [bytes](const PutPiece& put) { return put(bytes); };
}

enum class Target { kNew, kReplaced };

// Writes `content` under `path` whatever stands there, and says whether a
// file stood under the name when it was written. Without `tryUnnamed` (the
// folder's file system has said it makes no unnamed files), a new file goes
// straight to a temporary name.
Result<Target, WriteError> WriteAnyTarget(const std::string& path, const FileContent& content,
                                          const std::optional<platform::FileIdentity>& openArchive, bool tryUnnamed) {
  FileSystem& files = platform::Files();
  auto target = InspectWriteTarget(path, openArchive);
  if (!target) return Fail(std::move(target).error());
  if (!target->replaces && tryUnnamed) {
    auto unnamed = WriteUnnamed(files, path, *target, content);
    if (!unnamed) return Fail(std::move(unnamed).error());
    if (*unnamed == Unnamed::kWritten) return Target::kNew;
    if (*unnamed == Unnamed::kNameAppeared) {
      // Whatever took the name is asked about as any target is: the open
      // archive, a folder or a special file stays; a regular file is replaced.
      target = InspectWriteTarget(path, openArchive);
      if (!target) return Fail(std::move(target).error());
    }
  }
  auto written = WriteUnderTemporaryName(files, path, *target, content);
  if (!written) return Fail(std::move(written).error());
  return target->replaces ? Target::kReplaced : Target::kNew;
}

}  // namespace

Result<Done, WriteError> WriteFileAtomic(const std::string& path, std::string_view bytes,
                                         const std::optional<platform::FileIdentity>& openArchive) {
  return WriteFileAtomic(path, WholeContent(bytes), openArchive);
}

Result<Done, WriteError> WriteFileAtomic(const std::string& path, const FileContent& content,
                                         const std::optional<platform::FileIdentity>& openArchive) {
  auto written = WriteAnyTarget(path, content, openArchive, true);
  if (!written) return Fail(std::move(written).error());
  return Done{};
}

Result<Done, WriteError> AtomicFileWriter::Write(const std::string& path, std::string_view bytes) {
  const FileContent content = WholeContent(bytes);
  if (linkFirst_) {
    // Nothing is looked at first: a name that stands there already makes the
    // link fail and is then looked at below, as any target is.
    FileSystem& files = platform::Files();
    auto made = files.CreateUnnamed(FolderOf(path));
    if (made) {
      auto unnamed = WriteUnnamedFile(files, *made, path, path, content);
      if (!unnamed) return Fail(std::move(unnamed).error());
      if (*unnamed == Unnamed::kWritten) return Done{};
      if (*unnamed == Unnamed::kUnsupported) unnamedRefused_ = true;
    } else if (made.error().kind == SystemError::Kind::kUnsupported) {
      unnamedRefused_ = true;
    } else {
      return Failed(path, made.error());
    }
  }
  // A refusal is learnt above, on the first file, which is always tried unnamed.
  auto written = WriteAnyTarget(path, content, openArchive_, !unnamedRefused_);
  if (!written) return Fail(std::move(written).error());
  // Among older files, each target is looked at first, which costs less than
  // an unnamed file made in vain; the first new name turns back to linking.
  linkFirst_ = !unnamedRefused_ && *written == Target::kNew;
  return Done{};
}

}  // namespace pelvaro::exporter
