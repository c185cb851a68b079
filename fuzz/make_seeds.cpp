// Writes the seed corpus of a fuzz target, made with the test-support builder:
// for `loader`, archives of several shapes, each with the choice byte in front
// (see fuzz_input.h); for `pcx`, small images in each layout the decoder reads
// and one header of each refused kind. Each seed is tried once here, so a
// builder change that breaks one shows up at once and not as a weaker corpus.
//
//   pelvaro-make-seeds loader|pcx FOLDER

#include "fuzz/fuzz_input.h"
#include "image/pcx_decoder.h"
#include "sff/load_sff.h"
#include "tests/support/sff_builder.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

using namespace pelvaro::testing;

namespace {

struct Seed {
  std::string file;
  Bytes input;
  bool asMeant = true;  // loads (or is declined when answered No) or decodes as the seed means to
};

Seed ArchiveSeed(const std::string& name, const Bytes& archive, bool answerYes = true, std::size_t nameIndex = 0) {
  const auto loaded = pelvaro::sff::LoadSffFromBytes(pelvaro::fuzz::ArchiveNames()[nameIndex], archive,
                                                     [answerYes] { return answerYes; });
  Bytes input{pelvaro::fuzz::ChoiceByte(answerYes, nameIndex)};
  input.insert(input.end(), archive.begin(), archive.end());
  const bool declined = !loaded && loaded.error().fault == pelvaro::sff::LoadFault::kDeclined;
  return {name + ".seed", input, answerYes ? loaded.has_value() : declined};
}

Seed ImageSeed(const std::string& name, const Bytes& file, bool decodes = true) {
  return {name + ".pcx", file, pelvaro::image::DecodePcx(file).has_value() == decodes};
}

// Small pictures keep the inputs short, so the fuzzer spends its time on the structure.
Bytes Picture(int seed, const Palette* palette) { return MakePcx(3, 2, PatternPixels(3, 2, seed), palette); }

std::vector<Seed> LoaderSeeds() {
  const Palette shared = TestPalette(0);
  const Palette own = TestPalette(99);
  std::vector<Seed> seeds;

  // The usual shape: a palette source, sprites using it, portraits and links;
  // once under each archive name the fuzz target knows.
  SffBuilder usual;
  usual.Add({.group = 0, .item = 0, .axisX = 5, .axisY = 9, .palFlag = 0, .payload = Picture(1, &shared)})
      .Add({.group = 0, .item = 1, .palFlag = 1, .payload = Picture(2, nullptr)})
      .Add({.group = 0, .item = 2, .palFlag = 1, .payload = Picture(3, nullptr)})
      .Add({.group = 5, .item = 0, .axisX = -3, .link = 1, .palFlag = 1})
      .Add({.group = 5, .item = 1, .link = 3, .palFlag = 1})
      .Add({.group = 9000, .item = 0, .palFlag = 0, .payload = Picture(4, &own)})
      .Add({.group = 9000, .item = 1, .palFlag = 0, .payload = Picture(5, &own)});
  for (std::size_t name = 0; name < pelvaro::fuzz::ArchiveNames().size(); ++name)
    seeds.push_back(ArchiveSeed("usual-" + std::to_string(name), usual.Build(), true, name));

  // Not in shared palette mode: once answered Yes, once No.
  SffBuilder ownPalettes;
  ownPalettes.PaletteType(0)
      .Add({.group = 1, .item = 0, .palFlag = 0, .payload = Picture(6, &own)})
      .Add({.group = 1, .item = 1, .palFlag = 0, .payload = Picture(7, &own)});
  seeds.push_back(ArchiveSeed("own-palettes-yes", ownPalettes.Build(), true));
  seeds.push_back(ArchiveSeed("own-palettes-no", ownPalettes.Build(), false));

  // The chain ends before the image count does; a flag above one, the largest
  // numbers and a link ride along.
  SffBuilder early;
  early.ImageCount(5)
      .Add({.group = 3, .palFlag = 0, .payload = Picture(11, &shared)})
      .Add({.group = 3, .item = 1, .palFlag = 1, .payload = Picture(12, nullptr)})
      .Add({.group = 3, .item = 2, .palFlag = 1, .payload = Picture(13, nullptr)})
      .Add({.group = 65535, .item = 65535, .axisX = -32768, .axisY = 32767, .link = 2, .palFlag = 255,
            .payload = Bytes(160, 0)});
  seeds.push_back(ArchiveSeed("chain-ends-early", early.Build()));

  // A chain that loops back to its start; only the image count ends the walk.
  SffBuilder loop;
  loop.ImageCount(6)
      .Add({.group = 4, .palFlag = 0, .payload = Picture(14, &shared)})
      .Add({.group = 4, .item = 1, .palFlag = 1, .payload = Picture(15, nullptr), .next = 512})
      .Add({.group = 4, .item = 2, .palFlag = 1, .payload = Bytes(200, 1)})
      .Add({.group = 4, .item = 3, .palFlag = 1, .payload = Bytes(100, 2)});
  seeds.push_back(ArchiveSeed("looping-chain", loop.Build()));
  return seeds;
}

std::vector<Seed> PcxSeeds() {
  const Palette palette = TestPalette(5);
  const Bytes flat(7 * 6, 9);
  Bytes allIndices(256);
  for (std::size_t i = 0; i < allIndices.size(); ++i) allIndices[i] = static_cast<std::uint8_t>(i);
  // Refused headers too, so the search starts from each kind of field as well.
  Bytes planes = MakePcx(5, 3, PatternPixels(5, 3, 1), &palette);
  planes[65] = 3;
  Bytes huge = MakePcx(5, 3, PatternPixels(5, 3, 1), &palette);
  PutU16(huge, 8, 16383);
  PutU16(huge, 10, 4095);
  return {
      ImageSeed("usual", MakePcx(5, 3, PatternPixels(5, 3, 1), &palette)),
      ImageSeed("one-pixel", MakePcx(1, 1, {200}, &palette)),
      ImageSeed("every-index", MakePcx(16, 16, allIndices, &palette)),
      ImageSeed("shared-palette-no-marker", MakePcx(6, 4, PatternPixels(6, 4, 2), &palette, {.paletteMarker = false})),
      ImageSeed("wide-padding", MakePcx(5, 3, PatternPixels(5, 3, 3), &palette, {.bytesPerLine = 9, .padding = 0xEE})),
      ImageSeed("runs-across-lines", MakePcx(7, 6, flat, &palette, {.padding = 9, .runsAcrossLines = true})),
      ImageSeed("empty-runs", MakePcx(4, 4, PatternPixels(4, 4, 4), &palette, {.emptyRuns = true})),
      ImageSeed("three-planes", planes, false),
      ImageSeed("huge-over-tiny-data", huge, false),
  };
}

}  // namespace

int main(int argc, char** argv) {
  const std::string target = argc == 3 ? argv[1] : "";
  if (target != "loader" && target != "pcx") {
    std::fprintf(stderr, "usage: pelvaro-make-seeds loader|pcx FOLDER\n");
    return 2;
  }
  try {
    const std::filesystem::path folder(argv[2]);
    std::filesystem::create_directories(folder);
    for (const Seed& seed : target == "loader" ? LoaderSeeds() : PcxSeeds()) {
      if (!seed.asMeant) {
        std::fprintf(stderr, "pelvaro-make-seeds: the seed %s is not taken as meant\n", seed.file.c_str());
        return 1;
      }
      WriteBytes((folder / seed.file).string(), seed.input);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pelvaro-make-seeds: %s\n", e.what());
    return 1;
  }
  return 0;
}
