#include "sff/sff_layout.h"

namespace pelvaro::sff {

std::optional<SubfileHeader> ReadSubfileHeader(const ByteReader& reader, std::int64_t p) {
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
