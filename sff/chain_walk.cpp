#include "sff/chain_walk.h"

#include "sff/refusal.h"
#include "sff/sff_layout.h"

#include <algorithm>

namespace pelvaro::sff {
namespace {

std::string Where(std::int64_t position, std::int64_t offset) {
  return "（" + Decimal(position) + " 番目のサブファイル、オフセット " + Decimal(offset) + "）";
}

}  // namespace

std::variant<std::int32_t, LoadOutcome> ReadImageCount(std::span<const std::uint8_t> file) {
  const ByteReader reader(file);
  const auto length = static_cast<std::int64_t>(reader.size());
  constexpr std::int64_t kMinimum = kFileHeaderSize + kSubfileHeaderSize;
  if (length < kMinimum)
    return Refusal(LoadFault::kTooShort, "ファイルが短すぎます（" + Decimal(length) + " バイト）。SFFファイルには少なくとも " +
                                             Decimal(kMinimum) + " バイト必要です。");
  const std::int32_t count = *reader.I32le(kImageCountOffset);
  const std::int64_t fits = (length - kFileHeaderSize) / kSubfileHeaderSize;
  if (count < 1 || count > fits)
    return Refusal(LoadFault::kBadImageCount, "ヘッダの画像数 " + Decimal(count) + " が不正です（オフセット " +
                                                  Decimal(kImageCountOffset) + "）。このファイルに収まる画像数は 1 ～ " +
                                                  Decimal(fits) + " です。");
  return count;
}

bool ChainWalk::Advance(std::size_t arrived) {
  const auto length = static_cast<std::int64_t>(reader_.size());
  const auto count = static_cast<std::int64_t>(records_.size());
  while (!over_) {
    if (static_cast<std::int64_t>(walked_) >= count) {
      over_ = true;
      break;
    }
    const auto i = static_cast<std::int64_t>(walked_);
    const std::int64_t p = next_;
    // A header inside the file waits for its bytes; one reaching outside is refused at once.
    if (reader_.Contains(p, kSubfileHeaderSize) && static_cast<std::size_t>(p + kSubfileHeaderSize) > arrived) break;
    const auto header = ReadSubfileHeader(reader_, p);
    if (!header) {
      refusal_ = Refusal(LoadFault::kHeaderOutside, "サブファイルヘッダがファイルの外にあります" + Where(i, p) + "。",
                         static_cast<std::int32_t>(i), p);
    } else if (header->next > length) {
      refusal_ = Refusal(LoadFault::kNextOutside,
                         "次のサブファイルのオフセット " + Decimal(header->next) + " がファイルの外を指しています" + Where(i, p) + "。",
                         static_cast<std::int32_t>(i), p);
    } else if (header->link >= count) {
      refusal_ = Refusal(LoadFault::kBadLink,
                         "リンク先 " + Decimal(header->link) + " が画像数 " + Decimal(count) + " の範囲外です" + Where(i, p) + "。",
                         static_cast<std::int32_t>(i), p);
    }
    if (refusal_) {
      over_ = true;
      break;
    }
    SpriteRecord& r = records_[walked_];
    r.NextBytes = header->nextBytes;
    r.LenBytes = header->lengthBytes;
    r.NextPos = header->next;
    r.DataLen = header->length;
    r.AxisX = header->axisX;
    r.AxisY = header->axisY;
    r.GroupNo = header->group;
    r.ItemNo = header->item;
    r.LinkNo = header->link;
    r.PalFlag = header->palFlag;
    r.DataStart = static_cast<std::int32_t>(p + kSubfileHeaderSize);
    if (r.NextPos >= 1) {
      r.DataEnd = r.NextPos - 1;
    } else {
      // The last subfile: its length field counts the payload, clipped to the file.
      const std::int64_t available = length - r.DataStart;
      const std::int64_t payload = std::min<std::int64_t>(std::max<std::int32_t>(r.DataLen, 0), available);
      r.DataEnd = static_cast<std::int32_t>(r.DataStart + payload - 1);
    }
    ++walked_;
    if (r.NextPos < 1) {
      over_ = true;
      break;
    }
    next_ = r.NextPos;
  }
  return over_;
}

}  // namespace pelvaro::sff
