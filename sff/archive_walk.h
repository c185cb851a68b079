#pragma once

// Walking an archive into records and rows: all at once for an archive in
// memory, or piece by piece while its file is read.

#include "sff/arriving_file.h"
#include "sff/load_sff.h"
#include "sff/sprite_record.h"
#include "sff/sprite_table.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pelvaro::sff {

// What the archive's bytes say before the palette question is asked: its
// records in chain order and their rows, or why it is refused. The rows are
// made as the records are walked, while the file is still being read; what
// links and the palette change in them is brought up to date afterwards.
struct Walked {
  std::vector<SpriteRecord> records;
  SpriteTable rows;
  std::optional<LoadOutcome> refusal;
};

// The walk of an archive that is in memory whole (`file`); PCX names begin with `stem`.
Walked WalkInMemory(std::span<const std::uint8_t> file, const std::string& stem);

// Reads the whole file and walks its chain piece by piece, each piece right
// after it is read. What the walk finds counts only when the read succeeds.
Walked ReadAndWalk(ArrivingFile& file, const std::string& stem);

}  // namespace pelvaro::sff
