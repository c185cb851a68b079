#pragma once

// The sprite table's seven columns, worked out from an archive and a row when
// they are shown: nothing stores a row's texts.
//
//   SortNo    the row's number from 1, zero-filled to one digit more than the row count has
//   GroupNo   ItemNo   PalType (the palette flag)   plain decimal
//   SortKey   what orders the rows (see AppendSortKey)
//   P.Pos     the record's chain position, from 0
//   PCX Name  "<stem>_GGGGG_IIIII.pcx"; a linked sprite's is that of the image it reuses

#include "sff/archive.h"
#include "text/decimal.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace pelvaro::sff {

enum class Column { kSortNo, kGroupNo, kItemNo, kPalType, kSortKey, kPPos, kPcxName };
inline constexpr int kColumnCount = 7;
inline constexpr std::array<const char*, kColumnCount> kColumnCaptions{"SortNo",  "GroupNo", "ItemNo",  "PalType",
                                                                       "SortKey", "P.Pos",   "PCX Name"};

// Appends the text of `column` in display row `row` (from 0).
void AppendCell(std::string& out, const Archive& archive, std::size_t row, Column column);
std::string CellText(const Archive& archive, std::size_t row, Column column);

// Appends the PCX file name of `record` (nothing for a record without one).
void AppendPcxName(std::string& out, const Archive& archive, const SpriteRecord& record);
// What follows the stem in the name of the image `source`, "_ggggg_iiiii.pcx",
// written at `out`, which has room for kPcxNameTailBytes; returns the end.
inline constexpr std::size_t kPcxNameTailBytes = 16;
inline char* PutPcxNameTail(char* out, const SpriteRecord& source) {
  // 16-bit: never more than five digits. The bytes each number may write past
  // its digits lie within the tail, and are written over next.
  *out++ = '_';
  out = text::PutFiveDigitsInEight(out, source.GroupNo);
  *out++ = '_';
  out = text::PutFiveDigitsInEight(out, source.ItemNo);
  std::memcpy(out, ".pcx", 4);
  return out + 4;
}
// The whole name, `stem` and the tail, at `out`, which has room for
// kPcxNameTailBytes more than the stem; returns the end.
inline char* PutPcxName(char* out, std::string_view stem, const SpriteRecord& source) {
  std::memcpy(out, stem.data(), stem.size());
  return PutPcxNameTail(out + stem.size(), source);
}
std::string PcxName(const Archive& archive, const SpriteRecord& record);
// The PNG file name of `record`: its PCX name with ".png" in place of ".pcx"
// (nothing for a record without a name).
void AppendPngName(std::string& out, const Archive& archive, const SpriteRecord& record);
std::string PngName(const Archive& archive, const SpriteRecord& record);

// Appends the sort key of `record`: for group 9000 items 0 and 1 a space,
// "00000" and the item, so they come first; otherwise 1 - palette flag, then
// group and item in five digits each. Eleven bytes for flags 0 and 1.
void AppendSortKey(std::string& out, const SpriteRecord& record);

// Chain positions ordered by sort key, keys compared as texts byte by byte,
// equal keys in chain order.
RowOrder DisplayOrderOf(const Records& records);

}  // namespace pelvaro::sff
