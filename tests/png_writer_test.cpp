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
