// The PNG export and writer. Every file is read back through libpng, an independent reader that checks the
// signature, the chunk order and every chunk's CRC on the way (the Windows cross build has no libpng).

#include "export/png_export.h"
#include "image/png_writer.h"
#include "tests/support/load_archive.h"

#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace pelvaro::testing {
namespace {

using exporter::ExportAllPng;
using image::DecodeFault;

struct StoredPng {
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colourType = 0, interlace = 0;
  std::vector<png_color> palette;
  std::vector<std::uint8_t> alphas;  // the tRNS entries
  std::vector<std::uint8_t> indices;
  std::size_t bytesRead = 0;  // up to the end of IEND
};

struct Source {
  const Bytes* file;
  std::size_t at;
};

void ReadFromBytes(png_structp png, png_bytep out, png_size_t count) {
  auto* source = static_cast<Source*>(png_get_io_ptr(png));
  if (count > source->file->size() - source->at) png_error(png, "read past the end of the file");
  std::memcpy(out, source->file->data() + source->at, count);
  source->at += count;
}

// False when libpng refuses the file. libpng reports errors by longjmp back here: every object with a
// destructor is made before setjmp.
bool ReadStoredPng(const Bytes& file, StoredPng& out) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  Source source{&file, 0};
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &source, ReadFromBytes);
  png_read_info(png, info);
  png_get_IHDR(png, info, &out.width, &out.height, &out.bitDepth, &out.colourType, &out.interlace, nullptr, nullptr);
  png_colorp palette = nullptr;
  int colours = 0;
  if (png_get_PLTE(png, info, &palette, &colours) & PNG_INFO_PLTE) out.palette.assign(palette, palette + colours);
  png_bytep alphas = nullptr;
  int entries = 0;
  if (png_get_tRNS(png, info, &alphas, &entries, nullptr) & PNG_INFO_tRNS) out.alphas.assign(alphas, alphas + entries);
  // Indices are read only as one byte a pixel; any other layout fails the checks.
  if (out.bitDepth == 8 && png_get_rowbytes(png, info) == out.width) {
    out.indices.resize(std::size_t{out.width} * out.height);
    rows.resize(out.height);
    for (png_uint_32 y = 0; y < out.height; ++y) rows[y] = out.indices.data() + std::size_t{y} * out.width;
    png_read_image(png, rows.data());
  }
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  out.bytesRead = source.at;
  return true;
}

// Checks that the file at `path` is `sprite` as the PNG writer promises: 8-bit indexed, not interlaced,
// all 256 colours, index 0 alone transparent, the same indices, and nothing after IEND.
void ExpectPngOf(const std::string& path, const image::IndexedImage& sprite) {
  const Bytes file = ReadBytes(path);
  StoredPng stored;
  ASSERT_TRUE(ReadStoredPng(file, stored));
  EXPECT_EQ(stored.bytesRead, file.size()) << "bytes after IEND";
  EXPECT_EQ(stored.width, static_cast<png_uint_32>(sprite.width));
  EXPECT_EQ(stored.height, static_cast<png_uint_32>(sprite.height));
  EXPECT_EQ(stored.bitDepth, 8);
  EXPECT_EQ(stored.colourType, PNG_COLOR_TYPE_PALETTE);
  EXPECT_EQ(stored.interlace, PNG_INTERLACE_NONE);
  ASSERT_EQ(stored.palette.size(), 256u);
  for (std::size_t i = 0; i < 256; ++i) {
    EXPECT_EQ(stored.palette[i].red, sprite.palette[3 * i]);
    EXPECT_EQ(stored.palette[i].green, sprite.palette[3 * i + 1]);
    EXPECT_EQ(stored.palette[i].blue, sprite.palette[3 * i + 2]);
  }
  // Entries past the end of tRNS are opaque.
  ASSERT_FALSE(stored.alphas.empty());
  EXPECT_EQ(stored.alphas[0], 0);
  for (std::size_t i = 1; i < stored.alphas.size(); ++i) EXPECT_EQ(stored.alphas[i], 255) << "index " << i;
  EXPECT_EQ(stored.indices, std::vector<std::uint8_t>(sprite.pixels.begin(), sprite.pixels.end()));
}

