// The PNG files' bytes themselves: the same archive gives the same bytes on
// every run, in one process or another, on Linux and on Windows (this test is
// built for both). The expected files are put together here chunk by chunk,
// as the PNG format lays them out, around the compressed rows stated as
// literals.

#include "export/png_export.h"
#include "tests/support/load_archive.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pelvaro::testing {
namespace {

std::uint32_t Crc32(const Bytes& bytes, std::size_t from) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = from; i < bytes.size(); ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBigEndian(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutChunk(Bytes& out, const char (&type)[5], const Bytes& data) {
  PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBigEndian(out, Crc32(out, typeAt));
}

// An 8-bit indexed PNG of `palette`'s 256 colours, index 0 transparent, and
// one IDAT chunk holding `idat`.
Bytes ExpectedPng(std::uint32_t width, std::uint32_t height, const Palette& palette, const Bytes& idat) {
  Bytes png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  Bytes header;
  PutBigEndian(header, width);
  PutBigEndian(header, height);
  header.insert(header.end(), {8, 3, 0, 0, 0});
  PutChunk(png, "IHDR", header);
  PutChunk(png, "PLTE", Bytes(palette.begin(), palette.end()));
  PutChunk(png, "tRNS", Bytes{0});
  PutChunk(png, "IDAT", idat);
  PutChunk(png, "IEND", {});
  return png;
}

// 1/0 with its own palette, 3 x 2 pixels; 1/1 shares it, 2 x 1 pixels.
Bytes TwoSmallSprites() {
  const Palette palette = TestPalette(7);
  return SffBuilder()
      .Add({.group = 1, .item = 0, .palFlag = 0, .payload = MakePcx(3, 2, {0, 1, 2, 2, 1, 0}, &palette)})
      .Add({.group = 1, .item = 1, .palFlag = 1, .payload = MakePcx(2, 1, {5, 250}, nullptr)})
      .Build();
}

TEST(PngBytes, TheSameArchiveGivesTheSameBytesOnEveryRun) {
  auto a = LoadArchive(TwoSmallSprites());
  ASSERT_TRUE(a->loaded());
  // Each row behind filter type 0, deflated at level 1: rows 00 00 01 02 / 00 02 01 00 and 00 05 FA.
  const Bytes first =
      ExpectedPng(3, 2, TestPalette(7),
                  {0x78, 0x01, 0x63, 0x60, 0x60, 0x64, 0x62, 0x60, 0x62, 0x64, 0x00, 0x00, 0x00, 0x20, 0x00, 0x07});
  const Bytes second =
      ExpectedPng(2, 1, TestPalette(7), {0x78, 0x01, 0x63, 0x60, 0xFD, 0x05, 0x00, 0x01, 0x07, 0x01, 0x00});
  // Three runs in one process: the compressor one image keeps for the next
  // must not carry anything from one file into another.
  for (int run = 0; run < 3; ++run) {
    SCOPED_TRACE(run);
    TempDir out;
    ASSERT_TRUE(exporter::ExportAllPng(out.path(), *a->archive, {}));
    EXPECT_EQ(out.Entries(), (std::vector<std::string>{"USER_00001_00000.png", "USER_00001_00001.png"}));
    EXPECT_EQ(ReadBytes(out / "USER_00001_00000.png"), first);
    EXPECT_EQ(ReadBytes(out / "USER_00001_00001.png"), second);
  }
}

}  // namespace
}  // namespace pelvaro::testing
