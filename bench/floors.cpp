#include "bench/floors.h"

#include "export/row_record.h"

#include <cerrno>
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

int CreateOrTruncate(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) Fail("cannot create", path);
  return fd;
}

void WriteAll(int fd, std::span<const std::uint8_t> first, std::span<const std::uint8_t> second,
              const std::string& path) {
  iovec parts[2] = {{const_cast<std::uint8_t*>(first.data()), first.size()},
                    {const_cast<std::uint8_t*>(second.data()), second.size()}};
  const std::size_t total = first.size() + second.size();
  const auto written = ::writev(fd, parts, 2);
  // Files of this size go in one piece; anything less is a failure here.
  if (written < 0 || static_cast<std::size_t>(written) != total) Fail("cannot write", path);
}

}  // namespace

FileImage ReadFileAlone(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("cannot open", path);
  struct stat info{};
  if (::fstat(fd, &info) != 0) Fail("cannot stat", path);
  FileImage image;
  image.size = static_cast<std::size_t>(info.st_size);
  image.bytes.reset(new std::uint8_t[image.size]);  // left uninitialised: the read fills it
  std::size_t done = 0;
  while (done < image.size) {
    const auto got = ::read(fd, image.bytes.get() + done, image.size - done);
    if (got <= 0) Fail("cannot read", path);
    done += static_cast<std::size_t>(got);
  }
  ::close(fd);
  return image;
}

std::vector<PlannedFile> PlanPcxFiles(const std::string& folder, const sff::SffState& state,
                                      const sff::SpriteTable& table) {
  std::vector<PlannedFile> files;
  files.reserve(static_cast<std::size_t>(table.Count()));
  for (int row = 1; row <= table.Count(); ++row) {
    const auto cells = table.RowAt(row);
    const std::string_view name = cells[sff::SpriteTable::kPcxName];
    if (name.empty()) continue;
    const sff::SpriteRecord* record = exporter::RecordForPPos(cells[sff::SpriteTable::kPPos], state);
    if (!record) throw std::runtime_error("a row whose P.Pos names no sprite");
    const sff::SpriteRecord& r = *record;
    PlannedFile file;
    file.path = folder;
    file.path += name;
    if (r.DataEnd >= r.DataStart)
      file.payload = std::span(state.SffBytes).subspan(static_cast<std::size_t>(r.DataStart),
                                                       static_cast<std::size_t>(r.DataEnd - r.DataStart + 1));
    if (r.PalFlag == 1) file.palette = state.SharedPal;
    files.push_back(std::move(file));
  }
  return files;
}

void WritePlannedFiles(const std::vector<PlannedFile>& files) {
  for (const PlannedFile& f : files) {
    const int fd = CreateOrTruncate(f.path);
    WriteAll(fd, f.payload, f.palette, f.path);
    if (::close(fd) != 0) Fail("cannot close", f.path);
  }
}

void WriteBufferAlone(const std::string& path, std::string_view bytes) {
  const int fd = CreateOrTruncate(path);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const auto n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) Fail("cannot write", path);
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) Fail("cannot close", path);
}

}  // namespace pelvaro::bench
