// The file system through the C runtime (reading) and Win32 (writing). Windows
// has no unnamed files: every new file is written under a temporary name.

#include "platform/file_system.h"

#include "platform/native_path.h"
#include "platform/system_reason.h"
#include "platform/win32/win32_reason.h"

#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <memory>
#include <system_error>

namespace pelvaro::platform {
namespace {

SystemError CrtError(int error) {
  return {error == ENOENT ? SystemError::Kind::kNotFound : SystemError::Kind::kOther, SystemReason(error)};
}

SystemError Win32Error(DWORD code) {
  SystemError e{SystemError::Kind::kOther, Win32Reason(code)};
  if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) e.kind = SystemError::Kind::kNotFound;
  if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) e.kind = SystemError::Kind::kNameTaken;
  return e;
}

HANDLE AsHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }
int AsDescriptor(FileHandle file) { return static_cast<int>(file); }

FileKind KindOf(unsigned short mode) {
  if ((mode & S_IFMT) == S_IFREG) return FileKind::kRegular;
  if ((mode & S_IFMT) == S_IFDIR) return FileKind::kFolder;
  return FileKind::kOther;
}

struct HandleCloser {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// Opened for no access at all, only to ask what it is: no program's sharing
// mode stands in the way, and links are followed.
HANDLE OpenToAsk(const NativePath& native) {
  return CreateFileW(native.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The path of the file `handle` is open on, every link resolved.
std::optional<std::string> FinalPathOf(HANDLE handle) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD n = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return std::nullopt;
    if (n < buffer.size()) {
      buffer.resize(n);
      return FromNativePath(buffer);
    }
    buffer.resize(n);
  }
  return std::nullopt;
}

class Win32FileSystem final : public FileSystem {
 public:
  // _wstat64 will not take a folder named with a closing separator ("C:\sff\"
  // fails as if it were not there); asked without it, a folder is a folder. A
  // drive's root keeps its separator, which it needs. A file named so is still
  // refused when it is opened under the name as given.
  SystemResult<SourceFacts> InspectSource(const std::string& path) override {
    NativePath asked = ToNativePath(path);
    const auto isRoot = [&asked] { return asked.size() == 3 && asked[1] == L':'; };
    while (asked.size() > 1 && (asked.back() == L'\\' || asked.back() == L'/') && !isRoot()) asked.pop_back();
    struct _stat64 status {};
    if (_wstat64(asked.c_str(), &status) != 0) return Fail(CrtError(errno));
    return SourceFacts{KindOf(status.st_mode), static_cast<std::int64_t>(status.st_size)};
  }

  // A FIFO does not stand in a Windows folder; nothing here can block.
  SystemResult<FileHandle> OpenForReading(const std::string& path) override {
    const int fd = _wopen(ToNativePath(path).c_str(), _O_RDONLY | _O_BINARY);
    if (fd < 0) return Fail(CrtError(errno));
    return FileHandle{fd};
  }

  SystemResult<SourceFacts> FactsOfOpen(FileHandle file) override {
    struct _stat64 status {};
    if (_fstat64(AsDescriptor(file), &status) != 0) return Fail(CrtError(errno));
    return SourceFacts{KindOf(status.st_mode), static_cast<std::int64_t>(status.st_size)};
  }

