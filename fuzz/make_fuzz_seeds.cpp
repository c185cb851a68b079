// Writes the seed corpus of the loader fuzz target: well-formed archives of
// several shapes, made with the test-support builder, each with the choice
// byte in front (see fuzz_input.h). Every seed is loaded once here, so a
// builder change that breaks a shape shows up at once and not as a weaker corpus.
//
//   pelvaro-make-fuzz-seeds FOLDER

#include "fuzz/fuzz_input.h"
#include "sff/load_sff.h"
#include "tests/support/sff_builder.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

using namespace pelvaro::testing;

namespace {

// Small pictures keep the inputs short, so the fuzzer spends its time on the structure.
Bytes Picture(int seed, const Palette* palette) { return MakePcx(3, 2, PatternPixels(3, 2, seed), palette); }

struct Shape {
  std::string name;
  Bytes archive;
  bool answerYes = true;
  std::size_t nameIndex = 0;
};

std::vector<Shape> Shapes() {
  const Palette shared = TestPalette(0);
  const Palette own = TestPalette(99);
  std::vector<Shape> shapes;

  // The usual shape: a palette source, sprites using it, portraits and links.
  SffBuilder usual;
  usual.Add({.group = 0, .item = 0, .axisX = 5, .axisY = 9, .palFlag = 0, .payload = Picture(1, &shared)})
      .Add({.group = 0, .item = 1, .palFlag = 1, .payload = Picture(2, nullptr)})
      .Add({.group = 0, .item = 2, .palFlag = 1, .payload = Picture(3, nullptr)})
      .Add({.group = 5, .item = 0, .axisX = -3, .link = 1, .palFlag = 1})
      .Add({.group = 5, .item = 1, .link = 3, .palFlag = 1})
      .Add({.group = 9000, .item = 0, .palFlag = 0, .payload = Picture(4, &own)})
      .Add({.group = 9000, .item = 1, .palFlag = 0, .payload = Picture(5, &own)});
  // Once under each archive name the fuzz target knows.
  for (std::size_t name = 0; name < pelvaro::fuzz::ArchiveNames().size(); ++name)
    shapes.push_back({"usual-" + std::to_string(name), usual.Build(), true, name});

  // Not in shared palette mode: once answered Yes, once No.
  SffBuilder ownPalettes;
  ownPalettes.PaletteType(0)
      .Add({.group = 1, .item = 0, .palFlag = 0, .payload = Picture(6, &own)})
      .Add({.group = 1, .item = 1, .palFlag = 0, .payload = Picture(7, &own)});
  shapes.push_back({"own-palettes-yes", ownPalettes.Build(), true});
  shapes.push_back({"own-palettes-no", ownPalettes.Build(), false});

  // The chain ends before the image count does; a flag above one, the largest
  // numbers and a link ride along.
  SffBuilder early;
  early.ImageCount(5)
      .Add({.group = 3, .palFlag = 0, .payload = Picture(11, &shared)})
      .Add({.group = 3, .item = 1, .palFlag = 1, .payload = Picture(12, nullptr)})
      .Add({.group = 3, .item = 2, .palFlag = 1, .payload = Picture(13, nullptr)})
      .Add({.group = 65535, .item = 65535, .axisX = -32768, .axisY = 32767, .link = 2, .palFlag = 255,
            .payload = Bytes(160, 0)});
  shapes.push_back({"chain-ends-early", early.Build()});

  // A chain that loops back to its start; only the image count ends the walk.
  SffBuilder loop;
  loop.ImageCount(6)
      .Add({.group = 4, .palFlag = 0, .payload = Picture(14, &shared)})
      .Add({.group = 4, .item = 1, .palFlag = 1, .payload = Picture(15, nullptr), .next = 512})
      .Add({.group = 4, .item = 2, .palFlag = 1, .payload = Bytes(200, 1)})
      .Add({.group = 4, .item = 3, .palFlag = 1, .payload = Bytes(100, 2)});
  shapes.push_back({"looping-chain", loop.Build()});

  return shapes;
}

bool LoadsAsMeant(const Shape& shape) {
  const auto loaded = pelvaro::sff::LoadSffFromBytes(pelvaro::fuzz::ArchiveNames()[shape.nameIndex], shape.archive,
                                                     [&shape] { return shape.answerYes; });
  if (shape.answerYes) return loaded.has_value();
  return !loaded && loaded.error().fault == pelvaro::sff::LoadFault::kDeclined;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pelvaro-make-fuzz-seeds FOLDER\n");
    return 2;
  }
  try {
    const std::filesystem::path folder(argv[1]);
    std::filesystem::create_directories(folder);
    for (const Shape& shape : Shapes()) {
      if (!LoadsAsMeant(shape)) {
        std::fprintf(stderr, "pelvaro-make-fuzz-seeds: the seed %s does not load as meant\n", shape.name.c_str());
        return 1;
      }
      Bytes input{pelvaro::fuzz::ChoiceByte(shape.answerYes, shape.nameIndex)};
      input.insert(input.end(), shape.archive.begin(), shape.archive.end());
      WriteBytes((folder / (shape.name + ".seed")).string(), input);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pelvaro-make-fuzz-seeds: %s\n", e.what());
    return 1;
  }
  return 0;
}
