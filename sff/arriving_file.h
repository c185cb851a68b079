#pragma once

// A file read into memory piece by piece, so that the bytes that are already
// there can be worked on, while they are still in the cache, before the rest
// is read: the read is the largest part of loading an archive.

#include "sff/byte_image.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <variant>

namespace pelvaro::sff {

struct ReadFailure {
  enum class Kind { kCannotRead, kTooLarge } kind = Kind::kCannotRead;
  std::string reason;  // the system's words for what went wrong
};

class ArrivingFile {
 public:
  // Opens the file at `path` (UTF-8) and makes room for it. A file that
  // cannot be opened, is no regular file, or has 2 GiB or more (every
  // position in an archive is a 32-bit signed number) is refused.
  static std::variant<std::unique_ptr<ArrivingFile>, ReadFailure> Open(const std::string& path);

  ArrivingFile(const ArrivingFile&) = delete;
  ArrivingFile& operator=(const ArrivingFile&) = delete;

  // Reads the file to its end, or until a read fails, calling `arrived` with
  // the number of bytes there after every piece.
  void ReadAll(const std::function<void(std::size_t arrived)>& arrived);
  // The whole file's room; while ReadAll runs, only the bytes it has reported may be read.
  std::span<const std::uint8_t> Bytes() const { return image_; }
  // After ReadAll: hands the whole file over, or says why it could not be read.
  std::optional<ReadFailure> Finish(ByteImage& out);

 private:
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };

  ArrivingFile(std::unique_ptr<std::FILE, FileCloser> file, std::size_t size);
  std::unique_ptr<std::FILE, FileCloser> file_;
  ByteImage image_;
  // Why the read ended early.
  int failedErrno_ = 0;
  bool shortened_ = false;
};

}  // namespace pelvaro::sff
