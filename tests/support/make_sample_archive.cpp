// Writes the sample archive that the README's run command takes apart: a few
// dozen sprites with real PCX images in shared palette mode, linked sprites
// included.
//
//   pelvaro-make-sample OUTPUT.sff

#include "tests/support/sff_builder.h"

#include <cstdio>
#include <exception>

using namespace pelvaro::testing;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pelvaro-make-sample OUTPUT.sff\n");
    return 2;
  }
  const Palette shared = TestPalette(0);
  const Palette portrait = TestPalette(128);
  SffBuilder b;
  // The palette source: the first sprite with its own palette followed by one using it.
  b.Add({.group = 0, .item = 0, .axisX = 20, .axisY = 60, .palFlag = 0,
         .payload = MakePcx(40, 60, PatternPixels(40, 60, 0), &shared)});
  for (std::uint16_t item = 1; item < 12; ++item)
    b.Add({.group = 0, .item = item, .axisX = 20, .axisY = 60, .palFlag = 1,
           .payload = MakePcx(40, 60, PatternPixels(40, 60, item), nullptr)});
  for (std::uint16_t item = 0; item < 8; ++item)
    b.Add({.group = 20, .item = item, .axisX = static_cast<std::int16_t>(-4 + item), .axisY = 58, .palFlag = 1,
           .payload = MakePcx(48, 58, PatternPixels(48, 58, 20 + item), nullptr)});
  // Linked sprites: they reuse the images of positions 1, 2 and 12.
  b.Add({.group = 40, .item = 0, .axisX = 20, .axisY = 60, .link = 1, .palFlag = 1});
  b.Add({.group = 40, .item = 1, .axisX = 20, .axisY = 60, .link = 2, .palFlag = 1});
  b.Add({.group = 41, .item = 0, .axisX = -4, .axisY = 58, .link = 12, .palFlag = 1});
  for (std::uint16_t item = 0; item < 6; ++item)
    b.Add({.group = 200, .item = item, .axisX = 10, .axisY = 70, .palFlag = 1,
           .payload = MakePcx(64, 70, PatternPixels(64, 70, 40 + item), nullptr)});
  // Portraits with a palette of their own; they come first in the table.
  b.Add({.group = 9000, .item = 0, .palFlag = 0, .payload = MakePcx(25, 25, PatternPixels(25, 25, 90), &portrait)});
  b.Add({.group = 9000, .item = 1, .palFlag = 0, .payload = MakePcx(120, 140, PatternPixels(120, 140, 91), &portrait)});
  // An effect with its own palette.
  b.Add({.group = 6000, .item = 0, .axisX = 32, .axisY = 32, .palFlag = 0,
         .payload = MakePcx(64, 64, PatternPixels(64, 64, 77), &portrait)});
  try {
    WriteBytes(argv[1], b.Build());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pelvaro-make-sample: %s\n", e.what());
    return 1;
  }
  return 0;
}
