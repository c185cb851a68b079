#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pelvaro::sff {

// One sprite of the archive, in chain order. A record the chain walk never
// reached keeps every field empty (0, empty name).
struct SpriteRecord {
  std::array<std::uint8_t, 4> NextBytes{};  // next offset's bytes, most significant first
  std::array<std::uint8_t, 4> LenBytes{};   // length field's bytes, most significant first
  std::int32_t AxisX = 0;
  std::int32_t AxisY = 0;
  std::int32_t GroupNo = 0;
  std::int32_t ItemNo = 0;
  std::int32_t LinkNo = 0;   // chain position of the image reused; 0 = own image
  std::uint8_t PalFlag = 0;  // 1 = uses the shared palette
  std::string PcxName;       // file name the sprite is exported under
  std::int32_t DataStart = 0;  // first payload byte in SffBytes
  std::int32_t DataEnd = 0;    // last payload byte, inclusive (may lie before DataStart: empty)
  std::int32_t NextPos = 0;
  std::int32_t DataLen = 0;
};

}  // namespace pelvaro::sff
