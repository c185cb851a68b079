#pragma once

// What a loaded archive holds that the builder or the programs that read it
// would take differently from what the list shows: found without writing
// anything, for pelvaro-cli's check and any window that wants to show it.
//
// An archive the loader refuses (a link at or past the image count, a next
// offset outside the file, ...) has no findings: the refusal is the report.

#include "image/pcx_decoder.h"
#include "sff/archive.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pelvaro::commands {

struct CheckFinding {
  enum class Kind {
    kDuplicatePair,    // a group/item pair an earlier subfile already has: `other` is that one's position
    kUndecodable,      // the row's image cannot be decoded: `decodeError`
    kLinkToLink,       // the link names a subfile that is itself a link: `other`
    kLinkToUnreached,  // the link names a subfile the chain never reaches: `other`
    kNoSharedPalette,  // the palette flag asks for the shared palette, and the archive has none
    kUnreached,        // `count` subfiles from chain position `position` on that the chain never reaches
    kUncoveredBytes,   // `bytes` bytes from `offset` that belong to no subfile
  };
  Kind kind = Kind::kDuplicatePair;
  std::int64_t row = -1;       // display row, from 0; -1 for a finding about the file
  std::int64_t position = -1;  // chain position, from 0
  std::uint16_t group = 0;
  std::uint16_t item = 0;
  std::int64_t other = -1;
  std::int64_t count = 0;
  std::int64_t offset = 0;
  std::int64_t bytes = 0;
  image::DecodeError decodeError;
};

// Every finding: first the rows' in display order, then the file's.
std::vector<CheckFinding> CheckArchive(const sff::Archive& archive);

// The finding in the program's words, on one line.
std::string FindingText(const CheckFinding& finding);
// A short fixed name of the kind, for scripts ("duplicate", "undecodable", ...).
const char* FindingKindName(CheckFinding::Kind kind);

}  // namespace pelvaro::commands
