#include "sff/byte_image.h"
#include "tests/support/load_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace pelvaro::testing {

// From a megabyte on, memory comes as large blocks: an archive's bytes whole
// and aligned to a huge page, a growing vector keeping its elements. Under
// ASan every block must also go back as large as it was taken.
TEST(LargeBlocks, HoldAnArchiveOfMegabytesAndAGrowingVector) {
  const Bytes file = SffBuilder().Add({.palFlag = 0, .payload = Payload(3 << 20, 7)}).Build();
  auto a = LoadArchive(file);
  ASSERT_TRUE(a->loaded());
  const auto bytes = a->archive->SffBytes();
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes.data()) % sff::kLargeBlockBytes, 0u);
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), file.begin(), file.end()));

  sff::LargeVector<std::uint32_t> grown;
  for (std::uint32_t i = 0; i < (5u << 20) / 4; ++i) grown.push_back(i);
  for (std::uint32_t i = 0; i < grown.size(); i += 4099) ASSERT_EQ(grown[i], i);
}

}  // namespace pelvaro::testing