// Chain positions: 0: 1/0 own palette A, the palette source (followed by a shared sprite); 1: 1/1 shared;
// 2: 9000/0 own palette B; 3: 1/2 shared, four planes; 4: 2/0 shared, linked to 2; 5: 2/1 own, linked to 1;
// 6: never reached. Display rows: 9000/0, 1/0, 1/1, 1/2, 2/0, the unreached 0/0, 2/1.
class PngExport : public ::testing::Test {
 protected:
  void SetUp() override {
    SffBuilder b;
    b.ImageCount(7);
    b.Add({.group = 1, .item = 0, .palFlag = 0, .payload = MakePcx(4, 3, PatternPixels(4, 3, 1), &paletteA_)});
    b.Add({.group = 1, .item = 1, .palFlag = 1, .payload = MakePcx(5, 2, PatternPixels(5, 2, 2), nullptr)});
    b.Add({.group = 9000, .item = 0, .palFlag = 0, .payload = MakePcx(7, 2, PatternPixels(7, 2, 3), &paletteB_)});
    Bytes fourPlanes = MakePcx(4, 4, PatternPixels(4, 4, 8), nullptr);
    fourPlanes.at(65) = 4;  // 16 colours in four planes: the decoder refuses the header
    fourPlanes.at(3) = 1;
    b.Add({.group = 1, .item = 2, .palFlag = 1, .payload = fourPlanes});
    b.Add({.group = 2, .item = 0, .link = 2, .palFlag = 1});
    b.Add({.group = 2, .item = 1, .link = 1, .palFlag = 0});
    Bytes bytes = b.Build();
    bytes.resize(bytes.size() + 32, 0);  // room for the header of the position never reached
    archive_ = LoadArchive(bytes);
    ASSERT_TRUE(archive_->loaded());
  }

  const sff::Archive& archive() const { return *archive_->archive; }

  // Throws when the sprite does not decode.
  image::IndexedImage Decoded(int pos) const { return *exporter::DecodeSprite(archive(), archive_->Record(pos)); }

  const Palette paletteA_ = TestPalette(10);
  const Palette paletteB_ = TestPalette(90);
  std::unique_ptr<LoadedArchive> archive_;
  TempDir out_;
};

TEST_F(PngExport, WritesTheRowsOfThePcxExportEachDecodedFromItsOwnBytes) {
  std::vector<std::pair<std::size_t, std::size_t>> progress;
  std::vector<exporter::UndecodableRow> undecodable;
  const auto result = ExportAllPng(
      out_.path(), archive(), [&](std::size_t done, std::size_t total) { return progress.emplace_back(done, total), true; },
      [&](const exporter::UndecodableRow& row) { undecodable.push_back(row); });
  ASSERT_TRUE(result) << result.error().reason;
  EXPECT_EQ(result->written, 4u);
  EXPECT_EQ(result->skipped, 1u);
  EXPECT_EQ(result->undecodable, 2u);
  EXPECT_EQ(progress.size(), 7u);
  EXPECT_EQ(progress.back(), std::make_pair(std::size_t{7}, std::size_t{7}));
  // No temporary file is left, and no file for a row that did not decode.
  EXPECT_EQ(out_.Entries(),
            (std::vector<std::string>{"USER_00001_00000.png", "USER_00001_00001.png", "USER_09000_00000.png"}));

  // The palette source shows its own palette, which became the shared one.
  ExpectPngOf(out_ / "USER_00001_00000.png", Decoded(0));
  EXPECT_EQ(Decoded(0).palette, paletteA_);
  ExpectPngOf(out_ / "USER_00001_00001.png", Decoded(1));
  // 2/0 came later than 9000/0 and wrote under its name: 9000/0's picture with
  // the shared palette appended after its own, which is the one that counts.
  ExpectPngOf(out_ / "USER_09000_00000.png", Decoded(4));
  EXPECT_EQ(Decoded(4).pixels, Decoded(2).pixels);
  EXPECT_EQ(Decoded(4).palette, paletteA_);
  EXPECT_EQ(Decoded(2).palette, paletteB_);

  // 1/2 is refused for its planes; 2/1 takes 1/1's bytes without a palette,
  // too short a file, so 1/1's file stays as 1/1 wrote it.
  ASSERT_EQ(undecodable.size(), 2u);
  EXPECT_EQ(undecodable[0].row, 3u);
  EXPECT_EQ(undecodable[0].file, "USER_00001_00002.png");
  EXPECT_EQ(undecodable[0].error.fault, DecodeFault::kUnsupportedDepth);
  EXPECT_EQ(undecodable[1].row, 6u);
  EXPECT_EQ(undecodable[1].file, "USER_00001_00001.png");
  EXPECT_EQ(undecodable[1].error.fault, DecodeFault::kTooShort);

  EXPECT_EQ(sff::PngName(archive(), archive().RecordOfRow(4)), "USER_09000_00000.png");
  EXPECT_EQ(sff::PngName(archive(), archive().RecordOfRow(5)), "");
}

