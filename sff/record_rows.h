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

// Empties `table` and makes room for the rows of `records` records whose PCX
// names begin with a stem of `stemBytes` bytes.
void PrepareRecordRows(SpriteTable& table, std::size_t records, std::size_t stemBytes);

// Names records [from, to) of a walk ("<stem>_GGGGG_IIIII.pcx") and adds their
// rows. A row's SortNo is a row number's room, filled when the rows are numbered.
void NameAndAddRows(std::vector<SpriteRecord>& records, std::size_t from, std::size_t to, const std::string& stem,
                    SpriteTable& table);
// Adds the rows of records [from, end): those the walk never reached, empty and unnamed.
void AddUnreachedRows(const std::vector<SpriteRecord>& records, std::size_t from, SpriteTable& table);

// Brings rows up to date with what links and the shared palette changed after
// they were added: the PCX name of every linked record, and the palette type
// and sort key of the palette source.
void RefreshChangedRows(SpriteTable& table, const std::vector<SpriteRecord>& records, std::size_t paletteSource);

// Orders the rows by sort key (texts byte by byte, equal keys in chain order),
// numbers them in that order and leaves the table sorted by SortNo. The rows
// are the records' own, added in chain order.
void OrderAndNumberRows(SpriteTable& table, const std::vector<SpriteRecord>& records);

}  // namespace pelvaro::sff
