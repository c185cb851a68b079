#pragma once

// A loaded archive: what the sprite list shows and the exporters write from.
// It is made whole by LoadSff and never changes afterwards; whoever loaded it
// owns it, and a new load makes a new one.

#include "base/palette.h"
#include "platform/file_identity.h"
#include "sff/byte_image.h"
#include "sff/sff_layout.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace pelvaro::sff {

// Which file an archive was read from, so that no export replaces it.
using platform::FileIdentity;

// One sprite of the archive, in chain order. A record the chain walk never
// reached keeps every number 0 and has no PCX name.
struct SpriteRecord {
  std::int32_t DataStart = 0;  // first payload byte in SffBytes
  std::int32_t DataEnd = 0;    // last payload byte, inclusive (before DataStart: no payload)
  std::int32_t NextPos = 0;    // the subfile's own next offset
  // Chain position whose group and item make this sprite's PCX name (a linked
  // sprite is written under the name of the image it reuses); kNoName for none.
  std::int32_t NameSource = kNoName;
  std::int16_t AxisX = 0;
  std::int16_t AxisY = 0;
  std::uint16_t GroupNo = 0;
  std::uint16_t ItemNo = 0;
  std::uint16_t LinkNo = 0;  // chain position of the image reused; 0 = own image
  std::uint8_t PalFlag = 0;  // 1 = uses the shared palette

  static constexpr std::int32_t kNoName = -1;
};
// Records past the end of a chain are never written: they are what the
// default constructor makes, which a trivial one would leave undefined.
static_assert(!std::is_trivially_default_constructible_v<SpriteRecord>);

// The records in chain order, and the rows as positions into them.
using Records = LargeVector<SpriteRecord>;
using RowOrder = LargeVector<std::uint32_t>;

class Archive {
 public:
  Archive(std::string name, std::string stem, ByteImage bytes, Records records, Palette sharedPal,
          RowOrder order, std::optional<FileIdentity> sourceFile = std::nullopt)
      : name_(std::move(name)),
        stem_(std::move(stem)),
        bytes_(std::move(bytes)),
        records_(std::move(records)),
        sharedPal_(sharedPal),
        order_(std::move(order)),
        sourceFile_(sourceFile) {}

  // The archive's file name, as the window shows it.
  const std::string& Name() const { return name_; }
  // The name less its last four characters: the start of every PCX name.
  const std::string& SffBase() const { return stem_; }
  std::span<const std::uint8_t> SffBytes() const { return bytes_; }
  // One record per image the header counts, in chain order.
  const Records& SpriteInfo() const { return records_; }
  const Palette& SharedPal() const { return sharedPal_; }

  // Rows in display order: row k (from 0) shows record DisplayOrder()[k].
  const RowOrder& DisplayOrder() const { return order_; }
  std::size_t RowCount() const { return order_.size(); }
  const SpriteRecord& RecordOfRow(std::size_t row) const { return records_[order_[row]]; }

  // The file the archive was loaded from, which no export may replace;
  // nothing for an archive loaded from memory.
  const std::optional<FileIdentity>& SourceFile() const { return sourceFile_; }

 private:
  std::string name_;
  std::string stem_;
  ByteImage bytes_;
  Records records_;
  Palette sharedPal_;
  RowOrder order_;
  std::optional<FileIdentity> sourceFile_;
};

}  // namespace pelvaro::sff
