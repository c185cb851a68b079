// Writes the archives on which two builds of pelvaro-cli are compared byte for
// byte (bench/compare-outputs): well-formed ones of every palette shape and
// the damaged ones the tests use, each named after what it holds.
//
//   pelvaro-make-compare-archives FOLDER

#include "tests/support/sff_builder.h"

#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace pelvaro::testing;

namespace {

Bytes Payload(std::size_t size, std::uint8_t seed) {
  Bytes b(size);
  for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(seed + i);
  return b;
}

Bytes Mixed(std::uint8_t paletteType) {
  const Palette own = TestPalette(9);
  SffBuilder b;
  b.PaletteType(paletteType);
  b.Add({.group = 9000, .item = 1, .axisX = 3, .axisY = -4, .palFlag = 1, .payload = MakePcx(5, 3, PatternPixels(5, 3, 1), nullptr)});
  b.Add({.group = 0, .item = 0, .axisX = 10, .axisY = 20, .palFlag = 0, .payload = MakePcx(7, 4, PatternPixels(7, 4, 2), &own)});
  b.Add({.group = 0, .item = 1, .palFlag = 1, .payload = MakePcx(3, 3, PatternPixels(3, 3, 3), nullptr)});
  b.Add({.group = 65535, .item = 65535, .axisX = -1, .axisY = -32768, .palFlag = 2, .payload = Payload(33, 4)});
  b.Add({.group = 5, .item = 0, .link = 1, .palFlag = 0});
  b.Add({.group = 5, .item = 1, .link = 6, .palFlag = 1, .payload = Payload(3, 9)});
  b.Add({.group = 7, .item = 0, .link = 2, .palFlag = 1});
  b.Add({.group = 9000, .item = 0, .palFlag = 0, .payload = MakePcx(4, 4, PatternPixels(4, 4, 5), &own)});
  b.Add({.group = 12, .item = 3, .palFlag = 255, .payload = Payload(10, 6)});
  return b.Build();
}

Bytes WithI32(Bytes b, std::size_t at, std::int32_t value) {
  PutI32(b, at, value);
  return b;
}

std::vector<std::pair<std::string, Bytes>> Archives() {
  std::vector<std::pair<std::string, Bytes>> all;
  const Bytes mixed = Mixed(1);
  const auto size = static_cast<std::int32_t>(mixed.size());
  all.emplace_back("mixed.sff", mixed);
  all.emplace_back("palette-type-0.sff", Mixed(0));
  all.emplace_back("palette-type-255.sff", Mixed(255));
  all.emplace_back("empty.sff", Bytes{});
  all.emplace_back("header-only.sff", Bytes(32, 7));
  all.emplace_back("short.sff", Bytes(543, 1));
  all.emplace_back("count-0.sff", WithI32(mixed, 20, 0));
  all.emplace_back("count-negative.sff", WithI32(mixed, 20, -1));
  all.emplace_back("count-too-large.sff", WithI32(mixed, 20, (size - 512) / 32 + 1));
  all.emplace_back("count-fits.sff", WithI32(mixed, 20, (size - 512) / 32));
  all.emplace_back("next-past-end.sff", WithI32(mixed, 512, size + 1));
  all.emplace_back("header-past-end.sff", WithI32(mixed, 512, size - 10));
  all.emplace_back("next-at-end.sff", WithI32(mixed, 512, size));
  all.emplace_back("link-past-chain.sff",
                   SffBuilder().Add({.palFlag = 1, .payload = Payload(4, 0)}).Add({.link = 2, .palFlag = 1}).Build());
  {
    SffBuilder b;
    b.ImageCount(6);
    for (int i = 0; i < 4; ++i)
      b.Add({.group = 1, .item = static_cast<std::uint16_t>(i), .palFlag = 0, .payload = Payload(10, 0)});
    all.emplace_back("chain-ends-early.sff", WithI32(b.Add({.group = 1, .item = 9}).Build(), 512 + 3 * 42, -1));
  }
  {
    SffBuilder b;
    b.ImageCount(4);
    b.Add({.group = 5, .palFlag = 1, .payload = Payload(200, 1), .next = 512});
    b.Add({.group = 6, .palFlag = 1, .payload = Payload(200, 2)});
    all.emplace_back("self-loop.sff", b.Build());
  }
  {
    SffBuilder b;
    b.ImageCount(4);
    b.Add({.group = 1, .link = 3, .palFlag = 1, .payload = Payload(30, 1)});
    b.Add({.group = 2, .link = 1, .palFlag = 1, .payload = Payload(30, 2)});
    Bytes bytes = b.Build();
    bytes.resize(512 + 4 * 32 + 60, 0);
    all.emplace_back("links-unreached.sff", bytes);
  }
  {
    Bytes first = Payload(1000, 0);
    for (std::size_t k = 0; k < 32; ++k) first[1000 - 544 + k] = 0;
    first[1000 - 544 + 18] = 1;
    SffBuilder b;
    b.Add({.group = 1, .palFlag = 1, .payload = first});
    b.Add({.group = 2, .palFlag = 0, .payload = Payload(10, 9), .next = 1000});
    all.emplace_back("palette-source-points-back.sff", b.ImageCount(3).Build());
  }
  all.emplace_back("one-small-sprite.sff", SffBuilder().Add({.group = 3, .palFlag = 0, .payload = Payload(100, 0)}).Build());
  return all;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pelvaro-make-compare-archives FOLDER\n");
    return 2;
  }
  try {
    for (const auto& [name, bytes] : Archives()) WriteBytes(std::string(argv[1]) + "/" + name, bytes);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pelvaro-make-compare-archives: %s\n", e.what());
    return 1;
  }
  return 0;
}
