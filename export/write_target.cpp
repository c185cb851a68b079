#include "export/write_target.h"

#include "export/system_reason.h"
#include "text/native_path.h"

#include <cerrno>
#include <cstdlib>
#include <memory>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace pelvaro::exporter {
namespace {

using Fault = WriteError::Fault;

Result<WriteTarget, WriteError> SystemRefusal(const std::string& path, std::string reason) {
  return Fail(WriteError::System(path, std::move(reason)));
}

Result<WriteTarget, WriteError> Refusal(const std::string& path, Fault fault) {
  return Fail(WriteError::Refused(path, fault));
}

#ifdef _WIN32
struct HandleCloser {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// The path of the file `handle` is open on, every link resolved.
std::optional<std::string> FinalPathOf(HANDLE handle) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD n = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return std::nullopt;
    if (n < buffer.size()) {
      buffer.resize(n);
      return text::FromNativePath(buffer);
    }
    buffer.resize(n);
  }
  return std::nullopt;
}
#endif

}  // namespace

#ifdef _WIN32
Result<WriteTarget, WriteError> InspectWriteTarget(const std::string& path,
                                                   const std::optional<sff::FileIdentity>& openArchive) {
  WriteTarget target{path};
  const text::NativePath native = text::ToNativePath(path);
  const DWORD attributes = GetFileAttributesW(native.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return target;  // a new file
    return SystemRefusal(path, Win32Reason(code));
  }
  const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  // Opened for no access at all, only to ask what it is: no program's
  // sharing mode stands in the way, and links are followed.
  const Handle file(CreateFileW(native.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (link && (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)) return Refusal(path, Fault::kNotRegularFile);
    return SystemRefusal(path, Win32Reason(code));
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info)) {
    // A console, a pipe or another device answers no such question.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return Refusal(path, Fault::kNotRegularFile);
    return SystemRefusal(path, Win32Reason(GetLastError()));
  }
  const sff::FileIdentity identity{info.dwVolumeSerialNumber,
                                   (std::uint64_t{info.nFileIndexHigh} << 32) | std::uint64_t{info.nFileIndexLow}};
  if (openArchive && *openArchive == identity) return Refusal(path, Fault::kOpenArchive);
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return SystemRefusal(path, SystemReason(EISDIR));
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return Refusal(path, Fault::kNotRegularFile);
  // Windows will not rename over a read-only file. Asked here first, so the
  // answer does not rest on how closely the file system follows that rule
  // (Wine's does not).
  if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return SystemRefusal(path, SystemReason(EACCES));
  if (link) {
    auto final = FinalPathOf(file.get());
    if (!final) return SystemRefusal(path, Win32Reason(GetLastError()));
    target.path = std::move(*final);
  }
  target.replaces = true;
  return target;
}
#else
Result<WriteTarget, WriteError> InspectWriteTarget(const std::string& path,
                                                   const std::optional<sff::FileIdentity>& openArchive) {
  WriteTarget target{path};
  const text::NativePath native = text::ToNativePath(path);
  struct stat entry {};
  if (::lstat(native.c_str(), &entry) != 0) {
    if (errno == ENOENT) return target;  // a new file
    return SystemRefusal(path, SystemReason(errno));
  }
  const bool link = S_ISLNK(entry.st_mode);
  struct stat file = entry;
  if (link && ::stat(native.c_str(), &file) != 0) {
    if (errno == ENOENT) return Refusal(path, Fault::kNotRegularFile);  // a link to nothing
    return SystemRefusal(path, SystemReason(errno));
  }
  const sff::FileIdentity identity{static_cast<std::uint64_t>(file.st_dev), static_cast<std::uint64_t>(file.st_ino)};
  if (openArchive && *openArchive == identity) return Refusal(path, Fault::kOpenArchive);
  if (S_ISDIR(file.st_mode)) return SystemRefusal(path, SystemReason(EISDIR));
  if (!S_ISREG(file.st_mode)) return Refusal(path, Fault::kNotRegularFile);
  // Not even for root, who could write it: a file nobody may write is meant
  // to stay, as Windows keeps a read-only one.
  if ((file.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return SystemRefusal(path, SystemReason(EACCES));
  if (link) {
    // Where the link leads, every link on the way resolved: the new file is
    // made in that folder and renamed over that file.
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(native.c_str(), nullptr), &std::free);
    if (!resolved) return SystemRefusal(path, SystemReason(errno));
    target.path = text::FromNativePath(resolved.get());
  }
  target.replaces = true;
  target.mode = static_cast<std::uint32_t>(file.st_mode & 0777);
  target.owner = static_cast<std::uint32_t>(file.st_uid);
  target.group = static_cast<std::uint32_t>(file.st_gid);
  return target;
}
#endif

}  // namespace pelvaro::exporter
