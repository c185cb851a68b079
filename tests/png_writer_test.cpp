// The PNG writer's refusals; what it writes is read back through libpng in
// png_export_test.cpp.

#include "image/png_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace pelvaro::image {
namespace {

TEST(PngWriter, RefusesAnImageThatIsNotWhatItSays) {
  IndexedImage sprite{.width = 7, .height = 5, .pixels = std::vector<std::uint8_t>(35, 1)};
  EXPECT_THROW((void)EncodeIndexedPng(sprite, 10), std::invalid_argument);  // no zlib level
  sprite.pixels.pop_back();
  EXPECT_THROW((void)EncodeIndexedPng(sprite, kPngLevel), std::invalid_argument);
  sprite.width = 0;
  sprite.pixels.clear();
  EXPECT_THROW((void)EncodeIndexedPng(sprite, kPngLevel), std::invalid_argument);
}

}  // namespace
}  // namespace pelvaro::image
