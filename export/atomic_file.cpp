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

Result<Done, WriteError> Failed(const std::string& path, const SystemError& error) {
  return Fail(WriteError::System(path, error.reason));
}

// Makes a temporary file beside the file to replace, writes `bytes` to it and
// renames it over that file when all went well; removes it otherwise.
Result<Done, WriteError> WriteUnderTemporaryName(FileSystem& files, const std::string& path,
                                                 const WriteTarget& target, std::string_view bytes) {
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

  std::optional<SystemError> failure = files.WriteAll(file, bytes);
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
Result<Unnamed, WriteError> WriteUnnamed(FileSystem& files, const std::string& path, const WriteTarget& target,
                                         std::string_view bytes) {
  auto made = files.CreateUnnamed(FolderOf(target.path));
  if (!made) {
    if (made.error().kind == SystemError::Kind::kUnsupported) return Unnamed::kUnsupported;
    return Fail(WriteError::System(path, made.error().reason));
  }
  const FileHandle file = *made;
  if (auto failure = files.WriteAll(file, bytes)) {
    (void)files.Close(file);
    return Fail(WriteError::System(path, failure->reason));
  }
  if (auto failure = files.LinkUnnamed(file, target.path)) {
    (void)files.Close(file);
    if (failure->kind == SystemError::Kind::kNameTaken) return Unnamed::kNameAppeared;
    if (failure->kind == SystemError::Kind::kUnsupported) return Unnamed::kUnsupported;
    return Fail(WriteError::System(path, failure->reason));
  }
  // A close that fails may mean bytes that never reached the disk (NFS
  // reports them here): the name given to them goes again.
  if (auto failure = files.Close(file)) {
    files.Remove(target.path);
    return Fail(WriteError::System(path, failure->reason));
  }
  return Unnamed::kWritten;
}

}  // namespace

Result<Done, WriteError> WriteFileAtomic(const std::string& path, std::string_view bytes,
                                         const std::optional<platform::FileIdentity>& openArchive) {
  FileSystem& files = platform::Files();
  auto target = InspectWriteTarget(path, openArchive);
  if (!target) return Fail(std::move(target).error());
  if (!target->replaces) {
    auto unnamed = WriteUnnamed(files, path, *target, bytes);
    if (!unnamed) return Fail(std::move(unnamed).error());
    if (*unnamed == Unnamed::kWritten) return Done{};
    if (*unnamed == Unnamed::kNameAppeared) {
      // Whatever took the name is asked about as any target is: the open
      // archive, a folder or a special file stays; a regular file is replaced.
      target = InspectWriteTarget(path, openArchive);
      if (!target) return Fail(std::move(target).error());
    }
  }
  return WriteUnderTemporaryName(files, path, *target, bytes);
}

}  // namespace pelvaro::exporter
