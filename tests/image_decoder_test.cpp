// The PCX decoder: every layout the sprites' images come in, and every damage it refuses.

#include "image/pcx_decoder.h"
#include "tests/support/sff_builder.h"

#include <gtest/gtest.h>

#include <random>
#include <span>
#include <vector>

namespace pelvaro::testing {
namespace {

using image::DecodeFault;
using image::CheckPcx;
using image::DecodePcx;

// The check that makes no picture gives the decode's verdict: the same fault, in the same words. So does
// the check of the file without its last 768 bytes, told that a palette follows.
void ExpectCheckAgrees(const Bytes& file) {
  const auto decoded = DecodePcx(file);
  std::vector<Result<Done, image::DecodeError>> checks{CheckPcx(file)};
  if (file.size() >= 768) checks.push_back(CheckPcx(std::span(file).first(file.size() - 768), true));
  for (const auto& checked : checks) {
    ASSERT_EQ(checked.has_value(), decoded.has_value());
    if (!decoded) {
      EXPECT_EQ(image::DecodeErrorLines(checked.error()), image::DecodeErrorLines(decoded.error()));
    }
  }
}

const Palette kPalette = TestPalette(3);

// A header for width x height with `bytesPerLine`, the run-length data `body`,
// and the palette straight after it, as a sprite using the shared palette has it.
Bytes Pcx(int width, int height, int bytesPerLine, const Bytes& body) {
  Bytes file = MakePcx(1, 1, {0}, nullptr);
  file.resize(128);
  PutU16(file, 8, static_cast<std::uint16_t>(width - 1));
  PutU16(file, 10, static_cast<std::uint16_t>(height - 1));
  PutU16(file, 66, static_cast<std::uint16_t>(bytesPerLine));
  file.insert(file.end(), body.begin(), body.end());
  file.insert(file.end(), kPalette.begin(), kPalette.end());
  return file;
}

Bytes WithByte(Bytes file, std::size_t at, std::uint8_t value) {
  file.at(at) = value;
  return file;
}

Bytes WithU16(Bytes file, std::size_t at, std::uint16_t value) {
  PutU16(file, at, value);
  return file;
}

TEST(PcxDecoder, PicturesComeBackWhateverTheLayout) {
  struct Layout {
    const char* what;
    PcxShape shape;
    int padding = -1;  // bytes past the width in every line; -1: the builder's default
  };
  const Layout layouts[] = {
      {"as written on its own, marker before the palette", {}},
      {"shared palette appended without a marker", {.paletteMarker = false}},
      {"no padding at all", {}, 0},
      {"five bytes of padding, not zero", {.padding = 0xEE}, 5},
      {"runs across scanlines and their padding", {.padding = 9, .runsAcrossLines = true}, 3},
      {"a run of count 0 before every line", {.emptyRuns = true}},
  };
  const std::pair<int, int> sizes[] = {{1, 1}, {3, 2}, {7, 5}, {64, 3}, {65, 4}, {200, 3}};
  for (const Layout& layout : layouts) {
    for (const auto& [width, height] : sizes) {
      // A pattern, and one colour whose runs go on for as long as the encoder lets them.
      const Bytes flat(static_cast<std::size_t>(width * height), 9);
      for (const Bytes& picture : {PatternPixels(width, height, width), flat}) {
        SCOPED_TRACE(std::string(layout.what) + ", " + std::to_string(width) + " x " + std::to_string(height));
        PcxShape shape = layout.shape;
        if (layout.padding >= 0) shape.bytesPerLine = width + layout.padding;
        const auto decoded = DecodePcx(MakePcx(width, height, picture, &kPalette, shape));
        EXPECT_TRUE(CheckPcx(MakePcx(width, height, picture, &kPalette, shape)));
        ASSERT_TRUE(decoded) << image::DecodeErrorLines(decoded.error())[1];
        EXPECT_EQ(decoded->width, width);
        EXPECT_EQ(decoded->height, height);
        EXPECT_EQ(Bytes(decoded->pixels.begin(), decoded->pixels.end()), picture);
        EXPECT_EQ(decoded->palette, kPalette);
      }
    }
  }
}

// Left 10 to right 12, top 100 to bottom 101: 3 x 2; writers disagree on the version; what follows
// the last pixel (a run past the end, a marker, anything) is not looked at.
TEST(PcxDecoder, OnlyTheBoundsAndTheDataUpToTheLastPixelCount) {
  Bytes file = Pcx(3, 2, 4, {1, 2, 3, 0, 4, 5, 0xCA, 6, 0x0C, 0xC7});
  PutU16(file, 4, 10);
  PutU16(file, 8, 12);
  PutU16(file, 6, 100);
  PutU16(file, 10, 101);
  file[1] = 0xFF;
  const auto decoded = DecodePcx(file);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->width, 3);
  EXPECT_EQ(decoded->height, 2);
  EXPECT_EQ(Bytes(decoded->pixels.begin(), decoded->pixels.end()), (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST(PcxDecoder, EachDamageIsRefusedWithItsReason) {
  struct Case {
    const char* what;
    Bytes file;
    DecodeFault fault;
    std::string reason;
  };
  const Bytes valid = MakePcx(4, 3, PatternPixels(4, 3, 1), &kPalette);
  const auto depth = [&](std::uint8_t bits, std::uint8_t planes) { return WithByte(WithByte(valid, 3, bits), 65, planes); };
  const auto size = [&](std::uint16_t xmax, std::uint16_t ymax) { return WithU16(WithU16(valid, 8, xmax), 10, ymax); };
  const Case cases[] = {
      {"empty", {}, DecodeFault::kTooShort, "画像データが短すぎます（0 バイト）。"},
      {"one byte short of header and palette", Bytes(895, 0), DecodeFault::kTooShort, "（895 バイト）"},
      {"a small sprite without its palette", MakePcx(4, 3, PatternPixels(4, 3, 1), nullptr), DecodeFault::kTooShort,
       "ヘッダとパレットだけで 896 バイト必要です。"},
      {"not PCX", WithByte(valid, 0, 0x89), DecodeFault::kNotPcx, "0x0A ではなく 0x89 です"},
      {"2 colours", depth(1, 1), DecodeFault::kUnsupportedDepth, "1 ピクセル 1 ビット、1 プレーンの画像（2 色）"},
      {"16 colours packed", depth(4, 1), DecodeFault::kUnsupportedDepth, "4 ビット、1 プレーンの画像（16 色）"},
      {"16 colours in planes", depth(1, 4), DecodeFault::kUnsupportedDepth, "1 ビット、4 プレーンの画像（16 色）"},
      {"24-bit", depth(8, 3), DecodeFault::kUnsupportedDepth, "8 ビット、3 プレーンの画像（フルカラー）"},
      {"8 bits in 4 planes", depth(8, 4), DecodeFault::kUnsupportedDepth, "8 ビット、4 プレーンの画像には"},
      {"no encoding", WithByte(valid, 2, 0), DecodeFault::kNotRunLength, "符号化方式 0 の画像"},
      {"right of left", WithU16(valid, 4, 4), DecodeFault::kBadBounds, "左端 4、右端 3、上端 0、下端 2"},
      {"bottom above top", WithU16(valid, 6, 3), DecodeFault::kBadBounds, "上端 3、下端 2"},
      {"too wide", size(16384, 0), DecodeFault::kTooLarge, "（16385 × 1 ピクセル）"},
      {"too many pixels", size(16383, 4096), DecodeFault::kTooLarge, "（16384 × 4097 ピクセル）"},
      {"lines shorter than the width", WithU16(valid, 66, 3), DecodeFault::kShortLines, "1 行のバイト数 3 が画像の幅 4"},
      // Refused before anything is allocated: no data of 10 bytes fills that much.
      {"as large as allowed over tiny data", Pcx(16384, 4096, 16384, Bytes(10, 1)), DecodeFault::kDataTooSmall,
       "画像データ（10 バイト）が 16384 × 4096 ピクセルの画像には少なすぎます。"},
      // 126 pixels: two runs of 63 at the least, so 3 bytes cannot do it and 4 might.
      {"one byte less than the longest runs need", Pcx(126, 1, 126, {0xFF, 1, 0xFF}), DecodeFault::kDataTooSmall,
       "（3 バイト）"},
      {"enough bytes, too short runs", Pcx(126, 1, 126, {0xFF, 1, 1, 1}), DecodeFault::kDataEnds, "1 行のうち 1 行目"},
      {"cut in the second line", Pcx(4, 3, 4, {1, 2, 3, 4, 5, 6}), DecodeFault::kDataEnds,
       "画像データが途中で終わっています（3 行のうち 2 行目）。"},
      {"a count without its byte", Pcx(4, 3, 4, {1, 2, 3, 4, 5, 6, 7, 8, 0xC4}), DecodeFault::kDataEnds,
       "（3 行のうち 3 行目）"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto decoded = DecodePcx(c.file);
    ExpectCheckAgrees(c.file);
    ASSERT_FALSE(decoded);
    EXPECT_EQ(decoded.error().fault, c.fault);
    const auto lines = image::DecodeErrorLines(decoded.error());
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "PCX画像を読み込めません。");
    std::string reason;
    for (std::size_t i = 1; i < lines.size(); ++i) reason += lines[i];
    EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
  }
}

// Cut before its last pixel, an image is refused; decoded, it is whole. Only the last line's padding
// (here one run of two bytes) may be missing.
TEST(PcxDecoder, EveryCutOfTheDataIsRefusedOrWhole) {
  const Bytes picture = PatternPixels(13, 7, 5);
  const Bytes whole = MakePcx(13, 7, picture, nullptr, {.padding = 0xEE});
  for (std::size_t cut = 128; cut <= whole.size(); ++cut) {
    SCOPED_TRACE(cut);
    Bytes file(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
    file.insert(file.end(), kPalette.begin(), kPalette.end());
    const auto decoded = DecodePcx(file);
    ExpectCheckAgrees(file);
    if (decoded) {
      EXPECT_EQ(Bytes(decoded->pixels.begin(), decoded->pixels.end()), picture);
    } else {
      EXPECT_TRUE(decoded.error().fault == DecodeFault::kDataEnds || decoded.error().fault == DecodeFault::kDataTooSmall);
    }
    EXPECT_EQ(decoded.has_value(), cut + 2 >= whole.size());
  }
}

// The check takes the data many bytes at a time. Runs of every length, values that look like counts
// (0xC0 and up) and counts of 0 fall anywhere against those blocks, and the data is cut after every
// byte: where it ends, and so the line a refusal names, is the decode's.
TEST(PcxDecoder, TheCheckFindsWhereAnyDataEnds) {
  std::minstd_rand random(2026);
  const auto next = [&](unsigned below) { return static_cast<std::uint8_t>(random() % below); };
  for (int trial = 0; trial < 24; ++trial) {
    Bytes body;
    int made = 0;
    while (body.size() < 300) {
      if (next(3) == 0) {
        body.push_back(next(2) == 0 ? 0xC0 : static_cast<std::uint8_t>(0xC0 | next(64)));
        made += body.back() & 0x3F;
        body.push_back(next(4) == 0 ? static_cast<std::uint8_t>(0xC0 | next(64)) : next(255));
      } else {
        body.push_back(next(0xC0));
        ++made;
      }
    }
    const int bytesPerLine = 8 + trial * 5;
    const int width = bytesPerLine - trial % 3;
    for (std::size_t cut = body.size() / 2; cut <= body.size(); ++cut) {
      SCOPED_TRACE("trial " + std::to_string(trial) + ", cut at " + std::to_string(cut));
      ExpectCheckAgrees(Pcx(width, made / bytesPerLine + 1, bytesPerLine,
                            Bytes(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(cut))));
    }
  }
}

}  // namespace
}  // namespace pelvaro::testing
