#include "sff/read_whole_file.h"

#include "text/native_path.h"

#include <sys/stat.h>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

namespace pelvaro::sff {
namespace {

#ifdef _WIN32
using FileStatus = struct _stat64;
// _wstat64 will not take a folder named with a closing separator ("C:\sff\"
// fails as if it were not there); asked without it, a folder is a folder. A
// drive's root keeps its separator, which it needs. A file named so is still
// refused when it is opened under the name as given.
int StatusOf(const text::NativePath& path, FileStatus& status) {
  text::NativePath asked = path;
  const auto isRoot = [&asked] { return asked.size() == 3 && asked[1] == L':'; };
  while (asked.size() > 1 && (asked.back() == L'\\' || asked.back() == L'/') && !isRoot()) asked.pop_back();
  return _wstat64(asked.c_str(), &status);
}
std::FILE* OpenForReading(const text::NativePath& path) { return _wfopen(path.c_str(), L"rb"); }
int StatusOf(std::FILE* file, FileStatus& status) { return _fstat64(_fileno(file), &status); }
#else
using FileStatus = struct stat;
int StatusOf(const text::NativePath& path, FileStatus& status) { return ::stat(path.c_str(), &status); }
// Without waiting: a FIFO put in the file's place after it was looked at
// would otherwise block the open until a writer came. It is refused once open.
// On a regular file O_NONBLOCK changes nothing.
std::FILE* OpenForReading(const text::NativePath& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "rb");
  if (!file) {
    const int error = errno;
    ::close(fd);
    errno = error;
  }
  return file;
}
int StatusOf(std::FILE* file, FileStatus& status) { return ::fstat(fileno(file), &status); }
#endif

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

LoadError FileFault(LoadFault fault, const std::string& path) {
  LoadError error;
  error.fault = fault;
  error.path = path;
  return error;
}

LoadError CannotRead(const std::string& path, int errnoValue) {
  LoadError error = FileFault(LoadFault::kCannotRead, path);
  error.reason = std::strerror(errnoValue);
  return error;
}

// Refuses what is not a regular file; a folder is named as such by the system's words.
std::optional<LoadError> RefuseIfNotRegular(const std::string& path, const FileStatus& status) {
  if ((status.st_mode & S_IFMT) == S_IFDIR) return CannotRead(path, EISDIR);
  if ((status.st_mode & S_IFMT) != S_IFREG) return FileFault(LoadFault::kNotRegularFile, path);
  return std::nullopt;
}

}  // namespace

Result<WholeFile, LoadError> ReadWholeFile(const std::string& path) {
  const text::NativePath native = text::ToNativePath(path);
  FileStatus status{};
  if (StatusOf(native, status) != 0) return Fail(CannotRead(path, errno));
  if (auto refused = RefuseIfNotRegular(path, status)) return Fail(std::move(*refused));

  const std::unique_ptr<std::FILE, FileCloser> file(OpenForReading(native));
  if (!file) return Fail(CannotRead(path, errno));
  // Asked again of the open file: the path may have been replaced meanwhile.
  if (StatusOf(file.get(), status) != 0) return Fail(CannotRead(path, errno));
  if (auto refused = RefuseIfNotRegular(path, status)) return Fail(std::move(*refused));
  const auto size = static_cast<std::int64_t>(status.st_size);
  if (size > std::numeric_limits<std::int32_t>::max()) {
    LoadError tooLarge = FileFault(LoadFault::kTooLarge, path);
    tooLarge.value = size;
    return Fail(std::move(tooLarge));
  }

  ByteImage bytes(static_cast<std::size_t>(size));  // not zero-filled: the read fills it
  errno = 0;
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
  if (got != bytes.size()) {
    if (std::ferror(file.get())) return Fail(CannotRead(path, errno != 0 ? errno : EIO));
    return Fail(FileFault(LoadFault::kShortenedWhileRead, path));
  }
  return WholeFile{std::move(bytes), IdentityOfOpenFile(file.get())};
}

}  // namespace pelvaro::sff
