#include "sff/arriving_file.h"

#include "text/native_path.h"

#include <sys/stat.h>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace pelvaro::sff {
namespace {

// Small enough to stay in the cache until the walk reaches it, large enough
// that the reads cost no more than one read of the whole file.
constexpr std::size_t kChunkBytes = 128 * 1024;

ReadFailure SystemFailure(int error) { return {ReadFailure::Kind::kCannotRead, std::strerror(error)}; }

}  // namespace

std::variant<std::unique_ptr<ArrivingFile>, ReadFailure> ArrivingFile::Open(const std::string& path) {
  const auto native = text::ToNativePath(path);
#ifdef _WIN32
  std::unique_ptr<std::FILE, FileCloser> file(_wfopen(native.c_str(), L"rb"));
  if (!file) {
    const int error = errno;
    // Windows refuses to open a folder with "permission denied" (or, with a
    // closing separator, "invalid argument"); say what it is, as Linux does.
    const DWORD attributes = GetFileAttributesW(native.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      return SystemFailure(EISDIR);
    return SystemFailure(error);
  }
  struct _stat64 info{};
  if (_fstat64(_fileno(file.get()), &info) != 0) return SystemFailure(errno);
#else
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(native.c_str(), "rb"));
  if (!file) return SystemFailure(errno);
  struct stat info{};
  if (fstat(fileno(file.get()), &info) != 0) return SystemFailure(errno);
#endif
  if ((info.st_mode & S_IFMT) == S_IFDIR) return SystemFailure(EISDIR);
  if ((info.st_mode & S_IFMT) != S_IFREG) return ReadFailure{ReadFailure::Kind::kCannotRead, "not a regular file"};
  const auto size = static_cast<std::int64_t>(info.st_size);
  if (size > std::numeric_limits<std::int32_t>::max())
    return ReadFailure{ReadFailure::Kind::kTooLarge, std::to_string(size) + " bytes"};

  return std::unique_ptr<ArrivingFile>(new ArrivingFile(std::move(file), static_cast<std::size_t>(size)));
}

ArrivingFile::ArrivingFile(std::unique_ptr<std::FILE, FileCloser> file, std::size_t size)
    : file_(std::move(file)), image_(size) {}  // not zero-filled: the read fills it

void ArrivingFile::ReadAll(const std::function<void(std::size_t arrived)>& arrived) {
  const std::size_t size = image_.size();
  std::size_t done = 0;
  while (done < size) {
    const std::size_t want = std::min(kChunkBytes, size - done);
    errno = 0;
    const std::size_t got = std::fread(image_.data() + done, 1, want, file_.get());
    done += got;
    if (got != want) {
      failedErrno_ = std::ferror(file_.get()) ? (errno != 0 ? errno : EIO) : 0;
      shortened_ = failedErrno_ == 0;
      return;
    }
    arrived(done);
  }
}

std::optional<ReadFailure> ArrivingFile::Finish(ByteImage& out) {
  if (shortened_) return ReadFailure{ReadFailure::Kind::kCannotRead, "the file became shorter while it was read"};
  if (failedErrno_ != 0) return SystemFailure(failedErrno_);
  out = std::move(image_);
  return std::nullopt;
}

}  // namespace pelvaro::sff
