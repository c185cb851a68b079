#include "sff/read_whole_file.h"

#include "platform/file_system.h"
#include "platform/system_reason.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <optional>

namespace pelvaro::sff {
namespace {

LoadError FileFault(LoadFault fault, const std::string& path) {
  LoadError error;
  error.fault = fault;
  error.path = path;
  return error;
}

LoadError CannotRead(const std::string& path, std::string reason) {
  LoadError error = FileFault(LoadFault::kCannotRead, path);
  error.reason = std::move(reason);
  return error;
}

// Refuses what is not a regular file; a folder is named as such by the system's words.
std::optional<LoadError> RefuseIfNotRegular(const std::string& path, const platform::SourceFacts& facts) {
  if (facts.kind == platform::FileKind::kFolder) return CannotRead(path, platform::SystemReason(EISDIR));
  if (facts.kind != platform::FileKind::kRegular) return FileFault(LoadFault::kNotRegularFile, path);
  return std::nullopt;
}

// Closes the file however the read ends.
class OpenFile {
 public:
  OpenFile(platform::FileSystem& files, platform::FileHandle handle) : files_(files), handle_(handle) {}
  ~OpenFile() { files_.CloseAfterReading(handle_); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  platform::FileHandle handle() const { return handle_; }

 private:
  platform::FileSystem& files_;
  platform::FileHandle handle_;
};

}  // namespace

Result<WholeFile, LoadError> ReadWholeFile(const std::string& path, const ReadProgress& onPiece) {
  platform::FileSystem& files = platform::Files();
  auto facts = files.InspectSource(path);
  if (!facts) return Fail(CannotRead(path, facts.error().reason));
  if (auto refused = RefuseIfNotRegular(path, *facts)) return Fail(std::move(*refused));

  auto opened = files.OpenForReading(path);
  if (!opened) return Fail(CannotRead(path, opened.error().reason));
  const OpenFile file(files, *opened);
  // Asked again of the open file: the path may have been replaced meanwhile.
  facts = files.FactsOfOpen(file.handle());
  if (!facts) return Fail(CannotRead(path, facts.error().reason));
  if (auto refused = RefuseIfNotRegular(path, *facts)) return Fail(std::move(*refused));
  const std::int64_t size = facts->size;
  if (size > std::numeric_limits<std::int32_t>::max()) {
    LoadError tooLarge = FileFault(LoadFault::kTooLarge, path);
    tooLarge.value = size;
    return Fail(std::move(tooLarge));
  }

  ByteImage bytes(static_cast<std::size_t>(size));  // not zero-filled: the read fills it
  std::size_t read = 0;
  while (read < bytes.size()) {
    const std::size_t piece = std::min(kReadPieceBytes, bytes.size() - read);
    const auto got = files.Read(file.handle(), std::span<std::uint8_t>(bytes.data() + read, piece));
    if (!got) return Fail(CannotRead(path, got.error().reason));
    // Fewer bytes than asked come only at the end of the file: it is shorter than it was.
    if (*got != piece) return Fail(FileFault(LoadFault::kShortenedWhileRead, path));
    read += piece;
    if (onPiece) onPiece(bytes, read);
  }
  return WholeFile{std::move(bytes), files.IdentityOfOpen(file.handle())};
}

}  // namespace pelvaro::sff
