#pragma once

// Why a load gave no archive. The front ends word it (export/messages.h).

#include <cstdint>
#include <string>

namespace pelvaro::sff {

enum class LoadFault {
  kDeclined,            // not in shared palette mode, and the user would not go on
  kCannotRead,          // the file could not be opened or read: `path`, `reason`
  kNotRegularFile,      // a folder, a device, a FIFO...: `path`
  kShortenedWhileRead,  // the file lost bytes while it was read: `path`
  kTooLarge,            // 2 GiB or more: `value` = its size
  kOutOfMemory,         // the records the header asks for do not fit in memory
  // The archive is damaged:
  kNoHeader,          // too short to hold the palette type: `value` = file size
  kTooShort,          // shorter than the header and one subfile header: `value` = file size
  kBadImageCount,     // `value` = the count, `limit` = how many the file can hold
  kHeaderOutside,     // a subfile header lies (partly) outside the file
  kNextOutside,       // `value` = a next-subfile offset beyond the end of the file
  kBadLink,           // `value` = a link not below the image count, `limit` = that count
};

struct LoadError {
  LoadFault fault = LoadFault::kCannotRead;
  std::string path;           // the file, where the fault concerns it as a file
  std::string reason;         // the system's words, where the system gave any
  std::int64_t value = 0;     // the number at fault (see LoadFault)
  std::int64_t limit = 0;     // what it had to stay within
  std::int64_t position = -1;  // chain position of the damaged subfile, where there is one
  std::int64_t offset = -1;    // its file offset
};

// True for the faults of a damaged archive, as opposed to a file that could
// not be read at all.
inline bool IsDamage(LoadFault fault) { return fault >= LoadFault::kNoHeader; }

}  // namespace pelvaro::sff
