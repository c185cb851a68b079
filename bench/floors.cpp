#include "bench/floors.h"

#include "sff/sprite_rows.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace pelvaro::bench {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

std::span<const std::uint8_t> BytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('/') + 1); }

// A temporary name in the target's folder, made once when the files are
// planned, so the timed floor builds no names.
std::string TemporaryNameFor(const std::string& path, std::size_t index) {
  return FolderOf(path) + ".floor-" + std::to_string(getpid()) + "-" + std::to_string(index) + ".tmp";
}

void WriteAll(int fd, const PlannedFile& file) {
  iovec parts[2] = {{const_cast<std::uint8_t*>(file.first.data()), file.first.size()},
                    {const_cast<std::uint8_t*>(file.second.data()), file.second.size()}};
  std::size_t left = file.first.size() + file.second.size();
  int from = 0;
  while (left > 0) {
    const auto written = ::writev(fd, parts + from, 2 - from);
    if (written <= 0) Fail("cannot write", file.path);
    left -= static_cast<std::size_t>(written);
    // A short write (a large text may come out in more than one): go on after it.
    auto done = static_cast<std::size_t>(written);
    while (from < 2 && done >= parts[from].iov_len) done -= parts[from++].iov_len;
    if (from < 2) {
      parts[from].iov_base = static_cast<std::uint8_t*>(parts[from].iov_base) + done;
      parts[from].iov_len -= done;
    }
  }
}

void WriteUnderTemporaryName(const PlannedFile& f) {
  const int fd = ::open(f.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) Fail("cannot create", f.temporary);
  WriteAll(fd, f);
  if (::close(fd) != 0) Fail("cannot close", f.temporary);
  if (::rename(f.temporary.c_str(), f.path.c_str()) != 0) Fail("cannot rename over", f.path);
}

}  // namespace

FileImage ReadFileAlone(const std::string& path, Memory memory) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("cannot open", path);
  struct stat info{};
  if (::fstat(fd, &info) != 0) Fail("cannot stat", path);
  FileImage image;
  // Left uninitialised either way: the read fills it.
  const auto size = static_cast<std::size_t>(info.st_size);
  std::uint8_t* buffer = nullptr;
  if (memory == Memory::kAsTheLoader) {
    image.asTheLoader.resize(size);
    buffer = image.asTheLoader.data();
  } else {
    image.plain.reset(new std::uint8_t[size]);
    buffer = image.plain.get();
  }
  std::size_t done = 0;
  while (done < size) {
    const auto got = ::read(fd, buffer + done, size - done);
    if (got <= 0) Fail("cannot read", path);
    done += static_cast<std::size_t>(got);
  }
  ::close(fd);
  return image;
}

std::vector<PlannedFile> PlanPcxFiles(const std::string& folder, const sff::Archive& archive) {
  const std::span<const std::uint8_t> bytes = archive.SffBytes();
  const auto size = static_cast<std::int64_t>(bytes.size());
  std::vector<PlannedFile> files;
  files.reserve(archive.RowCount());
  for (std::size_t row = 0; row < archive.RowCount(); ++row) {
    const sff::SpriteRecord& r = archive.RecordOfRow(row);
    PlannedFile file;
    file.path = folder;
    sff::AppendPcxName(file.path, archive, r);
    if (file.path.size() == folder.size()) continue;
    file.temporary = TemporaryNameFor(file.path, files.size());
    file.folder = folder;
    const std::int64_t first = std::clamp<std::int64_t>(r.DataStart, 0, size);
    const std::int64_t end = std::clamp<std::int64_t>(std::int64_t{r.DataEnd} + 1, first, size);
    file.first = bytes.subspan(static_cast<std::size_t>(first), static_cast<std::size_t>(end - first));
    if (r.PalFlag == 1) file.second = archive.SharedPal();
    files.push_back(std::move(file));
  }
  return files;
}

PlannedFile PlanBuffer(const std::string& path, std::string_view bytes) {
  return {path, TemporaryNameFor(path, 0), FolderOf(path), BytesOf(bytes), {}};
}


void WritePlannedFilesSafely(const std::vector<PlannedFile>& files) {
  for (const PlannedFile& f : files) WriteUnderTemporaryName(f);
}

void WritePlannedNewFilesUnnamed(const std::vector<PlannedFile>& files) {
  char self[32];
  for (const PlannedFile& f : files) {
    const int fd = ::open(f.folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) Fail("cannot make an unnamed file in", f.folder);
    WriteAll(fd, f);
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    if (::linkat(AT_FDCWD, self, AT_FDCWD, f.path.c_str(), AT_SYMLINK_FOLLOW) != 0) {
      // A pair that stands twice in the archive names one file twice: the
      // second replaces the first, as the program's does.
      if (errno != EEXIST) Fail("cannot link", f.path);
      ::close(fd);
      WriteUnderTemporaryName(f);
      continue;
    }
    if (::close(fd) != 0) Fail("cannot close", f.path);
  }
}

void WritePlannedFilesInPlace(const std::vector<PlannedFile>& files) {
  for (const PlannedFile& f : files) {
    const int fd = ::open(f.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) Fail("cannot create", f.path);
    WriteAll(fd, f);
    if (::close(fd) != 0) Fail("cannot close", f.path);
  }
}

}  // namespace pelvaro::bench
