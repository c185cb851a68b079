#pragma once

// The archive loader: reads an SFF file whole, walks its subfile chain into
// sprite records, resolves links, lifts the shared palette and fills the
// sprite table, numbered in display order.

#include "sff/loader_view.h"
#include "sff/sff_state.h"

#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <string_view>

namespace pelvaro::sff {

// The five-line question asked for an archive that is not in shared palette mode.
extern const char* const kSharedPaletteWarning;

enum class LoadStatus { kLoaded, kDeclined, kRefused };

enum class LoadFault {
  kNone,
  kCannotRead,      // the file could not be opened or read
  kTooLarge,        // 2 GiB or more
  kTooShort,        // shorter than the header and one subfile header
  kBadImageCount,   // below 1, or more subfile headers than the file can hold
  kHeaderOutside,   // a subfile header the walk must read lies (partly) outside the file
  kNextOutside,     // a next-subfile offset beyond the end of the file
  kBadLink,         // a link to a chain position not below the image count
};

struct LoadOutcome {
  LoadStatus status = LoadStatus::kLoaded;
  LoadFault fault = LoadFault::kNone;
  std::string message;        // what the user was shown, for a refusal
  std::int32_t position = -1;  // chain position of the damaged subfile, where there is one
  std::int64_t offset = -1;    // its file offset
};

// Loads the archive at `path` (UTF-8). The archive-name label must already hold
// its file name. A damaged archive is refused with a stop-icon message: the
// table and both labels are then empty and `state` is reset.
LoadOutcome LoadSff(const std::string& path, SffState& state, LoaderView& view);

// The same for an archive already in memory (`bytes` is the whole file). Every
// check after the file read is the same as LoadSff's; the fuzz target enters here.
LoadOutcome LoadSffFromBytes(ByteImage bytes, SffState& state, LoaderView& view);
// A copy of `bytes` loaded as above.
LoadOutcome LoadSffFromBytes(std::span<const std::uint8_t> bytes, SffState& state, LoaderView& view);

// Drops the loaded archive as a refusal does: `state` reset, the labels and
// the table emptied. For work that stopped halfway through a load.
void DropArchive(SffState& state, LoaderView& view);

// What the user is told when work stops on an exception rather than a
// refusal: running out of memory (a damaged archive may declare more records
// than memory holds) in plain words, anything else with its own text after a
// `newline` ("\r\n" in a message box, "\n" on a terminal).
std::string StoppedWorkMessage(const std::exception& e, std::string_view newline);

// `label` less its last four characters; empty when it is shorter.
std::string StemOfArchiveName(const std::string& label);

}  // namespace pelvaro::sff
