#include "export/atomic_file.h"

#include "text/native_path.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
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

std::string SystemReason(int error) { return std::strerror(error); }

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

#ifdef _WIN32
int OpenNew(const text::NativePath& p) {
  return _wopen(p.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int WriteSome(int fd, const char* data, std::size_t size) {
  const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
  return _write(fd, data, chunk);
}
int CloseFile(int fd) { return _close(fd); }
void RemoveFile(const text::NativePath& p) { _wunlink(p.c_str()); }
std::optional<std::string> Replace(const text::NativePath& from, const text::NativePath& to) {
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return std::nullopt;
  const DWORD code = GetLastError();
  if (code == ERROR_ACCESS_DENIED && (GetFileAttributesW(to.c_str()) & FILE_ATTRIBUTE_DIRECTORY) &&
      GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES)
    return SystemReason(EISDIR);
  char buffer[512] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer, sizeof buffer,
                 nullptr);
  std::string reason(buffer);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ')) reason.pop_back();
  return reason.empty() ? "error " + std::to_string(code) : reason;
}
#else
int OpenNew(const text::NativePath& p) { return ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); }
ssize_t WriteSome(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }
int CloseFile(int fd) { return ::close(fd); }
void RemoveFile(const text::NativePath& p) { ::unlink(p.c_str()); }
std::optional<std::string> Replace(const text::NativePath& from, const text::NativePath& to) {
  if (::rename(from.c_str(), to.c_str()) == 0) return std::nullopt;
  return SystemReason(errno);
}
#endif

}  // namespace

ExportError WriteError(const std::string& path, const std::string& reason) {
  return {"ファイルを書き込めません。\r\n" + path + "\r\n" + reason, path};
}

std::optional<ExportError> WriteFileAtomic(const std::string& path, std::string_view bytes) {
  const std::string folder = FolderOf(path);
  const text::NativePath target = text::ToNativePath(path);
  text::NativePath temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = text::ToNativePath(TemporaryNameIn(folder));
    fd = OpenNew(temporary);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return WriteError(path, SystemReason(errno));
  RememberPending(temporary);

  auto fail = [&](int error) {
    if (fd >= 0) CloseFile(fd);
    RemoveFile(temporary);
    ForgetPending();
    return WriteError(path, SystemReason(error));
  };

  std::size_t done = 0;
  while (done < bytes.size()) {
    const auto n = WriteSome(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    if (n == 0) return fail(ENOSPC);
    done += static_cast<std::size_t>(n);
  }
  const int closed = CloseFile(fd);
  fd = -1;
  if (closed != 0) return fail(errno);

  if (auto reason = Replace(temporary, target)) {
    RemoveFile(temporary);
    ForgetPending();
    return WriteError(path, *reason);
  }
  ForgetPending();
  return std::nullopt;
}

void RemovePendingTemporaryFile() noexcept {
  if (!g_pending.exchange(false)) return;
#ifdef _WIN32
  _wunlink(g_pendingPath);
#else
  ::unlink(g_pendingPath);
#endif
}

}  // namespace pelvaro::exporter
