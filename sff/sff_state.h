#pragma once

// What a load leaves behind for the exporters: the file image, the sprite
// records, the shared palette and the name stem. Lives until the next load.

#include "sff/byte_image.h"
#include "sff/sff_layout.h"
#include "sff/sprite_record.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pelvaro::sff {

struct SffState {
  ByteImage SffBytes;                  // the whole archive; position = file offset
  std::string SffBase;                 // archive file name less its last four characters
  std::int32_t ImageCount = 0;
  std::vector<SpriteRecord> SpriteInfo;  // chain order
  std::array<std::uint8_t, kPaletteSize> SharedPal{};

  void Reset() { *this = SffState{}; }
};

}  // namespace pelvaro::sff
