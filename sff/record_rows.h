#pragma once

// The rows the loader lists: one for every sprite record, with the texts the
// sprite list shows, ordered by sort key and numbered in that order.

#include "sff/sprite_record.h"
#include "sff/sprite_table.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pelvaro::sff {

// `n` (0 or more) zero-filled to `width` digits at `out`; returns the end.
// Wider numbers keep all their digits. `out` needs room for 20 digits or `width`.
char* WriteDigits(char* out, std::int64_t n, int width);

// "<stem>_GGGGG_IIIII.pcx".
std::string PcxNameOf(const std::string& stem, std::int32_t group, std::int32_t item);

// Empties `table` and makes room for the rows of `records` records whose PCX
// names are `nameBytes` long.
void PrepareRecordRows(SpriteTable& table, std::size_t records, std::size_t nameBytes);

// Adds the row of `record`, chain position `index`, to a table holding the
// rows of `records` records. Its SortNo is a row number's room, filled when
// the rows are numbered.
void AddRecordRow(SpriteTable& table, const SpriteRecord& record, std::size_t index, std::size_t records);

// Names records [from, to) of a walk ("<stem>_GGGGG_IIIII.pcx") and adds their rows.
void NameAndAddRows(std::vector<SpriteRecord>& records, std::size_t from, std::size_t to, const std::string& stem,
                    SpriteTable& table);

// Brings rows up to date with what links and the shared palette changed after
// they were added: the PCX name of every linked record, and the palette type
// and sort key of the palette source.
void RefreshChangedRows(SpriteTable& table, const std::vector<SpriteRecord>& records, std::size_t paletteSource);

// Orders the rows by sort key (texts byte by byte, equal keys in chain order),
// numbers them in that order and leaves the table sorted by SortNo. The rows
// are the records' own, added in chain order.
void OrderAndNumberRows(SpriteTable& table, const std::vector<SpriteRecord>& records);

}  // namespace pelvaro::sff