// The open archive linked in under a file's name stops the export there; the files before stay.
TEST_F(PngExport, TheOpenArchiveUnderAFilesNameStopsTheExport) {
  const Bytes original = ReadBytes(archive_->dir / "USER.sff");
  std::filesystem::create_symlink(archive_->dir / "USER.sff", out_ / "USER_00001_00000.png");
  const auto refused = ExportAllPng(out_.path(), archive());
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().fault, exporter::WriteError::Fault::kOpenArchive);
  EXPECT_EQ(refused.error().file, out_ / "USER_00001_00000.png");
  EXPECT_EQ(ReadBytes(archive_->dir / "USER.sff"), original);
  EXPECT_EQ(out_.Entries(), (std::vector<std::string>{"USER_00001_00000.png", "USER_09000_00000.png"}));
}

// The files are made on a second thread ahead of the writing, many rows ahead at most. A long
// selection (with a nameless row, a link to the subfile never reached, and a row of an earlier
// archive past the end) cancelled midway has exactly the files of the rows before the stop, and written
// again in full, every file is what its sprite alone makes.
TEST(PngExportAhead, ALongSelectionStopsWhereAskedAndElseWritesEveryRow) {
  const Palette palette = TestPalette(4);
  SffBuilder b;
  b.ImageCount(301);
  for (std::uint16_t item = 0; item < 300; ++item) {
    if (item == 150) {
      b.Add({.group = 7, .item = item, .link = 300, .palFlag = 1});
      continue;
    }
    b.Add({.group = 7,
           .item = item,
           .palFlag = static_cast<std::uint8_t>(item > 0),
           .payload = MakePcx(9 + item % 40, 5, PatternPixels(9 + item % 40, 5, item), item > 0 ? nullptr : &palette)});
  }
  Bytes bytes = b.Build();
  bytes.resize(bytes.size() + 32, 0);  // the header of the subfile never reached, which 7/150 links to
  const auto loaded = LoadArchive(bytes);
  ASSERT_TRUE(loaded->loaded());
  const sff::Archive& archive = *loaded->archive;
  ASSERT_EQ(sff::PngName(archive, archive.RecordOfRow(150)), "");
  std::vector<std::size_t> rows;
  for (std::size_t row = 0; row < 300; row += 2) rows.push_back(row);
  rows.push_back(5000);
  const auto pngOf = [&](std::size_t row) {
    return image::EncodeIndexedPng(*exporter::DecodeSprite(archive, archive.RecordOfRow(row)), image::kPngLevel);
  };

  TempDir stopped;
  const auto cancelled = exporter::ExportPng(stopped.path(), archive, exporter::RowSelection::Only(rows),
                                             [](std::size_t done, std::size_t) { return done < 100; });
  ASSERT_TRUE(cancelled);
  EXPECT_TRUE(cancelled->cancelled);
  EXPECT_EQ(cancelled->written, 99u);
  ASSERT_EQ(stopped.Entries().size(), 99u);
  EXPECT_EQ(stopped.Entries().back(), sff::PngName(archive, archive.RecordOfRow(rows[99])));

  TempDir whole;
  const auto written = exporter::ExportPng(whole.path(), archive, exporter::RowSelection::Only(rows));
  ASSERT_TRUE(written);
  EXPECT_EQ(written->written, 149u);
  EXPECT_EQ(written->undecodable, 0u);
  for (const std::size_t row : {std::size_t{2}, std::size_t{4}, std::size_t{198}, std::size_t{298}}) {
    const std::string png = pngOf(row);
    EXPECT_EQ(ReadBytes(whole / sff::PngName(archive, archive.RecordOfRow(row))), Bytes(png.begin(), png.end()));
  }
}

TEST(PngWriter, RefusesAnImageThatIsNotWhatItSays) {
  image::IndexedImage sprite{.width = 7, .height = 5, .pixels = image::Pixels(35, 1)};
  EXPECT_THROW((void)image::EncodeIndexedPng(sprite, 10), std::invalid_argument);  // no zlib level
  sprite.pixels.pop_back();
  EXPECT_THROW((void)image::EncodeIndexedPng(sprite, image::kPngLevel), std::invalid_argument);
  sprite.width = 0;
  sprite.pixels.clear();
  EXPECT_THROW((void)image::EncodeIndexedPng(sprite, image::kPngLevel), std::invalid_argument);
}

}  // namespace
}  // namespace pelvaro::testing
