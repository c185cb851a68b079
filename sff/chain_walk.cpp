#include "sff/chain_walk.h"

#include "base/byte_reader.h"

#include <algorithm>

namespace pelvaro::sff {
namespace {

LoadError Damage(LoadFault fault, std::int64_t value, std::int64_t limit) {
  LoadError error;
  error.fault = fault;
  error.value = value;
  error.limit = limit;
  return error;
}

LoadError DamageAt(LoadFault fault, std::int64_t position, std::int64_t offset, std::int64_t value = 0,
                   std::int64_t limit = 0) {
  LoadError error = Damage(fault, value, limit);
  error.position = position;
  error.offset = offset;
  return error;
}

// The payload of the subfile at `p`: up to the next subfile, or for the last
// one as many bytes as its length field counts, clipped to the file.
void SetPayloadRange(SpriteRecord& r, std::int64_t p, std::int32_t lengthField, std::int64_t fileLength) {
  r.DataStart = static_cast<std::int32_t>(p + kSubfileHeaderSize);
  if (r.NextPos >= 1) {
    r.DataEnd = r.NextPos - 1;
    return;
  }
  const std::int64_t payload = std::min<std::int64_t>(std::max<std::int32_t>(lengthField, 0), fileLength - r.DataStart);
  r.DataEnd = static_cast<std::int32_t>(r.DataStart + payload - 1);
}

}  // namespace

Result<std::int32_t, LoadError> ReadImageCount(std::span<const std::uint8_t> file) {
  const ByteReader reader(file);
  const auto length = static_cast<std::int64_t>(reader.size());
  constexpr std::int64_t kMinimum = kFileHeaderSize + kSubfileHeaderSize;
  if (length < kMinimum) return Fail(Damage(LoadFault::kTooShort, length, kMinimum));
  const std::int32_t count = *reader.I32le(kImageCountOffset);
  const std::int64_t fits = (length - kFileHeaderSize) / kSubfileHeaderSize;
  if (count < 1 || count > fits) return Fail(Damage(LoadFault::kBadImageCount, count, fits));
  return count;
}

Result<Records, LoadError> WalkChain(std::span<const std::uint8_t> file, std::int32_t imageCount) {
  return ChainWalk(imageCount).Finish(file);
}

ChainWalk::ChainWalk(std::int32_t imageCount)
    : imageCount_(imageCount), records_(static_cast<std::size_t>(imageCount)), at_(kFirstSubfileOffset) {}

void ChainWalk::WalkWithin(std::span<const std::uint8_t> file, std::size_t available) {
  if (ended_ || damage_) return;
  const ByteReader reader(file);
  const auto length = static_cast<std::int64_t>(reader.size());
  const bool whole = available >= file.size();
  // The walk is one chain of reads, each waiting for the offset the one before
  // it read: where it has come to stays in locals, which the records' stores
  // cannot alias, and is kept in the walk when it stops.
  SpriteRecord* const records = records_.data();
  std::int32_t i = next_;
  std::int64_t p = at_;
  while (i < imageCount_) {
    // A header not read yet waits; one that lies outside the file is damage once the whole file is in.
    if (!whole && p + kSubfileHeaderSize > static_cast<std::int64_t>(available)) break;
    const auto header = ReadSubfileHeader(reader, p);
    if (!header) {
      damage_ = DamageAt(LoadFault::kHeaderOutside, i, p);
      break;
    }
    if (header->next > length) {
      damage_ = DamageAt(LoadFault::kNextOutside, i, p, header->next);
      break;
    }
    if (header->link >= imageCount_) {
      damage_ = DamageAt(LoadFault::kBadLink, i, p, header->link, imageCount_);
      break;
    }
    SpriteRecord& r = records[i];
    r.NextPos = header->next;
    r.AxisX = header->axisX;
    r.AxisY = header->axisY;
    r.GroupNo = header->group;
    r.ItemNo = header->item;
    r.LinkNo = header->link;
    r.PalFlag = header->palFlag;
    r.NameSource = i;
    SetPayloadRange(r, p, header->length, length);
    ++i;
    if (header->next < 1) {
      ended_ = true;
      break;
    }
    p = header->next;
  }
  next_ = i;
  at_ = p;
}

Result<Records, LoadError> ChainWalk::Finish(std::span<const std::uint8_t> file) {
  WalkWithin(file, file.size());
  if (damage_) return Fail(std::move(*damage_));
  return std::move(records_);
}

}  // namespace pelvaro::sff
