#include "tests/support/png_read_back.h"

#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstring>

namespace pelvaro::testing {
namespace {

struct StoredPng {
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colourType = 0, interlace = 0;
  std::vector<png_color> palette;
  std::vector<std::uint8_t> alphas;  // the tRNS entries
  std::vector<std::uint8_t> indices;
  std::size_t bytesRead = 0;  // up to the end of IEND
};

struct Source {
  const std::string* file;
  std::size_t at;
};

void ReadFromString(png_structp png, png_bytep out, png_size_t count) {
  auto* source = static_cast<Source*>(png_get_io_ptr(png));
  if (count > source->file->size() - source->at) png_error(png, "read past the end of the file");
  std::memcpy(out, source->file->data() + source->at, count);
  source->at += count;
}

// False when libpng refuses the file. libpng reports errors by longjmp back
// here, so every object with a destructor is made before setjmp.
bool ReadStoredPng(const std::string& file, StoredPng& out) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  Source source{&file, 0};
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &source, ReadFromString);
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

}  // namespace

void ExpectPngOf(const std::string& file, const image::IndexedImage& sprite) {
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
  EXPECT_EQ(stored.indices, sprite.pixels);
}

}  // namespace pelvaro::testing