  std::optional<FileIdentity> IdentityOfOpen(FileHandle file) override {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(reinterpret_cast<HANDLE>(_get_osfhandle(AsDescriptor(file))), &info))
      return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (std::uint64_t{info.nFileIndexHigh} << 32) | std::uint64_t{info.nFileIndexLow}};
  }

  SystemResult<std::size_t> Read(FileHandle file, std::span<std::uint8_t> into) override {
    std::size_t got = 0;
    while (got < into.size()) {
      const auto chunk = static_cast<unsigned>(std::min<std::size_t>(into.size() - got, INT_MAX));
      const int n = _read(AsDescriptor(file), into.data() + got, chunk);
      if (n < 0) return Fail(CrtError(errno != 0 ? errno : EIO));
      if (n == 0) break;
      got += static_cast<std::size_t>(n);
    }
    return got;
  }

  void CloseAfterReading(FileHandle file) override { _close(AsDescriptor(file)); }

  SystemResult<TargetFacts> InspectTarget(const std::string& path) override {
    TargetFacts facts;
    const NativePath native = ToNativePath(path);
    const DWORD attributes = GetFileAttributesW(native.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      const DWORD code = GetLastError();
      if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return facts;  // a new file
      return Fail(Win32Error(code));
    }
    facts.link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const Handle file(OpenToAsk(native));
    if (file.get() == INVALID_HANDLE_VALUE) {
      const DWORD code = GetLastError();
      if (facts.link && (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)) {
        facts.kind = TargetFacts::Kind::kBrokenLink;
        return facts;
      }
      return Fail(Win32Error(code));
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info)) {
      // A console, a pipe or another device answers no such question.
      if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        facts.kind = TargetFacts::Kind::kOther;
        return facts;
      }
      return Fail(Win32Error(GetLastError()));
    }
    facts.identity = FileIdentity{info.dwVolumeSerialNumber,
                                  (std::uint64_t{info.nFileIndexHigh} << 32) | std::uint64_t{info.nFileIndexLow}};
    facts.kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? TargetFacts::Kind::kFolder
                 : GetFileType(file.get()) != FILE_TYPE_DISK        ? TargetFacts::Kind::kOther
                                                                    : TargetFacts::Kind::kRegular;
    // Windows will not rename over a read-only file. Asked here first, so the
    // answer does not rest on how closely the file system follows that rule
    // (Wine's does not).
    facts.writable = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0;
    return facts;
  }

  SystemResult<std::string> ResolvedPath(const std::string& path) override {
    const Handle file(OpenToAsk(ToNativePath(path)));
    if (file.get() == INVALID_HANDLE_VALUE) return Fail(Win32Error(GetLastError()));
    auto final = FinalPathOf(file.get());
    if (!final) return Fail(Win32Error(GetLastError()));
    return std::move(*final);
  }

  // Shared for deletion, so that the Ctrl+C handler, which runs on a thread of
  // its own while this one may still be writing, can remove the file. Windows
  // has no permission bits beyond read-only to keep private.
  SystemResult<FileHandle> CreateNew(const std::string& path, std::uint32_t) override {
    const HANDLE h = CreateFileW(ToNativePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                 nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return Fail(Win32Error(GetLastError()));
    return reinterpret_cast<FileHandle>(h);
  }

  SystemResult<FileHandle> CreateUnnamed(const std::string&) override {
    return Fail(SystemError{SystemError::Kind::kUnsupported, SystemReason(ENOSYS)});
  }

  SystemFailure WriteAll(FileHandle file, std::string_view bytes) override {
    while (!bytes.empty()) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 0x40000000u));
      DWORD written = 0;
      if (!WriteFile(AsHandle(file), bytes.data(), chunk, &written, nullptr)) return Win32Error(GetLastError());
      if (written == 0) return CrtError(ENOSPC);
      bytes.remove_prefix(written);
    }
    return std::nullopt;
  }

  // Windows has no permission bits beyond read-only, which the target check refuses.
  void TakeAttributesOf(FileHandle, std::uint32_t, std::uint32_t, std::uint32_t) override {}

  SystemFailure LinkUnnamed(FileHandle, const std::string&) override {
    return SystemError{SystemError::Kind::kUnsupported, SystemReason(ENOSYS)};
  }

  SystemFailure Close(FileHandle file) override {
    if (CloseHandle(AsHandle(file))) return std::nullopt;
    return Win32Error(GetLastError());
  }

  SystemFailure Replace(const std::string& from, const std::string& to) override {
    const NativePath target = ToNativePath(to);
    if (MoveFileExW(ToNativePath(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return std::nullopt;
    const DWORD code = GetLastError();
    // A directory that took the target's place since it was asked about is
    // refused as "access denied"; the message says what is there.
    const DWORD now = GetFileAttributesW(target.c_str());
    if (code == ERROR_ACCESS_DENIED && now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_DIRECTORY) != 0)
      return CrtError(EISDIR);
    return Win32Error(code);
  }

  void Remove(const std::string& path) override { DeleteFileW(ToNativePath(path).c_str()); }

  SystemFailure MakeFolders(const std::string& folder) override {
    std::error_code ec;
    const std::filesystem::path native(ToNativePath(folder));
    if (std::filesystem::is_directory(native, ec)) return std::nullopt;
    std::filesystem::create_directories(native, ec);
    if (ec) return SystemError::Other(SystemReason(ec));
    return std::nullopt;
  }
};

}  // namespace

FileSystem& RealFileSystem() {
  static Win32FileSystem files;
  return files;
}

}  // namespace pelvaro::platform
