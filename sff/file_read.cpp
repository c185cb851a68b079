#include "sff/file_read.h"

#include "text/native_path.h"

#include <sys/stat.h>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

namespace pelvaro::sff {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

ReadFailure SystemFailure(int error) { return {ReadFailure::Kind::kCannotRead, std::strerror(error)}; }

}  // namespace

std::optional<ReadFailure> ReadWholeFile(const std::string& path, ByteImage& out) {
  const auto native = text::ToNativePath(path);
#ifdef _WIN32
  FilePtr file(_wfopen(native.c_str(), L"rb"));
  if (!file) {
    const int error = errno;
    // Windows refuses to open a folder with "permission denied" (or, with a
    // closing separator, "invalid argument"); say what it is, as Linux does.
    const DWORD attributes = GetFileAttributesW(native.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      return SystemFailure(EISDIR);
    return SystemFailure(error);
  }
#else
  FilePtr file(std::fopen(native.c_str(), "rb"));
  if (!file) return SystemFailure(errno);
#endif

#ifdef _WIN32
  struct _stat64 info{};
  if (_fstat64(_fileno(file.get()), &info) != 0) return SystemFailure(errno);
#else
  struct stat info{};
  if (fstat(fileno(file.get()), &info) != 0) return SystemFailure(errno);
#endif
  if ((info.st_mode & S_IFMT) == S_IFDIR) return SystemFailure(EISDIR);
  if ((info.st_mode & S_IFMT) != S_IFREG) return ReadFailure{ReadFailure::Kind::kCannotRead, "not a regular file"};
  const auto size = static_cast<std::int64_t>(info.st_size);
  if (size > std::numeric_limits<std::int32_t>::max())
    return ReadFailure{ReadFailure::Kind::kTooLarge, std::to_string(size) + " bytes"};

  ByteImage bytes(static_cast<std::size_t>(size));  // not zero-filled: the read fills it
  if (size > 0) {
    errno = 0;
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (got != bytes.size()) {
      if (std::ferror(file.get())) return SystemFailure(errno != 0 ? errno : EIO);
      return ReadFailure{ReadFailure::Kind::kCannotRead, "the file became shorter while it was read"};
    }
  }
  out = std::move(bytes);
  return std::nullopt;
}

}  // namespace pelvaro::sff
