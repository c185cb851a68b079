// The file system through POSIX calls, with Linux's unnamed files where the
// file system has them.

#include "platform/file_system.h"

#include "platform/system_reason.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

namespace pelvaro::platform {
namespace {

SystemError ErrorOf(int error) {
  SystemError e{SystemError::Kind::kOther, SystemReason(error)};
  if (error == ENOENT) e.kind = SystemError::Kind::kNotFound;
  if (error == EEXIST) e.kind = SystemError::Kind::kNameTaken;
  return e;
}

SystemError LastError() { return ErrorOf(errno); }

FileKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::kRegular;
  if (S_ISDIR(mode)) return FileKind::kFolder;
  return FileKind::kOther;
}

SourceFacts SourceFactsOf(const struct stat& status) {
  return {KindOf(status.st_mode), static_cast<std::int64_t>(status.st_size)};
}

FileIdentity IdentityOf(const struct stat& status) {
  return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

bool IsFolder(const std::string& folder) {
  struct stat status {};
  return ::stat(folder.empty() ? "." : folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string FolderOf(const std::string& path) {
  const auto cut = path.find_last_of('/');
  if (cut == std::string::npos) return {};
  return path.substr(0, cut + 1);
}

class PosixFileSystem final : public FileSystem {
 public:
  SystemResult<SourceFacts> InspectSource(const std::string& path) override {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return Fail(LastError());
    return SourceFactsOf(status);
  }

  // Without waiting: a FIFO put in the file's place after it was looked at
  // would otherwise block the open until a writer came. It is refused once
  // open. On a regular file O_NONBLOCK changes nothing.
  SystemResult<FileHandle> OpenForReading(const std::string& path) override {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Fail(LastError());
    return FileHandle{fd};
  }

  SystemResult<SourceFacts> FactsOfOpen(FileHandle file) override {
    struct stat status {};
    if (::fstat(static_cast<int>(file), &status) != 0) return Fail(LastError());
    return SourceFactsOf(status);
  }

  std::optional<FileIdentity> IdentityOfOpen(FileHandle file) override {
    struct stat status {};
    if (::fstat(static_cast<int>(file), &status) != 0) return std::nullopt;
    return IdentityOf(status);
  }

  SystemResult<std::size_t> Read(FileHandle file, std::span<std::uint8_t> into) override {
    std::size_t got = 0;
    while (got < into.size()) {
      const ssize_t n = ::read(static_cast<int>(file), into.data() + got, into.size() - got);
      if (n < 0) {
        if (errno == EINTR) continue;
        return Fail(LastError());
      }
      if (n == 0) break;
      got += static_cast<std::size_t>(n);
    }
    return got;
  }

  void CloseAfterReading(FileHandle file) override { ::close(static_cast<int>(file)); }

  SystemResult<TargetFacts> InspectTarget(const std::string& path) override {
    TargetFacts facts;
    struct stat entry {};
    if (::lstat(path.c_str(), &entry) != 0) {
      if (errno == ENOENT) return facts;  // a new file
      return Fail(LastError());
    }
    facts.link = S_ISLNK(entry.st_mode);
    struct stat file = entry;
    if (facts.link && ::stat(path.c_str(), &file) != 0) {
      if (errno != ENOENT) return Fail(LastError());
      facts.kind = TargetFacts::Kind::kBrokenLink;
      return facts;
    }
    facts.kind = S_ISREG(file.st_mode)   ? TargetFacts::Kind::kRegular
                 : S_ISDIR(file.st_mode) ? TargetFacts::Kind::kFolder
                                         : TargetFacts::Kind::kOther;
    facts.identity = IdentityOf(file);
    facts.writable = (file.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    facts.mode = static_cast<std::uint32_t>(file.st_mode & 0777);
    facts.owner = static_cast<std::uint32_t>(file.st_uid);
    facts.group = static_cast<std::uint32_t>(file.st_gid);
    return facts;
  }

  SystemResult<std::string> ResolvedPath(const std::string& path) override {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved) return Fail(LastError());
    return std::string(resolved.get());
  }

  SystemResult<FileHandle> CreateNew(const std::string& path, std::uint32_t mode) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
    if (fd < 0) return Fail(CreateError(errno, FolderOf(path)));
    return FileHandle{fd};
  }

  SystemResult<FileHandle> CreateUnnamed(const std::string& folder) override {
#ifdef O_TMPFILE
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) return FileHandle{fd};
    // A file system without unnamed files says so in one of these ways (an
    // older kernel takes O_TMPFILE for O_DIRECTORY and says EISDIR).
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
      return Fail(SystemError{SystemError::Kind::kUnsupported, SystemReason(errno)});
    return Fail(CreateError(errno, folder));
#else
    (void)folder;
    return Fail(SystemError{SystemError::Kind::kUnsupported, SystemReason(EOPNOTSUPP)});
#endif
  }

  SystemFailure WriteAll(FileHandle file, std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t n = ::write(static_cast<int>(file), bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        return LastError();
      }
      if (n == 0) return ErrorOf(ENOSPC);
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return std::nullopt;
  }

  // Root replacing a user's file gives it back to the user; a file system
  // without such bits (FAT) keeps its own, and the file is written all the same.
  void TakeAttributesOf(FileHandle file, std::uint32_t mode, std::uint32_t owner, std::uint32_t group) override {
    const int fd = static_cast<int>(file);
    if (owner != geteuid() || group != getegid())
      (void)!::fchown(fd, static_cast<uid_t>(owner), static_cast<gid_t>(group));
    (void)::fchmod(fd, static_cast<mode_t>(mode));
  }

  // Through /proc, which needs no privilege; without /proc, AT_EMPTY_PATH,
  // which needs it. Where neither will do, the caller writes the file again
  // under a temporary name.
  SystemFailure LinkUnnamed(FileHandle file, const std::string& path) override {
    const std::string self = "/proc/self/fd/" + std::to_string(file);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) return std::nullopt;
    if (errno != ENOENT || IsFolder("/proc/self/fd")) return LastError();
    if (::linkat(static_cast<int>(file), "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0) return std::nullopt;
    if (errno == EPERM || errno == ENOENT || errno == EINVAL)
      return SystemError{SystemError::Kind::kUnsupported, SystemReason(errno)};
    return LastError();
  }

  SystemFailure Close(FileHandle file) override {
    if (::close(static_cast<int>(file)) == 0) return std::nullopt;
    return LastError();
  }

  SystemFailure Replace(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) == 0) return std::nullopt;
    return LastError();
  }

  void Remove(const std::string& path) override { ::unlink(path.c_str()); }

  SystemFailure MakeFolders(const std::string& folder) override {
    std::error_code ec;
    const std::filesystem::path native(folder);
    if (std::filesystem::is_directory(native, ec)) return std::nullopt;
    std::filesystem::create_directories(native, ec);
    if (ec) return SystemError::Other(SystemReason(ec));
    return std::nullopt;
  }

 private:
  // A folder that is there but takes no new file (such as /proc) says "no
  // such file"; what stands in the way is that no file may be made there.
  static SystemError CreateError(int error, const std::string& folder) {
    if (error == ENOENT && IsFolder(folder)) error = EACCES;
    return ErrorOf(error);
  }
};

}  // namespace

FileSystem& RealFileSystem() {
  static PosixFileSystem files;
  return files;
}

}  // namespace pelvaro::platform
