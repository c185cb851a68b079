#include "sff/file_identity.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace pelvaro::sff {

#ifdef _WIN32
std::optional<FileIdentity> IdentityOfOpenFile(std::FILE* file) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))), &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (std::uint64_t{info.nFileIndexHigh} << 32) | std::uint64_t{info.nFileIndexLow}};
}
#else
std::optional<FileIdentity> IdentityOfOpenFile(std::FILE* file) {
  struct stat status {};
  if (::fstat(fileno(file), &status) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}
#endif

}  // namespace pelvaro::sff
