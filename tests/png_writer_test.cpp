// The PNG writer, read back through libpng (tests/support/png_read_back.h).
// Linux only: the Windows cross build has no libpng (tests/CMakeLists.txt).

#include "image/pcx_decoder.h"
#include "image/png_writer.h"
#include "tests/support/png_read_back.h"
#include "tests/support/sff_builder.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace pelvaro::testing {
namespace {

using image::IndexedImage;

// A sprite decoded as the program decodes it: every index from 0 to 255 in
// turn in a small picture, a sprite's pattern in larger ones.
IndexedImage Sprite(int width, int height) {
  Bytes picture = PatternPixels(width, height, 3);
  if (picture.size() < 1024)
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint8_t>(i * 37);
  const Palette palette = TestPalette(77);
  const auto decoded = image::DecodePcx(MakePcx(width, height, picture, &palette));
  if (!decoded) throw std::runtime_error("the test sprite does not decode");
  return *decoded;
}

TEST(PngWriter, ReadsBackAsTheSpritesIndicesPaletteAndTransparency) {
  const std::pair<int, int> sizes[] = {{1, 1}, {16, 16}, {7, 5}, {200, 3}, {321, 240}};
  for (const auto& [width, height] : sizes) {
    const IndexedImage sprite = Sprite(width, height);
    for (const int level : {image::kPngLevel, 0, 6, 9, -1}) {
      SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + ", level " + std::to_string(level));
      const std::string file = image::EncodeIndexedPng(sprite, level);
      ExpectPngOf(file, sprite);
      EXPECT_EQ(image::EncodeIndexedPng(sprite, level), file) << "the same image gave other bytes";
    }
  }
}

TEST(PngWriter, RefusesAnImageThatIsNotWhatItSays) {
  IndexedImage sprite = Sprite(7, 5);
  EXPECT_THROW((void)image::EncodeIndexedPng(sprite, 10), std::invalid_argument);
  sprite.pixels.pop_back();
  EXPECT_THROW((void)image::EncodeIndexedPng(sprite, image::kPngLevel), std::invalid_argument);
  sprite.width = 0;
  sprite.pixels.clear();
  EXPECT_THROW((void)image::EncodeIndexedPng(sprite, image::kPngLevel), std::invalid_argument);
}

}  // namespace
}  // namespace pelvaro::testing
