#pragma once

// Every call the program makes to read an archive and to write its files, as
// one interface: the platform's real file system serves it, and a test puts a
// double in its place that fails any one call on demand. Paths are UTF-8; a
// failure carries the system's words, already in the form the messages use.

#include "base/result.h"
#include "platform/file_identity.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pelvaro::platform {

struct SystemError {
  enum class Kind {
    kOther,
    kNotFound,     // nothing of that name
    kNameTaken,    // a new name was asked for and something has it
    kUnsupported,  // the file system cannot do this; the caller has another way
  };
  Kind kind = Kind::kOther;
  std::string reason;  // the system's words

  static SystemError Other(std::string reason) { return {Kind::kOther, std::move(reason)}; }
};

template <class T>
using SystemResult = Result<T, SystemError>;
using SystemFailure = std::optional<SystemError>;

// A file descriptor, or a Windows handle.
using FileHandle = std::intptr_t;

enum class FileKind { kRegular, kFolder, kOther };

// What stands at a path whose contents would be read, links followed.
struct SourceFacts {
  FileKind kind = FileKind::kOther;
  std::int64_t size = 0;
};

// What stands at a path a file is to be written to.
struct TargetFacts {
  enum class Kind { kMissing, kRegular, kFolder, kOther, kBrokenLink };
  Kind kind = Kind::kMissing;
  bool link = false;  // the path is a link, and the facts are of what it names
  std::optional<FileIdentity> identity;
  bool writable = true;  // any write permission bit (POSIX); not read-only (Windows)
  std::uint32_t mode = 0;  // permission bits, POSIX only
  std::uint32_t owner = 0;
  std::uint32_t group = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Reading. The open never waits: a FIFO put in place of a checked file is
  // opened at once and refused by FactsOfOpen.
  virtual SystemResult<SourceFacts> InspectSource(const std::string& path) = 0;
  virtual SystemResult<FileHandle> OpenForReading(const std::string& path) = 0;
  virtual SystemResult<SourceFacts> FactsOfOpen(FileHandle file) = 0;
  virtual std::optional<FileIdentity> IdentityOfOpen(FileHandle file) = 0;
  // Up to `into.size()` bytes; fewer only at the end of the file.
  virtual SystemResult<std::size_t> Read(FileHandle file, std::span<std::uint8_t> into) = 0;
  virtual void CloseAfterReading(FileHandle file) = 0;

  // What stands at a target, and where a link there leads (every link resolved).
  virtual SystemResult<TargetFacts> InspectTarget(const std::string& path) = 0;
  virtual SystemResult<std::string> ResolvedPath(const std::string& path) = 0;

  // Writing. A new file under a name nothing has (kNameTaken otherwise), or
  // one without a name in `folder` (kUnsupported where the system has none),
  // which LinkUnnamed names once it is whole (kNameTaken when the name has
  // appeared meanwhile).
  // `mode`: the permission bits asked for, less the umask (POSIX).
  virtual SystemResult<FileHandle> CreateNew(const std::string& path, std::uint32_t mode) = 0;
  virtual SystemResult<FileHandle> CreateUnnamed(const std::string& folder) = 0;
  virtual SystemFailure WriteAll(FileHandle file, std::string_view bytes) = 0;
  // The replaced file's owner and bits, as far as the system lets this user give them.
  virtual void TakeAttributesOf(FileHandle file, std::uint32_t mode, std::uint32_t owner, std::uint32_t group) = 0;
  virtual SystemFailure LinkUnnamed(FileHandle file, const std::string& path) = 0;
  virtual SystemFailure Close(FileHandle file) = 0;
  // `from` takes the place of `to`, whatever stood there.
  virtual SystemFailure Replace(const std::string& from, const std::string& to) = 0;
  virtual void Remove(const std::string& path) = 0;
  // The folder and any missing parents; nothing to do when it is a folder already.
  virtual SystemFailure MakeFolders(const std::string& folder) = 0;
};

// The platform's own file system.
FileSystem& RealFileSystem();

// The file system every read and write of the program goes through: the real
// one, unless a test has put another in its place.
FileSystem& Files();

// Puts `replacement` in the real one's place for as long as it lives.
class FileSystemSwap {
 public:
  explicit FileSystemSwap(FileSystem& replacement);
  ~FileSystemSwap();
  FileSystemSwap(const FileSystemSwap&) = delete;
  FileSystemSwap& operator=(const FileSystemSwap&) = delete;

 private:
  FileSystem* previous_;
};

}  // namespace pelvaro::platform
