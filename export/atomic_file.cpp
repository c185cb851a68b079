#include "export/atomic_file.h"

#include "export/system_reason.h"
#include "export/write_target.h"
#include "text/native_path.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <optional>
#include <string>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pelvaro::exporter {
namespace {

// The temporary file being written, for RemovePendingTemporaryFile. A fixed
// buffer, because a signal handler may read it.
text::NativePath::value_type g_pendingPath[4096];
std::atomic<bool> g_pending{false};

#ifdef _WIN32
constexpr int kTerminationSignals[] = {SIGINT, SIGTERM, SIGBREAK};
#else
constexpr int kTerminationSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
#endif

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

#ifdef _WIN32
// Ctrl+C runs its handler on a thread of its own: the lock keeps it from
// reading the name while this thread writes it.
SRWLOCK g_pendingLock = SRWLOCK_INIT;
struct PendingLock {
  PendingLock() { AcquireSRWLockExclusive(&g_pendingLock); }
  ~PendingLock() { ReleaseSRWLockExclusive(&g_pendingLock); }
  PendingLock(const PendingLock&) = delete;
  PendingLock& operator=(const PendingLock&) = delete;
};
#else
// A handler runs on this thread, in between its steps, and cannot wait for a
// lock: the flag is set only once the name is whole.
struct PendingLock {
  PendingLock() {}  // NOLINT: a lock in name only, so both platforms read alike
};
#endif

// Recorded before the file is made, so that a signal at any moment finds the
// name of whatever file may stand there; a handler that removes a name not
// made yet removes nothing.
void RememberPending(const text::NativePath& native) {
  if (native.size() >= sizeof g_pendingPath / sizeof g_pendingPath[0]) return;
  const PendingLock lock;
  std::copy(native.begin(), native.end(), g_pendingPath);
  g_pendingPath[native.size()] = 0;
  g_pending.store(true);
}

void ForgetPending() {
  const PendingLock lock;
  g_pending.store(false);
}

// An interrupted write leaves no temporary file behind; the program then
// ends as the signal would have ended it, so a shell sees what happened.
extern "C" void OnTerminate(int signal) {
  RemovePendingTemporaryFile();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// Why a temporary file could not be made: the name may only be taken (then
// another name is tried), or the folder refuses it.
struct OpenFailure {
  bool nameTaken = false;
  std::string reason;
};

#ifdef _WIN32
using File = HANDLE;
bool IsOpen(File f) { return f != INVALID_HANDLE_VALUE; }

File OpenNew(const text::NativePath& p, bool, OpenFailure& failure) {
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

// Windows has no permission bits beyond read-only, which the target check refuses.
void KeepAttributes(File, const WriteTarget&) {}

std::optional<std::string> CloseFile(File f) {
  if (CloseHandle(f)) return std::nullopt;
  return Win32Reason(GetLastError());
}

void RemoveFile(const text::NativePath& p) { DeleteFileW(p.c_str()); }

std::optional<std::string> Replace(const text::NativePath& from, const text::NativePath& to) {
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return std::nullopt;
  const DWORD code = GetLastError();
  // A directory that took the target's place since it was asked about is
  // refused as "access denied"; the message says what is there.
  const DWORD now = GetFileAttributesW(to.c_str());
  if (code == ERROR_ACCESS_DENIED && now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return SystemReason(EISDIR);
  return Win32Reason(code);
}
#else
using File = int;
bool IsOpen(File f) { return f >= 0; }

bool IsFolder(const std::string& folder) {
  struct stat status {};
  return ::stat(folder.empty() ? "." : folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// A file that replaces another is made private (0600) until it is given the
// old file's bits, so no one reads the new bytes of a private file meanwhile;
// a new file gets what the umask leaves of 0666.
File OpenNew(const text::NativePath& p, bool replaces, OpenFailure& failure) {
  const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replaces ? 0600 : 0666);
  if (fd < 0) {
    int error = errno;
    failure.nameTaken = error == EEXIST;
    // A folder that is there but takes no new file (such as /proc) says
    // "no such file"; what stands in the way is that no file may be made there.
    if (error == ENOENT && IsFolder(FolderOf(p))) error = EACCES;
    failure.reason = SystemReason(error);
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

// The replaced file's owner and permission bits go to its successor, as far
// as the system lets this user give them: root replacing a user's file gives
// it back to the user; a file system without such bits (FAT) keeps its own,
// and the file is written all the same.
void KeepAttributes(File fd, const WriteTarget& target) {
  if (!target.replaces) return;
  if (target.owner != geteuid() || target.group != getegid())
    (void)!::fchown(fd, static_cast<uid_t>(target.owner), static_cast<gid_t>(target.group));
  (void)::fchmod(fd, static_cast<mode_t>(target.mode));
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

// Makes a temporary file beside the file to replace, writes `bytes` to it and
// renames it over that file when all went well; removes it otherwise.
Result<Done, WriteError> WriteFileAtomic(const std::string& path, std::string_view bytes,
                                         const std::optional<sff::FileIdentity>& openArchive) {
  auto target = InspectWriteTarget(path, openArchive);
  if (!target) return Fail(std::move(target).error());
  const std::string folder = FolderOf(target->path);
  text::NativePath temporary;
  OpenFailure openFailure;
  File file{};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = text::ToNativePath(TemporaryNameIn(folder));
    openFailure = {};
    RememberPending(temporary);
    file = OpenNew(temporary, target->replaces, openFailure);
    if (IsOpen(file)) break;
    ForgetPending();
    if (!openFailure.nameTaken) break;
  }
  if (!IsOpen(file)) return Fail(WriteError::System(path, openFailure.reason));

  std::optional<std::string> reason = WriteAll(file, bytes);
  if (!reason) KeepAttributes(file, *target);
  if (auto closeReason = CloseFile(file); closeReason && !reason) reason = std::move(closeReason);
  if (!reason) reason = Replace(temporary, text::ToNativePath(target->path));
  if (reason) {
    RemoveFile(temporary);
    ForgetPending();
    return Fail(WriteError::System(path, *reason));
  }
  ForgetPending();
  return Done{};
}

void RemovePendingTemporaryFile() noexcept {
  const PendingLock lock;
  if (!g_pending.exchange(false)) return;
#ifdef _WIN32
  DeleteFileW(g_pendingPath);
#else
  ::unlink(g_pendingPath);
#endif
}

void RemoveTemporaryFilesOnTermination() {
  for (const int signal : kTerminationSignals) {
#ifdef _WIN32
    std::signal(signal, OnTerminate);
#else
    // A signal the program was started ignoring (nohup, a background job) stays ignored.
    struct sigaction previous {};
    sigaction(signal, nullptr, &previous);
    if (previous.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    // One handler at a time: a second signal waits until the first has removed the file.
    sigemptyset(&action.sa_mask);
    for (const int other : kTerminationSignals) sigaddset(&action.sa_mask, other);
    sigaction(signal, &action, nullptr);
#endif
  }
}

}  // namespace pelvaro::exporter
