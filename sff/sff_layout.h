#pragma once

// SFF archive, version-1 layout, as this program reads it.
//
//   file header, 512 bytes at offset 0
//     16  i32  number of groups (unused)
//     20  i32  number of images: bounds the chain walk
//     24  i32  first subfile offset: ignored, the chain always starts at 512
//     28  i32  subfile header size: ignored, always 32
//     32  u8   palette type: 1 = shared palette mode
//   subfile header, 32 bytes at offset p (first p = 512)
//     p+0   i32  next subfile offset; below 1 marks the last subfile
//     p+4   i32  payload length
//     p+8   i16  axis X          p+10  i16  axis Y
//     p+12  u16  group          p+14  u16  item
//     p+16  u16  link: chain position whose image this sprite reuses, 0 = own image
//     p+18  u8   same-palette flag: 1 = uses the shared palette
//     p+32  ...  payload (a PCX image) up to the next subfile
//
// All numbers are little-endian. Offsets are absolute; the chain may point
// backwards or loop, and only the image count ends such a walk.

#include "base/byte_reader.h"
#include "base/palette.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace pelvaro::sff {

inline constexpr std::int64_t kFileHeaderSize = 512;
inline constexpr std::int64_t kSubfileHeaderSize = 32;
inline constexpr std::int64_t kFirstSubfileOffset = 512;
inline constexpr std::size_t kPaletteSize = kPaletteBytes;

inline constexpr std::int64_t kImageCountOffset = 20;
inline constexpr std::int64_t kPaletteTypeOffset = 32;
inline constexpr std::uint8_t kSharedPaletteMode = 1;

// Offsets inside a subfile header.
inline constexpr std::int64_t kNextOffset = 0;
inline constexpr std::int64_t kLengthOffset = 4;
inline constexpr std::int64_t kAxisXOffset = 8;
inline constexpr std::int64_t kAxisYOffset = 10;
inline constexpr std::int64_t kGroupOffset = 12;
inline constexpr std::int64_t kItemOffset = 14;
inline constexpr std::int64_t kLinkOffset = 16;
inline constexpr std::int64_t kPalFlagOffset = 18;

struct SubfileHeader {
  std::int32_t next = 0;
  std::int32_t length = 0;
  std::int16_t axisX = 0;
  std::int16_t axisY = 0;
  std::uint16_t group = 0;
  std::uint16_t item = 0;
  std::uint16_t link = 0;
  std::uint8_t palFlag = 0;
};

// The subfile header at `p`, or nothing when its 32 bytes are not all in the
// file. Inline: the chain walk reads one per subfile, and each read waits on
// the one before it for its offset.
inline std::optional<SubfileHeader> ReadSubfileHeader(const ByteReader& reader, std::int64_t p) {
  const auto raw = reader.Sub(p, kSubfileHeaderSize);
  if (!raw) return std::nullopt;
  const ByteReader h(*raw);
  SubfileHeader out;
  out.next = *h.I32le(kNextOffset);
  out.length = *h.I32le(kLengthOffset);
  out.axisX = *h.I16le(kAxisXOffset);
  out.axisY = *h.I16le(kAxisYOffset);
  out.group = *h.U16le(kGroupOffset);
  out.item = *h.U16le(kItemOffset);
  out.link = *h.U16le(kLinkOffset);
  out.palFlag = *h.U8(kPalFlagOffset);
  return out;
}

}  // namespace pelvaro::sff
