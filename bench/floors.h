#pragma once

// The floors the figures are measured against: the same bytes read or written
// with nothing but the system calls, no checks, no copies and no names to
// build. A write floor writes the same SAFE way the program does: a new
// temporary file in the target's folder, renamed over the target, so a figure
// shows what the program adds, not what safety costs. The plain in-place
// write (truncate the target and write into it) is kept only to show that cost.

#include "sff/archive.h"
#include "sff/byte_image.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelvaro::bench {

// Where a floor reads a file to: memory of the kind the loader reads into
// (huge pages where the system has them), so that the floor pays for its
// memory what the program pays; or plain new[] memory in 4 KiB pages.
enum class Memory { kAsTheLoader, kPlain };

// A whole file in memory, in an uninitialised buffer.
struct FileImage {
  sff::ByteImage asTheLoader;
  std::unique_ptr<std::uint8_t[]> plain;
};

// open, fstat, one read into a fresh buffer, close.
FileImage ReadFileAlone(const std::string& path, Memory memory);

// One file to write: its path, the temporary name it is written under first,
// and the (at most two) pieces it is made of.
struct PlannedFile {
  std::string path;
  std::string temporary;
  std::string folder;  // where an unnamed file is made first
  std::span<const std::uint8_t> first;
  std::span<const std::uint8_t> second;
};

// The files an export of `archive` into `folder` writes, row by row in display
// order, with the bytes the exporter writes (rows without a name are left out).
std::vector<PlannedFile> PlanPcxFiles(const std::string& folder, const sff::Archive& archive);

// One file of `bytes` at `path`.
PlannedFile PlanBuffer(const std::string& path, std::string_view bytes);

// Each file written safely: a new temporary file (open with O_EXCL), one
// gathering write, close, rename over the target.
void WritePlannedFilesSafely(const std::vector<PlannedFile>& files);

// Each file, which does not exist yet, written as safely as a new file is:
// made without a name in its folder (O_TMPFILE), one gathering write, linked
// to its name through /proc/self/fd, closed. No temporary name is ever seen.
void WritePlannedNewFilesUnnamed(const std::vector<PlannedFile>& files);

// Each file written in place: created or truncated, one gathering write,
// close. Not safe: a failure leaves a half-written target.
void WritePlannedFilesInPlace(const std::vector<PlannedFile>& files);

}  // namespace pelvaro::bench
