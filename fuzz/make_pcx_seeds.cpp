// Writes the seed corpus of the PCX decoder's fuzz target: small images in
// each layout the decoder reads, made with the test-support builder, and one
// header of each refused kind. Every seed is decoded once here, so a builder
// change that breaks a layout shows up at once and not as a weaker corpus.
//
//   pelvaro-make-pcx-seeds FOLDER

#include "image/pcx_decoder.h"
#include "tests/support/sff_builder.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

using namespace pelvaro::testing;

namespace {

struct Seed {
  std::string name;
  Bytes file;
  bool decodes = true;
};

std::vector<Seed> Seeds() {
  const Palette palette = TestPalette(5);
  const auto flat = [](int width, int height) { return Bytes(static_cast<std::size_t>(width * height), 9); };
  Bytes allIndices(256);
  for (std::size_t i = 0; i < allIndices.size(); ++i) allIndices[i] = static_cast<std::uint8_t>(i);

  std::vector<Seed> seeds = {
      {"usual", MakePcx(5, 3, PatternPixels(5, 3, 1), &palette)},
      {"one-pixel", MakePcx(1, 1, {200}, &palette)},
      {"every-index", MakePcx(16, 16, allIndices, &palette)},
      {"shared-palette-no-marker", MakePcx(6, 4, PatternPixels(6, 4, 2), &palette, {.paletteMarker = false})},
      {"wide-padding", MakePcx(5, 3, PatternPixels(5, 3, 3), &palette, {.bytesPerLine = 9, .padding = 0xEE})},
      {"runs-across-lines", MakePcx(7, 6, flat(7, 6), &palette, {.padding = 9, .runsAcrossLines = true})},
      {"empty-runs", MakePcx(4, 4, PatternPixels(4, 4, 4), &palette, {.emptyRuns = true})},
  };
  // Refused headers, so the search starts from each kind of field as well.
  Bytes planes = MakePcx(5, 3, PatternPixels(5, 3, 1), &palette);
  planes[65] = 3;
  seeds.push_back({"three-planes", planes, false});
  Bytes huge = MakePcx(5, 3, PatternPixels(5, 3, 1), &palette);
  PutU16(huge, 8, 16383);
  PutU16(huge, 10, 4095);
  seeds.push_back({"huge-over-tiny-data", huge, false});
  return seeds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pelvaro-make-pcx-seeds FOLDER\n");
    return 2;
  }
  try {
    const std::filesystem::path folder(argv[1]);
    std::filesystem::create_directories(folder);
    for (const Seed& seed : Seeds()) {
      if (pelvaro::image::DecodePcx(seed.file).has_value() != seed.decodes) {
        std::fprintf(stderr, "pelvaro-make-pcx-seeds: the seed %s does not decode as meant\n", seed.name.c_str());
        return 1;
      }
      WriteBytes((folder / (seed.name + ".pcx")).string(), seed.file);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pelvaro-make-pcx-seeds: %s\n", e.what());
    return 1;
  }
  return 0;
}
