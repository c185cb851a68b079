#pragma once

// The archive loader: reads an SFF file whole, walks its subfile chain into
// sprite records, resolves links, lifts the shared palette and orders the
// rows for display.

#include "base/result.h"
#include "sff/archive.h"
#include "sff/load_error.h"

#include <functional>
#include <span>
#include <string>

namespace pelvaro::sff {

// Asked, before anything else is checked, when the archive is not in shared
// palette mode (header byte 32 is not 1): true to load it all the same.
using PaletteQuestion = std::function<bool()>;

// The archive at `path` (UTF-8); its name is the path's file name.
Result<Archive, LoadError> LoadSff(const std::string& path, const PaletteQuestion& goOn);

// The same for an archive already in memory: `bytes` is the whole file,
// `name` what its file is called. Every check after the read is LoadSff's.
Result<Archive, LoadError> LoadSffFromBytes(std::string name, ByteImage bytes, const PaletteQuestion& goOn);
Result<Archive, LoadError> LoadSffFromBytes(std::string name, std::span<const std::uint8_t> bytes,
                                            const PaletteQuestion& goOn);

// `name` less its last four characters (not bytes); empty when it is shorter.
std::string StemOfArchiveName(const std::string& name);

}  // namespace pelvaro::sff
