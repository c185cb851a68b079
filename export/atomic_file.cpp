#include "export/atomic_file.h"

#include "export/system_reason.h"
#include "text/native_path.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <optional>
#include <string>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pelvaro::exporter {
namespace {

// The temporary file being written, for RemovePendingTemporaryFile. A fixed
// buffer, because a signal handler may read it.
text::NativePath::value_type g_pendingPath[4096];
std::atomic<bool> g_pending{false};

std::string FolderOf(const std::string& path) {
  const auto cut = path.find_last_of(text::kPathSeparators);
  if (cut == std::string::npos) return {};
  return path.substr(0, cut + 1);
}

std::string TemporaryNameIn(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
#ifdef _WIN32
  const unsigned long pid = GetCurrentProcessId();
#else
  const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
  return folder + ".pelvaro-" + std::to_string(pid) + "-" + std::to_string(counter++) + ".tmp";
}

void RememberPending(const text::NativePath& native) {
  if (native.size() >= sizeof g_pendingPath / sizeof g_pendingPath[0]) return;
  std::copy(native.begin(), native.end(), g_pendingPath);
  g_pendingPath[native.size()] = 0;
  g_pending.store(true);
}

void ForgetPending() { g_pending.store(false); }

// Why a temporary file could not be made: the name may only be taken (then
// another name is tried), or the folder refuses it.
struct OpenFailure {
  bool nameTaken = false;
  std::string reason;
};

#ifdef _WIN32
using File = HANDLE;
bool IsOpen(File f) { return f != INVALID_HANDLE_VALUE; }

File OpenNew(const text::NativePath& p, OpenFailure& failure) {
  // Shared for deletion, so that the Ctrl+C handler, which runs on a thread of
  // its own while this one may still be writing, can remove the file.
  const HANDLE h = CreateFileW(p.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    failure.nameTaken = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
    failure.reason = Win32Reason(code);
  }
  return h;
}

std::optional<std::string> WriteAll(File f, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 0x40000000u));
    DWORD written = 0;
    if (!WriteFile(f, bytes.data(), chunk, &written, nullptr)) return Win32Reason(GetLastError());
    if (written == 0) return SystemReason(ENOSPC);
    bytes.remove_prefix(written);
  }
  return std::nullopt;
}

std::optional<std::string> CloseFile(File f) {
  if (CloseHandle(f)) return std::nullopt;
  return Win32Reason(GetLastError());
}

void RemoveFile(const text::NativePath& p) { DeleteFileW(p.c_str()); }

std::optional<std::string> Replace(const text::NativePath& from, const text::NativePath& to) {
  const DWORD before = GetFileAttributesW(to.c_str());
  const bool exists = before != INVALID_FILE_ATTRIBUTES;
  const bool isDirectory = exists && (before & FILE_ATTRIBUTE_DIRECTORY) != 0;
  // Windows will not rename over a read-only file. Asked here first, so the
  // answer does not rest on how closely the file system follows that rule
  // (Wine's does not).
  if (exists && !isDirectory && (before & FILE_ATTRIBUTE_READONLY) != 0) return SystemReason(EACCES);
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return std::nullopt;
  const DWORD code = GetLastError();
  // A directory in the way is refused as "access denied" too; the message
  // says what was there.
  if (code == ERROR_ACCESS_DENIED && isDirectory) return SystemReason(EISDIR);
  return Win32Reason(code);
}
#else
using File = int;
bool IsOpen(File f) { return f >= 0; }

File OpenNew(const text::NativePath& p, OpenFailure& failure) {
  const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    failure.nameTaken = errno == EEXIST;
    failure.reason = SystemReason(errno);
  }
  return fd;
}

std::optional<std::string> WriteAll(File fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return SystemReason(errno);
    }
    if (n == 0) return SystemReason(ENOSPC);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return std::nullopt;
}

std::optional<std::string> CloseFile(File fd) {
  if (::close(fd) == 0) return std::nullopt;
  return SystemReason(errno);
}

void RemoveFile(const text::NativePath& p) { ::unlink(p.c_str()); }

std::optional<std::string> Replace(const text::NativePath& from, const text::NativePath& to) {
  if (::rename(from.c_str(), to.c_str()) == 0) return std::nullopt;
  return SystemReason(errno);
}
#endif

}  // namespace

// Makes a temporary file beside `path`, writes `bytes` to it and renames it
// over the target when all went well; removes it otherwise.
Result<Done, WriteError> WriteFileAtomic(const std::string& path, std::string_view bytes) {
  const std::string folder = FolderOf(path);
  const text::NativePath target = text::ToNativePath(path);
  text::NativePath temporary;
  OpenFailure openFailure;
  File file{};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = text::ToNativePath(TemporaryNameIn(folder));
    openFailure = {};
    file = OpenNew(temporary, openFailure);
    if (IsOpen(file) || !openFailure.nameTaken) break;
  }
  if (!IsOpen(file)) return Fail(WriteError{path, openFailure.reason});
  RememberPending(temporary);

  std::optional<std::string> reason = WriteAll(file, bytes);
  if (auto closeReason = CloseFile(file); closeReason && !reason) reason = std::move(closeReason);
  if (!reason) reason = Replace(temporary, target);
  if (reason) {
    RemoveFile(temporary);
    ForgetPending();
    return Fail(WriteError{path, *reason});
  }
  ForgetPending();
  return Done{};
}

void RemovePendingTemporaryFile() noexcept {
  if (!g_pending.exchange(false)) return;
#ifdef _WIN32
  DeleteFileW(g_pendingPath);
#else
  ::unlink(g_pendingPath);
#endif
}

}  // namespace pelvaro::exporter
